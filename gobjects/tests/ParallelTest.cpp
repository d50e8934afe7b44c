// Parallel lines: a base line and a parallel placed through a third click, drawn and edited through the
// container's mouse entry points; turning either line at an end turns the other with it.
#include "gobjects/shapes/CQvGObjectParallel.h"
#include "gobjects/CRealtimeResultObjBox.h"
#include "LineFamilyScene.h"

#include "testing/RenderCheck.h"
#include "gdi/CRgn.h"
#include "strings/Format.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using testing_support::BlankSurface;
using testing_support::PixelAt;

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;

// Cross product of the two lines' directions: 0 when they are parallel.
double Skew(const CQvGObject* obj)
{
    const _RPOINT* p = obj->GetPoint();
    return (p[1].x - p[0].x) * (p[3].y - p[2].y) - (p[1].y - p[0].y) * (p[3].x - p[2].x);
}

void ExpectPoints(const CQvGObject* obj, std::initializer_list<_RPOINT> expected, const std::string& where)
{
    int i = 0;
    for (const _RPOINT& e : expected) {
        EXPECT_NEAR(obj->GetPoint()[i].x, e.x, 1e-9) << where << " point " << i;
        EXPECT_NEAR(obj->GetPoint()[i].y, e.y, 1e-9) << where << " point " << i;
        ++i;
    }
}

}  // namespace

TEST(Parallel, ThirdClickPlacesTheParallelAndGivesTheDistance)
{
    struct Case
    {
        const char* what;
        CPoint p0, p1, third;
        _RPOINT p2, p3;
        const char* length;
        const char* xAngle;
    };
    // 0.5 units per pixel: the value is half the click's distance from the base line.
    const Case cases[] = {
        {"below the middle", {10, 10}, {50, 10}, {30, 40}, {10, 40}, {50, 40}, "15.00", "0.00"},
        {"beside the end", {10, 10}, {50, 10}, {70, 30}, {50, 30}, {90, 30}, "10.00", "0.00"},
        {"slanted base", {10, 10}, {50, 40}, {24, 33}, {4, 18}, {44, 48}, "5.00", "323.13"},
        // A third click on the base line's end: the parallel lies on the base line, shifted along it.
        {"on the end", {10, 10}, {50, 10}, {50, 10}, {30, 10}, {70, 10}, "0.00", "0.00"},
        // A base line of no length counts as vertical: the distance is taken across.
        {"null base", {30, 30}, {30, 30}, {60, 50}, {60, 50}, {60, 50}, "15.00", "-1.00"},
    };
    for (const Case& c : cases) {
        LineFamilyScene s;
        CQvGObject* obj = s.Click(SHAPE_PARALLEL, {c.p0, c.p1, c.third});
        ASSERT_NE(obj, nullptr) << c.what;
        EXPECT_EQ(obj->GetState(), GS_FINISHED) << c.what;
        EXPECT_EQ(s.container.GetObjState(), GS_FINISHED) << c.what;
        ASSERT_EQ(obj->GetPointCount(), 4) << c.what;
        ExpectPoints(obj, {{double(c.p0.x), double(c.p0.y)}, {double(c.p1.x), double(c.p1.y)}, c.p2, c.p3}, c.what);
        EXPECT_EQ(LineFamilyScene::Text(obj, CAL_LENGTH), c.length) << c.what;
        EXPECT_EQ(LineFamilyScene::Text(obj, CAL_X_ANGLE), c.xAngle) << c.what;
        EXPECT_EQ(LineFamilyScene::Text(obj, CAL_Y_ANGLE), Format("%.2f", std::stod(c.xAngle) - 90)) << c.what;
        EXPECT_EQ(LineFamilyScene::Text(obj, CAL_POSITION_CENTER), "Not yet") << c.what;
        obj->SetCalType();
        EXPECT_EQ(obj->GetCalType(), 0x61);
        ASSERT_EQ(obj->GetLabelCount(), 1) << c.what;
        obj->SetDispType(CAL_LENGTH);
        obj->UpdateDataLabel();
        EXPECT_EQ(obj->GetLabelObject()->GetProperty().GetComment(), c.length) << c.what;
    }
}

