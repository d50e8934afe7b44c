// What the real property sheet writes when the user edits little or nothing: an untouched sheet accepted with OK
// leaves the overlay byte for byte (stored values the controls cannot show included), the Target arrows are taken
// back by Cancel, an edit of several objects applies exactly the controls the user touched, and the scale marker
// keeps an orientation the page shows but does not store as such.
#include "MarkerScene.h"

#include "gobjects/shapes/CQvGObjectImage.h"
#include "gobjects/shapes/CQvGObjectScaleMarker.h"
#include "gobjects/shapes/CQvGObjectTarget.h"
#include "gobjects/ui/ColorPopup.h"

#include "testing/MessageBoxRecorder.h"

#include <QDialog>
#include <QFont>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

using testing_support::MessageBoxes;

namespace {

template <class W>
W* Find(QDialog& d, const char* name)
{
    W* w = d.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void Press(QDialog& d, const char* button)
{
    if (auto* b = Find<QPushButton>(d, button))
        b->click();
}

int RunOn(MarkerScene& s, std::vector<CQvGObject*> objects, std::function<void(QDialog&)> drive)
{
    s.container.SelectionMode(1);
    s.container.UnSelectAll();
    for (CQvGObject* obj : objects)
        s.container.SelectObjects(obj, 1);
    MessageBoxes().QueueModal(std::move(drive));
    return s.container.OnPropertyAll(&s.canvas);
}

// Values the Common page's controls cannot show: they must survive a sheet nobody touched.
void GiveOddLook(CQvGObject* obj)
{
    CQvGObjectProperty& p = obj->GetProperty();
    p.SetLineWeight(7);
    p.SetFillPattern(2);
    p.SetLineType(6);
    LOGFONTA font = p.GetFont();
    font.lfWeight = 600;
    p.SetFont(font);
}

std::vector<uint8_t> TwoByTwoDib()
{
    std::vector<uint8_t> dib(40 + 16, 0x80);
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = 2;
    h.biHeight = 2;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biSizeImage = 16;
    std::memcpy(dib.data(), &h, 40);
    return dib;
}

// Where two streams first differ (their common length when one is the other's start); -1 when they are equal.
long FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return static_cast<long>(i);
    return a.size() == b.size() ? -1 : static_cast<long>(n);
}

}  // namespace

TEST(SheetUntouched, OkWithoutEditsLeavesTheOverlayByteForByte)
{
    const OBJ_SHAPE shapes[] = {SHAPE_TARGET, SHAPE_3POINT_ANGLE, SHAPE_LINE, SHAPE_IMAGE, SHAPE_SCALE_MARKER};
    for (OBJ_SHAPE shape : shapes) {
        SCOPED_TRACE(testing::Message() << "shape " << shape);
        MessageBoxes().Reset();
        MarkerScene s;
        CQvGObject* obj = nullptr;
        std::vector<uint8_t> dib = TwoByTwoDib();
        switch (shape) {
        case SHAPE_TARGET:
            // The Target page's OK sets the gap under the calibration in force: made under it, that changes nothing.
            g_GOPropertyTotal.SetTargetGap(20.0f);
            g_GOPropertyTotal.SetTargetFactor(0.5);
            obj = s.Click(SHAPE_TARGET, {CPoint(100, 75)});
            break;
        case SHAPE_3POINT_ANGLE:
            obj = s.Click(SHAPE_3POINT_ANGLE, {CPoint(20, 20), CPoint(80, 80), CPoint(140, 20)});
            break;
        case SHAPE_IMAGE: {
            s.container.AddObject(SHAPE_IMAGE);
            auto* stamp = dynamic_cast<CQvGObjectImage*>(s.container.GetCreatingObject());
            ASSERT_NE(stamp, nullptr);
            ASSERT_EQ(stamp->SetImage(reinterpret_cast<BITMAPINFOHEADER*>(dib.data())), 1);
            stamp->GetPoint()[0] = _RPOINT{10, 10};
            stamp->GetPoint()[1] = _RPOINT{30, 30};
            stamp->Finish();
            s.container.RepeatCreatingObject(stamp);
            obj = stamp;
            break;
        }
        case SHAPE_SCALE_MARKER:
            MessageBoxes().QueueModal([](QDialog& d) { Press(d, "ok"); });
            obj = s.Click(SHAPE_SCALE_MARKER, {CPoint(30, 30), CPoint(40, 40)});
            break;
        default:
            obj = s.Click(shape, {CPoint(20, 40), CPoint(150, 40)});
            break;
        }
        ASSERT_NE(obj, nullptr);
        GiveOddLook(obj);
        if (auto* marker = dynamic_cast<CQvGObjectScaleMarker*>(obj))
            marker->SetOrientation(2);  // drawn horizontally, as any orientation but 0
        // A measurement's label shows its text in a look of its own.
        if (CQvGObject* label = obj->GetLabelObject()) {
            label->GetProperty().SetTextColor(RGB(1, 2, 3));
            LOGFONTA font = label->GetProperty().GetFont();
            font.lfHeight = -40;
            label->GetProperty().SetFont(font);
        }
        // Opening the sheet makes the object's look its shape's default, which the stream holds: so it is already.
        s.container.SetLatestProperty(obj, obj->GetObjShape());
        const std::vector<uint8_t> before = s.Stream();
        bool horizontalShown = false;
        EXPECT_EQ(RunOn(s, {obj},
                        [&](QDialog& d) {
                            if (auto* h = d.findChild<QRadioButton*>("horizontal"))
                                horizontalShown = h->isChecked();
                            Press(d, "ok");
                        }),
                  1);
        const std::vector<uint8_t> after = s.Stream();
        EXPECT_EQ(FirstDifference(after, before), -1) << "of " << before.size() << " bytes";
        if (shape == SHAPE_SCALE_MARKER) {
            EXPECT_TRUE(horizontalShown);
        }
    }
}

