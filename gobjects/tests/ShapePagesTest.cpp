// The pages four shapes add to the property sheet, driven through their widgets: bound to a real object, opened,
// edited, then closed with OK or Cancel; and each shape's SpecificProperty run through a sheet runner that does
// the same with the page the shape hands over.
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "gobjects/GObjectPropertySheet.h"
#include "gobjects/shapes/CQvGObject2LineAngle.h"
#include "gobjects/shapes/CQvGObject3PointAngle.h"
#include "gobjects/shapes/CQvGObjectImage.h"
#include "gobjects/shapes/CQvGObjectScaleMarker.h"
#include "gobjects/shapes/CQvGObjectTarget.h"
#include "gobjects/ui/CObjScaleMarkerPage.h"
#include "gobjects/ui/CObjectPropertyAngle.h"
#include "gobjects/ui/CObjectPropertyImage.h"
#include "gobjects/ui/CObjectPropertyTarget.h"
#include "gobjects/ui/ColorPopup.h"
#include "MarkerScene.h"

#include "calibkeeper/CCalibKeeper.h"
#include "testing/MessageBoxRecorder.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QCheckBox>
#include <QSpinBox>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>
#include <string>

using testing_support::MessageBoxes;

namespace {

template <typename W>
W* Find(QWidget& page, const char* name)
{
    W* widget = page.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// Stands in for the sheet: opens the page the shape handed over, lets `drive` edit it, closes it with OK or Cancel.
void AnswerWithPage(CQvGObjectContainer& container, bool ok, std::function<void(CPropertyPage&)> drive)
{
    container.SetPropertySheetRunner([ok, drive](const GObjectSheetRequest& request) {
        if (!request.shapePage) {
            ADD_FAILURE() << "no page of the shape";
            return IDCANCEL;
        }
        request.shapePage->OnInitDialog();
        drive(*request.shapePage);
        if (ok) {
            request.shapePage->OnOK();
            return IDOK;
        }
        request.shapePage->OnCancel();
        return IDCANCEL;
    });
}

std::string Text(QLineEdit* edit)
{
    return edit->text().toStdString();
}

// Target made with gap 20 at 0.5 units per pixel, circles only.
CQvGObjectTarget* MakeTarget(MarkerScene& s)
{
    g_GOPropertyTotal.SetTargetGap(20.0f);
    g_GOPropertyTotal.SetTargetFactor(0.5);
    g_GOPropertyTotal.SetTargetFlags(CQvGObjectTarget::kCircles);
    return dynamic_cast<CQvGObjectTarget*>(s.Click(SHAPE_TARGET, {CPoint(100, 75)}));
}

}  // namespace

TEST(TargetPage, GapRuleRefusesLessThanTenPixelsAndShowsTheGapWithoutTrailingZeros)
{
    struct Case
    {
        const char* typed;
        double gap;
        const char* shown;
        bool tooSmall;
    };
    // 0.5 units per pixel: 10 pixels are 5 units.
    const Case cases[] = {{"3", 5.0, "5", true},       {"20.5", 20.5, "20.5", false}, {"20", 20.0, "20", false},
                          {"4.99", 5.0, "5", true},    {"5", 5.0, "5", false},        {"abc", 5.0, "5", true},
                          {"-40", 5.0, "5", true},     {"", 5.0, "5", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        MessageBoxes().Reset();
        MarkerScene s;
        CQvGObjectTarget* target = MakeTarget(s);
        ASSERT_NE(target, nullptr);
        CObjectPropertyTarget page(target);
        page.OnInitDialog();
        QLineEdit* gap = Find<QLineEdit>(page, "gap");
        EXPECT_EQ(Text(gap), "20");
        gap->setText(QString::fromLatin1(c.typed));
        page.OnOK();
        EXPECT_DOUBLE_EQ(target->GetGap(), c.gap);
        EXPECT_EQ(Text(gap), c.shown);
        EXPECT_FLOAT_EQ(g_GOPropertyTotal.GetTargetGap(), static_cast<float>(c.gap));
        ASSERT_EQ(MessageBoxes().Boxes().size(), c.tooSmall ? 1u : 0u);
        if (c.tooSmall) {
            EXPECT_EQ(MessageBoxes().Boxes()[0].text, "Too small!!");
        }
    }
}

TEST(TargetPage, ArrowsStepByOnePixelAndShapesKeepOtherBits)
{
    MarkerScene s;
    CQvGObjectTarget* target = MakeTarget(s);
    ASSERT_NE(target, nullptr);
    target->SetShapeFlags(0x4 | CQvGObjectTarget::kCircles);
    CObjectPropertyTarget page(target);
    page.OnInitDialog();
    QLineEdit* gap = Find<QLineEdit>(page, "gap");
    EXPECT_EQ(Find<QLabel>(page, "gapUnit")->text().toStdString(), CCalibKeeper::GetUnitName(s.calib.GetUnit()));
    QCheckBox* circle = Find<QCheckBox>(page, "circle");
    QCheckBox* rectangle = Find<QCheckBox>(page, "rectangle");
    EXPECT_TRUE(circle->isChecked());
    EXPECT_FALSE(rectangle->isChecked());

    Find<QToolButton>(page, "gapUp")->click();
    EXPECT_EQ(Text(gap), "20.5");
    EXPECT_DOUBLE_EQ(target->GetGap(), 20.5);
    gap->setText("5");
    MessageBoxes().Reset();
    Find<QToolButton>(page, "gapDown")->click();  // 4.5 units: 9 pixels
    EXPECT_EQ(Text(gap), "5");
    EXPECT_EQ(MessageBoxes().Boxes().size(), 1u);
    gap->clear();
    Find<QToolButton>(page, "gapUp")->click();  // an empty edit steps nowhere
    EXPECT_EQ(Text(gap), "");
    EXPECT_DOUBLE_EQ(target->GetGap(), 5.0);

    gap->setText("12.5");
    circle->setChecked(false);
    rectangle->setChecked(true);
    page.OnOK();
    EXPECT_EQ(target->GetShapeFlags(), 0x4 | CQvGObjectTarget::kSquares);
    EXPECT_DOUBLE_EQ(target->GetGap(), 12.5);
    // The next target draws what this one was given.
    EXPECT_EQ(g_GOPropertyTotal.GetTargetFlags(), 0x4 | CQvGObjectTarget::kSquares);
}

TEST(TargetPage, SheetOkAppliesThePageAndCancelLeavesTheTarget)
{
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok);
        MessageBoxes().Reset();
        MarkerScene s;
        CQvGObjectTarget* target = MakeTarget(s);
        ASSERT_NE(target, nullptr);
        AnswerWithPage(s.container, ok, [](CPropertyPage& page) {
            Find<QLineEdit>(page, "gap")->setText("3");
            Find<QCheckBox>(page, "rectangle")->setChecked(true);
        });
        EXPECT_EQ(target->SpecificProperty(nullptr), ok ? 1 : 0);
        EXPECT_DOUBLE_EQ(target->GetGap(), ok ? 5.0 : 20.0);
        EXPECT_EQ(target->GetShapeFlags(), ok ? 3 : 1);
        EXPECT_EQ(MessageBoxes().Boxes().size(), ok ? 1u : 0u);
    }
}