TEST(Parallel, RightClickFinishesOnlyOnceTheParallelIsBeingPlaced)
{
    LineFamilyScene s;
    CQvGObject* obj = s.Click(SHAPE_PARALLEL, {{10, 10}});
    ASSERT_NE(obj, nullptr);
    s.RightClick(CPoint(50, 10));
    EXPECT_EQ(obj->GetState(), GS_ADDING);
    EXPECT_EQ(obj->GetPointCount(), 2);

    s.container.LButtonDown(LineFamilyScene::kLeftButton, CPoint(50, 10));
    s.RightClick(CPoint(30, 40));
    EXPECT_EQ(obj->GetState(), GS_FINISHED);
    EXPECT_EQ(s.container.GetObjState(), GS_FINISHED);
    ExpectPoints(obj, {{10, 10}, {50, 10}, {10, 40}, {50, 40}}, "right click");
    EXPECT_EQ(LineFamilyScene::Text(obj, CAL_LENGTH), "15.00");
}

TEST(Parallel, EndHandlesTurnTheOtherLineAndMiddlesTranslateOne)
{
    struct Case
    {
        CPoint from, to;  // the drag, starting on a handle
        int handle;
        _RPOINT p0, p1, p2, p3;
        const char* length;
    };
    // Base (10,10)-(50,10), parallel (50,30)-(90,30); every end drag turns its line by 90 degrees.
    const Case cases[] = {
        {{10, 10}, {50, 50}, 0, {50, 50}, {50, 10}, {90, 70}, {90, 30}, "20.00"},
        {{30, 10}, {30, 20}, 1, {10, 20}, {50, 20}, {50, 30}, {90, 30}, "5.00"},
        {{50, 10}, {10, -30}, 2, {10, 10}, {10, -30}, {50, 30}, {50, -10}, "20.00"},
        {{50, 30}, {90, 70}, 3, {50, 50}, {50, 10}, {90, 70}, {90, 30}, "20.00"},
        {{70, 30}, {75, 50}, 4, {10, 10}, {50, 10}, {55, 50}, {95, 50}, "20.00"},
        {{90, 30}, {50, -10}, 5, {10, 10}, {10, -30}, {50, 30}, {50, -10}, "20.00"},
    };
    for (const Case& c : cases) {
        LineFamilyScene s;
        CQvGObject* obj = s.Click(SHAPE_PARALLEL, {{10, 10}, {50, 10}, {70, 30}});
        ASSERT_NE(obj, nullptr);
        s.Drag(c.from, c.to);
        const std::string where = "handle " + std::to_string(c.handle);
        EXPECT_EQ(obj->GetSelectedHandle(), c.handle) << where;
        ExpectPoints(obj, {c.p0, c.p1, c.p2, c.p3}, where);
        EXPECT_NEAR(Skew(obj), 0.0, 1e-9) << where;
        EXPECT_EQ(LineFamilyScene::Text(obj, CAL_LENGTH), c.length) << where;
    }
}

TEST(Parallel, WholeMovesTakeBothLinesAndTheLabel)
{
    LineFamilyScene s;
    CQvGObject* obj = s.Click(SHAPE_PARALLEL, {{10, 10}, {50, 10}, {30, 40}});
    ASSERT_NE(obj, nullptr);
    const CRect label = obj->GetLabelObject()->GetMBR();
    s.Drag(CPoint(20, 40), CPoint(25, 43));
    EXPECT_EQ(obj->GetSelectedHandle(), -1);
    ExpectPoints(obj, {{15, 13}, {55, 13}, {15, 43}, {55, 43}}, "moved");
    EXPECT_EQ(obj->GetLabelObject()->GetMBR(), CRect(label.left + 5, label.top + 3, label.right + 5, label.bottom + 3));
}