TEST(SheetUntouched, TargetArrowsAreTakenBackByCancel)
{
    MessageBoxes().Reset();
    MarkerScene s;
    g_GOPropertyTotal.SetTargetGap(20.0f);
    g_GOPropertyTotal.SetTargetFactor(0.5);
    auto* target = dynamic_cast<CQvGObjectTarget*>(s.Click(SHAPE_TARGET, {CPoint(100, 75)}));
    ASSERT_NE(target, nullptr);
    const double gap = target->GetGap();
    const double factor = target->GetCalibrationFactor();
    const CQvGObjectPropertyTotal defaults = g_GOPropertyTotal;
    const std::vector<uint8_t> before = s.Stream();
    EXPECT_EQ(RunOn(s, {target},
                    [&](QDialog& d) {
                        Find<QToolButton>(d, "gapUp")->click();
                        Find<QToolButton>(d, "gapUp")->click();
                        EXPECT_EQ(Find<QLineEdit>(d, "gap")->text(), "21");
                        Press(d, "cancel");
                    }),
              0);
    EXPECT_DOUBLE_EQ(target->GetGap(), gap);
    EXPECT_DOUBLE_EQ(target->GetCalibrationFactor(), factor);
    EXPECT_FLOAT_EQ(g_GOPropertyTotal.GetTargetGap(), defaults.GetTargetGap());
    EXPECT_DOUBLE_EQ(g_GOPropertyTotal.GetTargetFactor(), defaults.GetTargetFactor());
    EXPECT_EQ(g_GOPropertyTotal.GetTargetFlags(), defaults.GetTargetFlags());
    EXPECT_EQ(s.Stream(), before);
}

TEST(SheetUntouched, SeveralSelectedGetExactlyTheControlsTheUserEdited)
{
    MarkerScene s;
    CQvGObject* a = s.Click(SHAPE_ANNO_LINE, {CPoint(20, 40), CPoint(150, 40)});
    CQvGObject* b = s.Click(SHAPE_ANNO_LINE, {CPoint(20, 90), CPoint(150, 120)});
    ASSERT_TRUE(a && b);
    a->GetProperty().SetLineWeight(3);
    b->GetProperty().SetLineWeight(2);
    a->GetProperty().SetLineColor(RGB(200, 0, 0));
    b->GetProperty().SetLineColor(RGB(0, 0, 200));
    // The defaults already hold weight 1: picking 1 is an edit all the same.
    g_GOPropertyTotal.GetProperty(SHAPE_ANNO_LINE).SetLineWeight(1);
    const int result = RunOn(s, {a, b}, [&](QDialog& d) {
        auto* weight = Find<QSpinBox>(d, "weight");
        weight->setValue(4);
        weight->setValue(1);
        Press(d, "ok");
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(a->GetProperty().GetLineWeight(), 1);
    EXPECT_EQ(b->GetProperty().GetLineWeight(), 1);
    EXPECT_EQ(a->GetProperty().GetLineColor(), RGB(200, 0, 0));
    EXPECT_EQ(b->GetProperty().GetLineColor(), RGB(0, 0, 200));
}

TEST(SheetUntouched, AStoredUtf8FaceIsShownAsTheFaceItNames)
{
    MarkerScene s;
    CQvGObject* text = s.Click(SHAPE_ANNO_LINE, {CPoint(20, 40), CPoint(150, 40)});
    ASSERT_NE(text, nullptr);
    // A stored non-ASCII face is shown as the face it names.
    LOGFONTA font = text->GetProperty().GetFont();
    std::memset(font.lfFaceName, 0, LF_FACESIZE);
    const char* stored = "\xEB\x82\x98\xEB\x88\x94\xEA\xB3\xA0\xEB\x94\x95";  // 나눔고딕
    std::strcpy(font.lfFaceName, stored);
    text->GetProperty().SetFont(font);
    QString shown;
    RunOn(s, {text}, [&](QDialog& d) {
        shown = Find<QPlainTextEdit>(d, "text")->font().family();
        Press(d, "cancel");
    });
    EXPECT_EQ(shown, QString::fromUtf8(stored));
}
