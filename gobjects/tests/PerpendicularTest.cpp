// Perpendicular feet and the span set: creation through the container, sub items and their deletion, feet that
// follow the base line, hit regions, records and the texts they paint themselves.
#include "ByteFixture.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/shapes/CQvGObjectDas.h"
#include "gobjects/shapes/CQvGObjectPerpendicular.h"
#include "gobjects/GObjectFactory.h"
#include "MarkerScene.h"

#include "calibkeeper/CCalibKeeper.h"
#include "testing/RenderCheck.h"
#include "gdi/CDC.h"
#include "stream/LeStream.h"
#include "types/WinUser.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using testing_support::BlankSurface;
using testing_support::CountColour;
using testing_support::PixelAt;

constexpr UINT kLeftButton = MK_LBUTTON;
constexpr UINT kKeyDelete = VK_DELETE;

// A horizontal base line from (10, 50) to (110, 50), then A 30 above it, B 40 below, C 10 above.
const std::vector<CPoint> kClicks = {{10, 50}, {110, 50}, {30, 20}, {60, 90}, {90, 40}};

// The marker scene (0.5 units per pixel, 2 decimals, no repetition) with the feet's creation.
struct Scene : MarkerScene
{
    // Clicks every point after moving the mouse there, then moves away and finishes with a right click.
    CQvGObjectPerpendicular* Create(OBJ_SHAPE shape, const std::vector<CPoint>& clicks)
    {
        EXPECT_EQ(container.AddObject(shape), 1);
        auto* obj = dynamic_cast<CQvGObjectPerpendicular*>(container.GetCreatingObject());
        EXPECT_NE(obj, nullptr);
        auto dc = canvas.GetSurfaceDC();
        for (CPoint p : clicks) {
            container.MouseMove(dc.get(), 0, p);
            container.LButtonDown(kLeftButton, p);
            container.LButtonUp(0, p);
        }
        container.MouseMove(dc.get(), 0, CPoint(150, 110));
        container.RButtonDown(0, CPoint(150, 110));
        return obj;
    }
};

std::vector<std::string> SubItemTexts(CQvGObject* obj)
{
    std::vector<std::string> texts;
    for (int k = 0; k <= obj->GetPointCount() - 3; ++k)
        texts.push_back(obj->GetDataString(k));
    return texts;
}

using Texts = std::vector<std::string>;


}  // namespace

TEST(Perpendicular, ClickedFeetBecomeSubItemsOfTheirDistances)
{
    Scene s;
    ASSERT_EQ(s.container.AddObject(SHAPE_PERPENDICULAR), 1);
    CQvGObject* obj = s.container.GetCreatingObject();
    s.container.LButtonDown(kLeftButton, kClicks[0]);
    EXPECT_EQ(obj->NeedROP(), 1);  // the base line is rubber-banded by inverting
    s.container.MouseMove(s.canvas.GetSurfaceDC().get(), 0, kClicks[1]);
    s.container.LButtonDown(kLeftButton, kClicks[1]);
    EXPECT_EQ(obj->NeedROP(), 0);
    s.container.RButtonDown(0, kClicks[1]);  // no foot yet: a right click does not finish
    EXPECT_EQ(obj->GetState(), GS_ADDING);
    EXPECT_EQ(obj->GetPointCount(), 2);  // the point following the mouse is not counted while created
    s.container.KeyDown(27, 1, 0);
    ASSERT_TRUE(s.container.GetMainObjList().empty());

    for (OBJ_SHAPE shape : {SHAPE_PERPENDICULAR, SHAPE_DAS}) {
        CQvGObjectPerpendicular* made = s.Create(shape, kClicks);
        ASSERT_EQ(made->GetState(), GS_FINISHED);
        ASSERT_EQ(made->GetPointCount(), 5);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(made->GetPoint()[i], (_RPOINT{double(kClicks[i].x), double(kClicks[i].y)})) << i;
        EXPECT_EQ(made->GetLabelCount(), 1);
        EXPECT_EQ(made->GetCalType(), CAL_LENGTH);
        EXPECT_EQ(made->IsDisplayValue(), 0);
    }
    auto* perpendicular = s.container.GetFirstObject(SHAPE_PERPENDICULAR);
    auto* das = s.container.GetFirstObject(SHAPE_DAS);
    // Distances 30, 40 and 10 pixels; spans base start -> F(A) 20 pixels and F(B) -> F(C) 30 pixels.
    EXPECT_EQ(SubItemTexts(perpendicular), (Texts{"15.00", "20.00", "5.00"}));
    EXPECT_EQ(SubItemTexts(das), (Texts{"10.00", "", "15.00"}));
    EXPECT_EQ(perpendicular->GetDataString(3), "");
    EXPECT_EQ(perpendicular->GetDataString(-1), "");

    // The perpendicular's value is the base line's length whatever is asked; the span set's default value
    // (point index 0) has none.
    for (int kind : {CAL_LENGTH, CAL_AREA}) {
        tagCAL_DATA data;
        data.kind = kind;
        EXPECT_EQ(perpendicular->GetDataString(data, 0), "50.00") << kind;
    }
    EXPECT_EQ(das->GetDefaultDataString(), "Not yet");
    tagCAL_DATA span;
    for (auto [index, result, value] : {std::tuple{2, 1, 10.0}, {3, 0, 0.0}, {4, 1, 15.0}, {6, 0, 0.0}}) {
        span.value1 = 0.0;
        EXPECT_EQ(das->GetCalData(span, index), result) << index;
        EXPECT_EQ(span.value1, value) << index;
    }
}