TEST(Parallel, HitOnEitherLineHandleSquaresAndLabel)
{
    LineFamilyScene s;
    CQvGObject* obj = s.Click(SHAPE_PARALLEL, {{10, 10}, {50, 10}, {30, 40}});
    ASSERT_NE(obj, nullptr);
    const CRect label = obj->GetLabelObject()->GetMBR();
    struct Case
    {
        CPoint p;
        bool hit;
        int labelHit;
    };
    const Case cases[] = {
        {{40, 12}, true, 0},   // the base line
        {{20, 42}, true, 0},   // the parallel
        {{47, 43}, true, 0},   // the square around p3, outside the parallel's band
        {{30, 25}, false, 0},  // half-way between the lines
        {{150, 120}, false, 0},
        {{label.right - 1, label.bottom - 1}, true, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(obj->IsSelected(c.p) != 0, c.hit) << c.p.x << "," << c.p.y;
        EXPECT_EQ(obj->GetLabelHit(), c.labelHit) << c.p.x << "," << c.p.y;
    }
    EXPECT_EQ(obj->GetCursorShape(CRect(26, 36, 34, 44)), 32646u);
    EXPECT_EQ(obj->GetCursorShape(CRect(26, 20, 34, 28)), CQvGObject::kNoCursor);
    EXPECT_EQ(obj->GetMBR(), CRect(10, 10, 50, 40));
}

TEST(Parallel, PaintsBothLinesAndTheMeasuredConnector)
{
    LineFamilyScene s;
    s.container.SetDisplayData(0);
    CQvGObject* obj = s.Click(SHAPE_PARALLEL, {{10, 10}, {50, 10}, {30, 40}});
    ASSERT_NE(obj, nullptr);
    obj->GetProperty().SetLineColor(0x000000);
    QImage surface = BlankSurface(LineFamilyScene::kWidth, LineFamilyScene::kHeight);
    CDC dc(surface);
    s.container.Draw(&dc, -1);
    for (CPoint p : {CPoint(10, 10), CPoint(49, 10), CPoint(10, 40), CPoint(49, 40), CPoint(30, 25), CPoint(30, 11)})
        EXPECT_EQ(PixelAt(surface, p.x, p.y), kBlack) << p.x << "," << p.y;
    for (CPoint p : {CPoint(20, 25), CPoint(50, 25), CPoint(10, 25)})
        EXPECT_EQ(PixelAt(surface, p.x, p.y), kWhite) << p.x << "," << p.y;

    // Selected, it shows a grip (inverted 8 x 8 square) on both ends and the middle of each line.
    s.container.SelectionMode(1);
    s.container.SelectObjects(obj, 0);
    QImage selected = BlankSurface(LineFamilyScene::kWidth, LineFamilyScene::kHeight);
    CDC selectedDC(selected);
    s.container.Draw(&selectedDC, -1);
    for (CPoint grip : {CPoint(10, 10), CPoint(30, 10), CPoint(50, 10), CPoint(10, 40), CPoint(30, 40), CPoint(50, 40)})
        EXPECT_EQ(PixelAt(selected, grip.x - 4, grip.y - 4), kBlack) << grip.x << "," << grip.y;
    EXPECT_EQ(PixelAt(selected, 20, 6), kWhite);
}

TEST(Parallel, WhilePlacedItPreviewsTheParallelAndItsLiveValue)
{
    CreateRealTimeResultBox_PZ();
    ASSERT_NE(pRealtimeResultBox, nullptr);
    {
        LineFamilyScene s;
        s.container.SetDisplayRealtime(1);
        CQvGObject* obj = s.Click(SHAPE_PARALLEL, {{10, 10}, {50, 10}});
        ASSERT_NE(obj, nullptr);
        s.container.MouseMove(s.dc.get(), 0, CPoint(70, 30));
        ASSERT_EQ(obj->GetPointCount(), 3);
        obj->SetDispType(CAL_LENGTH);
        obj->GetProperty().SetLineColor(0x000000);

        QImage surface = BlankSurface(LineFamilyScene::kWidth, LineFamilyScene::kHeight);
        CDC dc(surface);
        const CPoint origin(0, 0);
        const float ratio = 1.0f;
        obj->Draw(&dc, &origin, &ratio, 1);
        // The would-be parallel (50,30)-(90,30) and the connector from the mouse to the base line.
        EXPECT_EQ(PixelAt(surface, 60, 30), kBlack);
        EXPECT_EQ(PixelAt(surface, 89, 30), kBlack);
        EXPECT_EQ(PixelAt(surface, 70, 20), kBlack);
        EXPECT_EQ(PixelAt(surface, 30, 30), kWhite);
        EXPECT_EQ(pRealtimeResultBox->GetText(), "10.00");
        EXPECT_TRUE(pRealtimeResultBox->IsWindowVisible());
        // Only previewed: the mouse point is still the point being placed.
        EXPECT_EQ(obj->GetPoint()[2], (_RPOINT{70, 30}));

        s.container.LButtonDown(LineFamilyScene::kLeftButton, CPoint(70, 30));
        EXPECT_EQ(obj->GetState(), GS_FINISHED);
        EXPECT_FALSE(pRealtimeResultBox->IsWindowVisible());
    }
    DestroyRealTimeResultBox_PZ();
}
