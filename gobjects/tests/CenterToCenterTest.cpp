// The centre-to-centre distance: six clicks through the container, its values, part-wise drags, hit regions,
// its record and its painting.
#include "ByteFixture.h"
#include "gobjects/shapes/CQvGObjectCenterToCenter.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/GObjectFactory.h"
#include "MarkerScene.h"

#include "calibkeeper/CCalibKeeper.h"
#include "testing/RenderCheck.h"
#include "gdi/CDC.h"
#include "stream/LeStream.h"
#include "types/WinUser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using testing_support::BlankSurface;
using testing_support::PixelAt;

constexpr UINT kLeftButton = MK_LBUTTON;

// Circle A: centre (20, 20), radius 10. Circle B: centre (80, 50), radius 20.
const std::vector<CPoint> kRims = {{30, 20}, {20, 10}, {10, 20}, {100, 50}, {80, 30}, {60, 50}};

// The marker scene (0.5 units per pixel, 2 decimals, no repetition) with the centre-to-centre's creation.
struct Scene : MarkerScene
{
    // Clicks the points as a user does: the mouse moves to each point, then the button goes down and up.
    CQvGObjectCenterToCenter* Create(const std::vector<CPoint>& clicks)
    {
        EXPECT_EQ(container.AddObject(SHAPE_CENTER_TO_CENTER), 1);
        auto* obj = dynamic_cast<CQvGObjectCenterToCenter*>(container.GetCreatingObject());
        EXPECT_NE(obj, nullptr);
        auto dc = canvas.GetSurfaceDC();
        for (CPoint p : clicks) {
            container.MouseMove(dc.get(), 0, p);
            container.LButtonDown(kLeftButton, p);
            container.LButtonUp(0, p);
        }
        return obj;
    }
};

}  // namespace