TEST(Perpendicular, DeletingSubItemsKeepsTheBaseLine)
{
    struct Case
    {
        std::vector<int> deletions;
        std::vector<int> results;
        Texts left;
    };
    const Case cases[] = {
        {{1}, {0}, {"15.00", "5.00"}},
        {{-1, -2, 3, 99}, {0, 0, 0, 0}, {"15.00", "20.00", "5.00"}},
        {{2, 0, 0}, {0, 0, 1}, {}},
    };
    for (const Case& c : cases) {
        Scene s;
        CQvGObjectPerpendicular* obj = s.Create(SHAPE_PERPENDICULAR, kClicks);
        for (size_t i = 0; i < c.deletions.size(); ++i)
            EXPECT_EQ(obj->DeleteSubPerpen(c.deletions[i]), c.results[i]) << c.deletions[i];
        EXPECT_EQ(SubItemTexts(obj), c.left);
        EXPECT_EQ(obj->GetPoint()[0], (_RPOINT{10, 50}));
        EXPECT_EQ(obj->GetPoint()[1], (_RPOINT{110, 50}));
        EXPECT_EQ(obj->GetCurSubItem(), -1);
    }
}

TEST(Perpendicular, DeleteWithAFootGrabbedRemovesOnlyThatFoot)
{
    struct Case
    {
        OBJ_SHAPE shape;
        CPoint grabbed;
        int subItem;
        bool objectLeft;
        Texts left;
    };
    const Case cases[] = {
        {SHAPE_PERPENDICULAR, {60, 90}, 1, true, {"15.00", "5.00"}},
        {SHAPE_PERPENDICULAR, {10, 50}, -2, false, {}},  // a base-line end: the whole object goes
        {SHAPE_PERPENDICULAR, {70, 50}, -1, false, {}},  // the base line's body
        {SHAPE_DAS, {60, 90}, 1, false, {}},             // the container takes feet off perpendiculars only
    };
    for (const Case& c : cases) {
        Scene s;
        CQvGObjectPerpendicular* obj = s.Create(c.shape, kClicks);
        s.container.SelectionMode(1);
        s.container.LButtonDown(kLeftButton, c.grabbed);
        s.container.LButtonUp(0, c.grabbed);
        ASSERT_EQ(s.container.GetSelectedObjectCount(), 1) << c.grabbed.x;
        EXPECT_EQ(obj->GetCurSubItem(), c.subItem) << c.grabbed.x;
        s.container.KeyDown(kKeyDelete, 1, 0);
        ASSERT_EQ(s.container.GetMainObjList().size(), c.objectLeft ? 1u : 0u) << c.grabbed.x;
        if (c.objectLeft) {
            EXPECT_EQ(SubItemTexts(obj), c.left);
            EXPECT_EQ(s.container.GetSelectedObjectCount(), 1);
        }
    }

    // Deleting the last foot takes the whole object with it.
    Scene s;
    CQvGObjectPerpendicular* obj = s.Create(SHAPE_PERPENDICULAR, {kClicks[0], kClicks[1], kClicks[2]});
    ASSERT_EQ(obj->GetPointCount(), 3);
    s.container.SelectionMode(1);
    s.container.LButtonDown(kLeftButton, kClicks[2]);
    s.container.KeyDown(kKeyDelete, 1, 0);
    EXPECT_TRUE(s.container.GetMainObjList().empty());
}

TEST(Perpendicular, CancelledBeforeAnyClickItStaysEmpty)
{
    for (OBJ_SHAPE shape : {SHAPE_PERPENDICULAR, SHAPE_DAS}) {
        CQvGObject* obj = CreateGObject(shape);
        obj->Cancel();
        EXPECT_EQ(obj->GetState(), GS_FINISHED);
        EXPECT_EQ(obj->GetPointCount(), 0);
        EXPECT_EQ(obj->GetLabelCount(), 0);
        CRgn region;
        EXPECT_EQ(obj->GetHitTestRgn(region), 0);
        EXPECT_EQ(obj->DeleteSubPerpen(0), 1);
        obj->RemoveAll();
    }
}