TEST(ImagePage, OpacityShowsLiveAndCancelPutsItBack)
{
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok);
        MarkerScene s;
        s.container.AddObject(SHAPE_IMAGE);
        auto* stamp = dynamic_cast<CQvGObjectImage*>(s.container.GetCreatingObject());
        ASSERT_NE(stamp, nullptr);
        EXPECT_EQ(stamp->GetOpacity(), 100);
        int paintsDuringEdit = 0;
        int opacityDuringEdit = 0;
        AnswerWithPage(s.container, ok, [&](CPropertyPage& page) {
            QSpinBox* opacity = Find<QSpinBox>(page, "opacity");
            EXPECT_EQ(opacity->value(), 100);
            const int before = s.canvas.invalidations;
            opacity->setValue(40);
            paintsDuringEdit = s.canvas.invalidations - before;
            opacityDuringEdit = stamp->GetOpacity();
        });
        const int before = s.canvas.invalidations;
        EXPECT_EQ(stamp->SpecificProperty(nullptr), ok ? 1 : 0);
        EXPECT_EQ(opacityDuringEdit, 40);
        EXPECT_EQ(paintsDuringEdit, 1);
        EXPECT_EQ(stamp->GetOpacity(), ok ? 40 : 100);
        // Cancel repaints once more to take the preview back.
        EXPECT_EQ(s.canvas.invalidations - before, ok ? 1 : 2);
    }
}