TEST(CenterToCenter, SixClicksMeasureBetweenTheCentres)
{
    Scene s;
    std::vector<CPoint> five(kRims.begin(), kRims.end() - 1);
    CQvGObjectCenterToCenter* obj = s.Create(five);
    EXPECT_EQ(obj->GetState(), GS_ADDING);
    EXPECT_EQ(obj->GetPointCount(), 6);  // five clicks and the point following the mouse
    s.container.RButtonDown(0, kRims[4]);  // a right click never finishes
    EXPECT_EQ(obj->GetState(), GS_ADDING);

    auto dc = s.canvas.GetSurfaceDC();
    s.container.MouseMove(dc.get(), 0, kRims[5]);
    s.container.LButtonDown(kLeftButton, kRims[5]);
    ASSERT_EQ(obj->GetState(), GS_FINISHED);
    ASSERT_EQ(obj->GetPointCount(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(obj->GetPoint()[i], (_RPOINT{double(kRims[i].x), double(kRims[i].y)})) << i;
    EXPECT_EQ(obj->GetLabelCount(), 1);
    EXPECT_EQ(obj->GetCalType(), 0x7061);

    // A -> B is (60, 30) pixels: 67.082 pixels, 33.541 units, pointing down and to the right.
    EXPECT_NEAR(Scene::Value(obj, CAL_LENGTH), 33.54101966, 1e-6);
    EXPECT_NEAR(Scene::Value(obj, CAL_X_ANGLE), 333.43494882, 1e-6);
    EXPECT_NEAR(Scene::Value(obj, CAL_Y_ANGLE), 243.43494882, 1e-6);
    const std::pair<int, const char*> texts[] = {
        {CAL_LENGTH, "33.54"},
        {CAL_X_ANGLE, "333.43"},
        {CAL_POSITION_START, "(10.00,10.00)"},
        {CAL_POSITION_CENTER, "(25.00,17.50)"},
        {CAL_POSITION_END, "(40.00,25.00)"},
        {CAL_AREA, "Not yet"},
    };
    for (const auto& [kind, text] : texts)
        EXPECT_EQ(Scene::Text(obj, kind), text) << kind;
}

TEST(CenterToCenter, RimPointsThatMakeNoCircleFallBackOnTheBoxOfTheFirstTwo)
{
    struct Case
    {
        std::vector<CPoint> rimA;
        _RPOINT centreA;
    };
    const Case cases[] = {
        {{{10, 10}, {30, 10}, {30, 10}}, {20, 10}},  // two points coincide
        {{{10, 10}, {20, 10}, {30, 10}}, {15, 10}},  // all on a line
        {{{10, 10}, {10, 10}, {10, 10}}, {10, 10}},  // one point three times
    };
    for (const Case& c : cases) {
        Scene s;
        std::vector<CPoint> clicks = c.rimA;
        clicks.insert(clicks.end(), kRims.begin() + 3, kRims.end());
        CQvGObjectCenterToCenter* obj = s.Create(clicks);
        ASSERT_EQ(obj->GetState(), GS_FINISHED);
        tagCAL_DATA start;
        start.kind = CAL_POSITION_START;
        ASSERT_EQ(obj->GetCalData(start, 0), 1);
        EXPECT_EQ(start.value1, c.centreA.x);
        EXPECT_EQ(start.value2, c.centreA.y);
        EXPECT_TRUE(std::isfinite(Scene::Value(obj, CAL_LENGTH)));
        CRgn region;
        EXPECT_EQ(obj->GetHitTestRgn(region), 1);
    }
}

TEST(CenterToCenter, CirclesOfCloseClicksFarFromTheOriginMeasureBetweenTheirCentres)
{
    // Two circles of radius 5 a million pixels out, centres 20 pixels apart. Their fits were once refused, and the
    // length measured between midpoints of rim points instead.
    const std::vector<CPoint> rims = {{1000005, 1000000}, {1000003, 1000004}, {1000000, 999995},
                                      {1000025, 1000000}, {1000020, 1000005}, {1000016, 999997}};
    Scene s;
    CQvGObjectCenterToCenter* obj = s.Create(rims);
    ASSERT_EQ(obj->GetState(), GS_FINISHED);
    EXPECT_NEAR(Scene::Value(obj, CAL_LENGTH), 20 * 0.5, 1e-9);
    EXPECT_NEAR(Scene::Value(obj, CAL_X_ANGLE), 0, 1e-9);
    tagCAL_DATA start;
    start.kind = CAL_POSITION_START;
    ASSERT_EQ(obj->GetCalData(start, 0), 1);
    EXPECT_NEAR(start.value1, 1000000, 1e-9);
    EXPECT_NEAR(start.value2, 1000000, 1e-9);
}

TEST(CenterToCenter, AGrabbedCircleMovesAloneAndBothMoveWithTheLabel)
{
    // Circle B beside A, their boxes touching at x = 30: B has centre (40, 20) and radius 10.
    const std::vector<CPoint> rims = {{30, 20}, {20, 10}, {10, 20}, {50, 20}, {40, 30}, {40, 10}};
    struct Case
    {
        CPoint click;
        int handle;
        int part;
        bool movesA, movesB, movesLabel;
    };
    const Case cases[] = {
        {{15, 25}, -1, 0, true, false, false},  {{45, 25}, -1, 1, false, true, false},
        {{30, 27}, -1, 2, true, true, true},    {{90, 90}, -1, -1, false, false, false},
        {{40, 11}, 5, -1, false, false, false},
    };
    for (const Case& c : cases) {
        Scene s;
        CQvGObjectCenterToCenter* obj = s.Create(rims);
        ASSERT_EQ(obj->GetState(), GS_FINISHED);
        const CRect label = obj->GetLabelObject()->GetMBR();
        CRect grab(c.click, c.click);
        grab.InflateRect(4);
        EXPECT_EQ(obj->GetHandle(grab), c.handle) << c.click.x;
        if (c.handle == -1) {
            EXPECT_EQ(obj->GetMovingPart(), c.part) << c.click.x;
        }
        obj->MoveTo(CSize(5, 7));
        EXPECT_EQ(obj->GetPoint()[0].x, c.movesA ? 35.0 : 30.0) << c.click.x;
        EXPECT_EQ(obj->GetPoint()[2].y, c.movesA ? 27.0 : 20.0) << c.click.x;
        EXPECT_EQ(obj->GetPoint()[3].x, c.movesB ? 55.0 : 50.0) << c.click.x;
        EXPECT_EQ(obj->GetPoint()[5].y, c.movesB ? 17.0 : 10.0) << c.click.x;
        EXPECT_EQ(obj->GetLabelObject()->GetMBR().left, label.left + (c.movesLabel ? 5 : 0)) << c.click.x;
    }

    // A rim point dragged through the container moves alone, and the centre follows it.
    Scene s;
    CQvGObjectCenterToCenter* obj = s.Create(kRims);
    s.container.SelectionMode(1);
    auto dc = s.canvas.GetSurfaceDC();
    s.container.LButtonDown(kLeftButton, CPoint(10, 20));
    s.container.MouseMove(dc.get(), kLeftButton, CPoint(6, 20));
    s.container.LButtonUp(0, CPoint(6, 20));
    EXPECT_EQ(obj->GetPoint()[2], (_RPOINT{6, 20}));
    EXPECT_EQ(obj->GetPoint()[1], (_RPOINT{20, 10}));
    tagCAL_DATA start;
    start.kind = CAL_POSITION_START;
    obj->GetCalData(start, 0);
    EXPECT_NEAR(start.value1, 18.0, 1e-9);  // (30,20), (20,10), (6,20): centre (18, 22)
    EXPECT_NEAR(start.value2, 22.0, 1e-9);
}

TEST(CenterToCenter, RingsRimPointsAndLabelAreHitTheInsideIsNot)
{
    Scene s;
    CQvGObjectCenterToCenter* obj = s.Create(kRims);
    struct Case
    {
        CPoint p;
        float ratio;
        bool hit;
        int labelHit;
    };
    const Case cases[] = {
        {{27, 27}, 1.0f, true, 0},    // on circle A's outline
        {{80, 71}, 1.0f, true, 0},    // 1 pixel outside circle B's outline at the bottom
        {{80, 73}, 1.0f, true, 0},    // within the ring's 3 pixels at low zoom
        {{80, 73}, 4.0f, false, 0},   // beyond the 1-pixel ring at high zoom
        {{80, 50}, 1.0f, false, 0},   // B's centre: inside, not on the ring
        {{140, 110}, 1.0f, false, 0}, // far away
    };
    for (const Case& c : cases) {
        s.container.SetRatio(c.ratio);
        EXPECT_EQ(obj->IsSelected(c.p) != 0, c.hit) << c.p.x << "," << c.p.y << " at " << c.ratio;
        EXPECT_EQ(obj->GetLabelHit(), c.labelHit);
    }
    s.container.SetRatio(1.0f);
    const CRect label = obj->GetLabelObject()->GetMBR();
    const CPoint inLabel(label.right - 2, label.bottom - 2);
    CRgn region;
    obj->GetHitTestRgn(region);
    ASSERT_FALSE(region.PtInRegion(inLabel));
    EXPECT_TRUE(obj->IsSelected(inLabel));
    EXPECT_EQ(obj->GetLabelHit(), 1);

    // The bounding box holds both circles, not only the first two rim points.
    EXPECT_EQ(obj->GetMBR(), CRect(10, 10, 100, 70));
}

TEST(CenterToCenter, RecordRoundTripIsByteIdenticalAndAPasteMovesTheWhole)
{
    Scene s;
    CQvGObjectCenterToCenter* obj = s.Create(kRims);
    obj->SetDispType(CAL_LENGTH);
    obj->UpdateDataLabel();
    const std::vector<uint8_t> bytes = RecordOf(obj);

    TempStream in(bytes);
    LeReader reader(in.file());
    ASSERT_EQ(reader.Int32(), SHAPE_CENTER_TO_CENTER);
    CQvGObject* back = CreateGObject(SHAPE_CENTER_TO_CENTER);
    back->SetContainer(&s.container);
    ASSERT_EQ(back->Read(in.file(), 1.5f), 1);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(RecordOf(back), bytes);
    for (int kind : {CAL_LENGTH, CAL_X_ANGLE, CAL_POSITION_CENTER})
        EXPECT_EQ(Scene::Text(back, kind), Scene::Text(obj, kind)) << kind;

    // Pasting moves a copy by (10, 10) without a click having grabbed any part of it.
    back->MoveTo(CSize(10, 10));
    EXPECT_EQ(back->GetPoint()[0], (_RPOINT{40, 30}));
    EXPECT_EQ(back->GetPoint()[5], (_RPOINT{70, 60}));
    back->RemoveAll();
}

TEST(CenterToCenter, PaintsCrossesWhileCreatedThenCirclesAndTheCentreLine)
{
    Scene s;
    s.container.SetDisplayData(0);
    CQvGObjectCenterToCenter* obj = s.Create({kRims[0], kRims[1], kRims[2]});
    obj->GetProperty().SetLineColor(RGB(255, 0, 0));
    const CPoint origin(0, 0);
    const float ratio = 1.0f;

    // Three clicks: crosses on the clicked points (arms of 5 pixels) but none on the point following the mouse,
    // and circle A through the three.
    auto moving = s.canvas.GetSurfaceDC();
    s.container.MouseMove(moving.get(), 0, CPoint(100, 100));
    ASSERT_EQ(obj->GetPoint()[3], (_RPOINT{100, 100}));
    QImage creating = BlankSurface(160, 120);
    {
        CDC dc(creating);
        obj->Draw(&dc, &origin, &ratio, 1);
    }
    EXPECT_EQ(PixelAt(creating, 34, 20), 0xFF0000u);   // arm of the cross on (30, 20)
    EXPECT_EQ(PixelAt(creating, 35, 20), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(creating, 20, 14), 0xFF0000u);   // arm of the cross on (20, 10)
    EXPECT_EQ(PixelAt(creating, 20, 30), 0xFF0000u);   // circle A shows (its bottom rim)
    EXPECT_EQ(PixelAt(creating, 97, 100), 0xFFFFFFu);  // no cross on the point following the mouse

    for (int i = 3; i < 6; ++i) {
        s.container.MouseMove(moving.get(), 0, kRims[i]);
        s.container.LButtonDown(kLeftButton, kRims[i]);
    }
    ASSERT_EQ(obj->GetState(), GS_FINISHED);
    QImage finished = BlankSurface(160, 120);
    {
        CDC paint(finished);
        obj->Draw(&paint, &origin, &ratio, 0);
    }
    const CPoint painted[] = {{10, 20}, {20, 30}, {25, 20}, {60, 50}, {100, 50}, {90, 50}, {50, 35}};
    for (CPoint p : painted)
        EXPECT_EQ(PixelAt(finished, p.x, p.y), 0xFF0000u) << p.x << "," << p.y;
    const CPoint blank[] = {{34, 20}, {15, 15}, {70, 40}, {120, 90}};
    for (CPoint p : blank)
        EXPECT_EQ(PixelAt(finished, p.x, p.y), 0xFFFFFFu) << p.x << "," << p.y;
}