TEST(Perpendicular, FeetFollowTheBaseLine)
{
    Scene s;
    CQvGObjectPerpendicular* perpendicular = s.Create(SHAPE_PERPENDICULAR, kClicks);
    CQvGObjectPerpendicular* das = s.Create(SHAPE_DAS, kClicks);
    for (CQvGObjectPerpendicular* obj : {perpendicular, das}) {
        obj->MoveHandle(0, CSize(0, 10));
        obj->MoveHandle(1, CSize(0, 10));
    }
    // The base line now runs along y = 60; a turned base line (p1 dragged to (10, 150)) makes it vertical.
    EXPECT_EQ(SubItemTexts(perpendicular), (Texts{"20.00", "15.00", "10.00"}));
    EXPECT_EQ(SubItemTexts(das), (Texts{"10.00", "", "15.00"}));
    perpendicular->MoveHandle(1, CSize(-100, 90));
    EXPECT_EQ(SubItemTexts(perpendicular), (Texts{"10.00", "25.00", "40.00"}));

    // A whole move keeps every value; a moved foot changes only its own.
    das->MoveTo(CSize(7, -3));
    EXPECT_EQ(das->GetPoint()[4], (_RPOINT{97, 37}));
    EXPECT_EQ(SubItemTexts(das), (Texts{"10.00", "", "15.00"}));
    das->MoveHandle(4, CSize(10, 0));
    EXPECT_EQ(SubItemTexts(das), (Texts{"10.00", "", "20.00"}));
}

TEST(Perpendicular, BaseLineBandAndFootSquaresAreHit)
{
    Scene s;
    CQvGObjectPerpendicular* obj = s.Create(SHAPE_PERPENDICULAR, kClicks);
    struct Case
    {
        CPoint p;
        float ratio;
        bool hit;
    };
    const Case cases[] = {
        {{100, 52}, 1.0f, true},   // on the base line's band, far from any point
        {{112, 50}, 1.0f, true},   // the band reaches 3 pixels beyond the end at low zoom
        {{112, 50}, 4.0f, false},  // and 1 at high zoom
        {{62, 92}, 1.0f, true},    // the square around B
        {{62, 92}, 4.0f, false},
        {{60, 70}, 1.0f, false},   // on the perpendicular from B, which is no part of the region
        {{150, 10}, 1.0f, false},
    };
    for (const Case& c : cases) {
        s.container.SetRatio(c.ratio);
        EXPECT_EQ(obj->IsSelected(c.p) != 0, c.hit) << c.p.x << "," << c.p.y << " at " << c.ratio;
    }
    EXPECT_EQ(obj->GetMBR(), CRect(10, 20, 110, 90));
    EXPECT_EQ(obj->GetCursorShape(CRect(56, 86, 64, 94)), 32646u);
    EXPECT_EQ(obj->GetCursorShape(CRect(56, 56, 64, 64)), CQvGObject::kNoCursor);
}

TEST(Perpendicular, RecordRoundTripIsByteIdenticalWithTheSameSubItems)
{
    Scene s;
    std::vector<CPoint> many = kClicks;
    for (int i = 0; i < 12; ++i)  // past the first growth of the point array
        many.push_back(CPoint(15 + 7 * i, i % 2 ? 60 + i : 40 - i));
    for (OBJ_SHAPE shape : {SHAPE_PERPENDICULAR, SHAPE_DAS}) {
        CQvGObjectPerpendicular* obj = s.Create(shape, many);
        ASSERT_EQ(obj->GetPointCount(), 17);
        EXPECT_EQ(obj->GetCapacity(), 20);
        // A new value label is centred on its point and takes its final size at its first refresh, which the
        // container gives every object after a click in selection mode.
        obj->UpdateDataLabel();
        const std::vector<uint8_t> bytes = RecordOf(obj);

        TempStream in(bytes);
        LeReader reader(in.file());
        ASSERT_EQ(reader.Int32(), shape);
        CQvGObject* back = CreateGObject(shape);
        back->SetContainer(&s.container);
        ASSERT_EQ(back->Read(in.file(), 1.5f), 1);
        EXPECT_TRUE(in.AtEnd());
        EXPECT_EQ(RecordOf(back), bytes);
        EXPECT_EQ(SubItemTexts(back), SubItemTexts(obj));
        EXPECT_EQ(back->GetCurSubItem(), -1);
        back->RemoveAll();
    }
}