TEST(ImagePage, OpeningThePageChangesNothing)
{
    MarkerScene s;
    s.container.AddObject(SHAPE_IMAGE);
    auto* stamp = dynamic_cast<CQvGObjectImage*>(s.container.GetCreatingObject());
    ASSERT_NE(stamp, nullptr);
    stamp->SetOpacity(0);  // from a file: below what the box offers
    CObjectPropertyImage page(stamp);
    const int before = s.canvas.invalidations;
    page.OnInitDialog();
    page.OnCancel();
    EXPECT_EQ(stamp->GetOpacity(), 0);
    EXPECT_EQ(s.canvas.invalidations - before, 1);
}

namespace {

// A finished horizontal marker at (10, 10) in red with a 40-pixel bar: 0.5 units per pixel, scale length 20.
struct MarkerPageScene : MarkerScene
{
    CQvGObjectScaleMarker* marker = nullptr;

    MarkerPageScene()
    {
        calib.SetScaleLength(20);
        calib.SetUnit(UNIT_MILLIMETER);
        container.AddObject(SHAPE_SCALE_MARKER);
        marker = dynamic_cast<CQvGObjectScaleMarker*>(container.GetCreatingObject());
        if (!marker)
            return;
        marker->EnableFinishUI(0);
        marker->SetAnchor(3);
        marker->SetBarColor(0x0000FF);
        marker->SetCaptionUnit(UNIT_MILLIMETER);
        marker->SetRememberedPosition(CPoint(10, 10));
        marker->ExternFinish();
        container.RepeatCreatingObject(marker);
        marker->EnableFinishUI(1);
    }
};

}  // namespace

TEST(ScaleMarkerPage, ShowsTheMarkerAndTheCalibration)
{
    MarkerPageScene s;
    ASSERT_NE(s.marker, nullptr);
    CObjScaleMarkerPage page(s.marker);
    page.OnInitDialog();
    EXPECT_TRUE(Find<QRadioButton>(page, "horizontal")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(page, "vertical")->isChecked());
    EXPECT_EQ(Find<CColorButton>(page, "color")->GetColor(), 0x0000FFu);
    QComboBox* units = Find<QComboBox>(page, "units");
    ASSERT_EQ(units->count(), kUnitTypeCount);
    for (int i = 0; i < kUnitTypeCount; ++i)
        EXPECT_EQ(units->itemText(i).toStdString(), CCalibKeeper::GetUnitName(i)) << i;
    EXPECT_EQ(units->currentIndex(), UNIT_MILLIMETER);
    EXPECT_EQ(Text(Find<QLineEdit>(page, "scaleLength")), "20");
    EXPECT_EQ(Find<QLabel>(page, "scaleSymbol")->text().toStdString(), CCalibKeeper::GetSymbolString(UNIT_MILLIMETER));
    QRadioButton* anchor = Find<QRadioButton>(page, "anchor3");
    EXPECT_TRUE(anchor->isChecked());
    EXPECT_TRUE(anchor->isHidden() || !anchor->isVisibleTo(&page));
}

TEST(ScaleMarkerPage, OkWritesTheMarkerAndItsDefaultsAndCancelKeepsOnlyTheUnit)
{
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok);
        MarkerPageScene s;
        ASSERT_NE(s.marker, nullptr);
        s.marker->SetFollowFlag(0);
        s.marker->SetAnchor(0);
        AnswerWithPage(s.container, ok, [](CPropertyPage& page) {
            Find<QComboBox>(page, "units")->setCurrentIndex(UNIT_MICROMETER);
            Find<QRadioButton>(page, "vertical")->setChecked(true);
            Find<CColorButton>(page, "color")->SetColor(0x00FF00);
            Find<QLineEdit>(page, "scaleLength")->setText("30");
        });
        EXPECT_EQ(s.marker->SpecificProperty(nullptr), ok ? 1 : 0);
        // The unit applies on selection, so even Cancel keeps it.
        EXPECT_EQ(s.marker->GetCaptionUnit(), UNIT_MICROMETER);
        EXPECT_EQ(s.marker->GetAnchor(), 0);
        EXPECT_EQ(s.marker->GetOrientation(), ok ? 0 : 1);
        EXPECT_EQ(s.marker->GetBarColor(), ok ? 0x00FF00u : 0x0000FFu);
        EXPECT_EQ(s.marker->GetFollowFlag(), ok ? 1 : 0);
        EXPECT_EQ(s.calib.GetScaleLength(), ok ? 30 : 20);
        if (ok) {
            // Placed at its anchor (top left, margin 20) and the default of the next marker.
            EXPECT_EQ(s.marker->GetMBR().TopLeft(), CPoint(20, 20));
            EXPECT_EQ(g_GOPropertyTotal.GetScaleMarkerInt1920(), 0);
            EXPECT_EQ(g_GOPropertyTotal.GetScaleMarkerInt1904(), 0x00FF00);
            EXPECT_EQ(g_GOPropertyTotal.GetScaleMarkerInt1916(), UNIT_MICROMETER);
        } else {
            EXPECT_EQ(s.marker->GetMBR().TopLeft(), CPoint(10, 10));
        }
    }
}