TEST(Perpendicular, PaintsMarksAndOneTextPerSubItem)
{
    constexpr QRgb kTextRgb = 0x0000FF;
    struct Case
    {
        OBJ_SHAPE shape;
        std::vector<CPoint> painted;  // foot-to-point lines and crosses on points, or crosses on feet
        std::vector<CPoint> unpainted;
        std::vector<QRect> textAreas;  // around the centre of every sub item's text
        std::vector<QRect> noTextAreas;
        int mark;  // whether the unit symbol follows the values
    };
    const Case cases[] = {
        {SHAPE_PERPENDICULAR, {{100, 50}, {60, 70}, {60, 85}, {64, 90}, {30, 35}}, {{90, 54}},
         {QRect(20, 28, 20, 14), QRect(50, 63, 20, 14), QRect(80, 38, 20, 14)}, {}, 1},
        {SHAPE_DAS, {{100, 50}, {60, 54}, {60, 46}, {90, 54}}, {{60, 70}, {64, 90}},
         {QRect(10, 43, 20, 14), QRect(65, 43, 20, 14)}, {QRect(40, 43, 12, 14)}, 0},
    };
    for (const Case& c : cases) {
        Scene s;
        s.container.SetDisplayMark(c.mark);
        CQvGObjectPerpendicular* obj = s.Create(c.shape, kClicks);
        // A name no wider than the values: the two-line box the texts are placed in is then as wide as they are.
        obj->GetProperty().SetName("P");
        obj->GetProperty().SetLineColor(RGB(255, 0, 0));
        obj->GetLabelObject()->GetProperty().SetTextColor(RGB(0, 0, 255));
        const CPoint origin(0, 0);
        const float ratio = 1.0f;
        for (int flag : {1, 0}) {
            QImage surface = BlankSurface(160, 120);
            {
                CDC dc(surface);
                obj->Draw(&dc, &origin, &ratio, flag);
            }
            // The marks, checked where no text covers them: in the rubber band, which has none.
            if (flag == 1) {
                for (CPoint p : c.painted)
                    EXPECT_EQ(PixelAt(surface, p.x, p.y), 0xFF0000u) << c.shape << " " << p.x << "," << p.y;
            }
            for (CPoint p : c.unpainted)
                EXPECT_NE(PixelAt(surface, p.x, p.y), 0xFF0000u) << c.shape << " " << p.x << "," << p.y;
            // Texts in the label's colour, about the middle of their two ends, only in a normal paint.
            for (const QRect& area : c.textAreas)
                EXPECT_EQ(CountColour(surface, kTextRgb, area) > 0, flag == 0) << c.shape << " " << area.x();
            for (const QRect& area : c.noTextAreas)
                EXPECT_EQ(CountColour(surface, kTextRgb, area), 0) << c.shape << " " << area.x();
        }
    }
}

TEST(Perpendicular, ValueWithNamesHiddenStandsAtTheTopLeftOfTheTwoLineBox)
{
    // One foot: A (100, 40) above the base line, its foot (100, 70), its text centred on (100, 55). The box is
    // measured on the name and value lines and centred there; with the name hidden the value takes the first
    // line's place, at the box's top-left corner. The marks are drawn white, so that only the text shows.
    Scene s;
    s.container.SetDisplayName(0);
    s.container.SetDisplayData(1);
    s.container.SetDisplayMark(0);
    CQvGObjectPerpendicular* obj = s.Create(SHAPE_PERPENDICULAR, {{40, 70}, {180, 70}, {100, 40}});
    obj->GetProperty().SetName("Perpendicular-7");
    obj->GetProperty().SetLineColor(RGB(255, 255, 255));
    obj->GetLabelObject()->GetProperty().SetTextColor(RGB(0, 0, 255));
    const CPoint origin(0, 0);
    const float ratio = 1.0f;
    QImage painted = BlankSurface(200, 120);
    {
        CDC dc(painted);
        obj->Draw(&dc, &origin, &ratio, 0);
    }

    QImage expected = BlankSurface(200, 120);
    {
        CDC dc(expected);
        LOGFONTA logFont = obj->GetLabelObject()->GetProperty().GetFont();
        logFont.lfHeight = CQvGObject::ScaleFontHeight(logFont.lfHeight, &ratio);
        CFont font;
        font.CreateFontIndirect(&logFont);
        dc.SelectObject(&font);
        dc.SetTextColor(RGB(0, 0, 255));
        dc.SetBkMode(TRANSPARENT);
        CRect box(0, 0, 10, 10);
        dc.DrawText("Perpendicular-7-0\n15.00", box, DT_CALCRECT | DT_NOCLIP);
        dc.TextOut(100 - box.Width() / 2, 55 - box.Height() / 2, "15.00");
    }
    EXPECT_GT(CountColour(expected, 0xFFFFFF), 0);
    EXPECT_LT(CountColour(expected, 0xFFFFFF), 200 * 120 - 20);
    EXPECT_TRUE(testing_support::ImagesMatch(painted, expected, "perpendicular-value-names-hidden"));
}