TEST(ScaleMarkerPage, ScaleLengthThatIsNoPositiveNumberIsRefusedAndAutomaticKeepsTheColour)
{
    for (const char* typed : {"0", "-5", "abc", ""}) {
        SCOPED_TRACE(typed);
        MarkerPageScene s;
        ASSERT_NE(s.marker, nullptr);
        CObjScaleMarkerPage page(s.marker);
        page.OnInitDialog();
        Find<QLineEdit>(page, "scaleLength")->setText(QString::fromLatin1(typed));
        Find<CColorButton>(page, "color")->SetColor(CLR_AUTOMATIC);
        page.OnOK();
        EXPECT_EQ(s.calib.GetScaleLength(), 20);
        EXPECT_EQ(s.marker->GetBarColor(), 0x0000FFu);
    }
}

TEST(AnglePage, InnerFlagGoesInAndComesOutOnlyOnOk)
{
    struct Case
    {
        OBJ_SHAPE shape;
        int32_t flag;
        const char* pick;  // null: leave the page as opened
        bool ok;
        int32_t expected;
    };
    const Case cases[] = {
        {SHAPE_3POINT_ANGLE, 1, "exterior", true, 0},  {SHAPE_3POINT_ANGLE, 1, "exterior", false, 1},
        {SHAPE_2LINE_ANGLE, 0, "interior", true, 1},   {SHAPE_2LINE_ANGLE, 0, nullptr, true, 0},
        {SHAPE_2LINE_ANGLE, 1, nullptr, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.shape << " flag " << c.flag << " ok " << c.ok);
        MarkerScene s;
        auto* angle = dynamic_cast<CQvGObjectPickedAngle*>(s.container.CreateObject(c.shape));
        ASSERT_NE(angle, nullptr);
        angle->SetContainer(&s.container);
        angle->SetInnerFlag(c.flag);
        bool interiorShown = false;
        AnswerWithPage(s.container, c.ok, [&](CPropertyPage& page) {
            interiorShown = Find<QRadioButton>(page, "interior")->isChecked();
            EXPECT_NE(interiorShown, Find<QRadioButton>(page, "exterior")->isChecked());
            if (c.pick)
                Find<QRadioButton>(page, c.pick)->setChecked(true);
        });
        EXPECT_EQ(angle->SpecificProperty(nullptr), c.ok ? 1 : 0);
        EXPECT_EQ(interiorShown, c.flag != 0);
        EXPECT_EQ(angle->GetInnerFlag(), c.expected);
        angle->RemoveAll();
    }
}

TEST(ScaleMarkerPage, ANewMarkerAcceptedInItsSheetStandsAtItsAnchor)
{
    MarkerScene s;
    s.calib.SetScaleLength(20);  // an 80 x 32 box on the 200 x 150 canvas
    g_GOPropertyTotal.SetScaleMarkerInt1924(1, 2);  // anchor: top right
    AnswerWithPage(s.container, true, [](CPropertyPage&) {});
    CQvGObject* marker = s.Click(SHAPE_SCALE_MARKER, {CPoint(30, 30), CPoint(40, 40)});
    ASSERT_NE(marker, nullptr);
    ASSERT_EQ(s.container.GetMainObjList().size(), 1u);
    EXPECT_EQ(marker->GetState(), GS_FINISHED);
    EXPECT_EQ(marker->GetMBR(), CRect(100, 20, 180, 52));
}
