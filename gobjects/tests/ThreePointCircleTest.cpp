#include "gobjects/shapes/CQvGObject3PointCircle.h"
#include "RoundTestScene.h"

#include "testing/RenderCheck.h"
#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <numbers>

namespace {

using std::numbers::pi;
using testing_support::BlankSurface;
using testing_support::CountColour;
using testing_support::PixelAt;

constexpr double kCmilPerMm2 = 1973.5252413880287;

struct Deleter
{
    void operator()(CQvGObject* obj) const { obj->RemoveAll(); }
};
using ObjPtr = std::unique_ptr<CQvGObject, Deleter>;

}  // namespace

TEST(ThreePointCircle, ThreeClicksGiveTheCircleThroughThem)
{
    struct Case
    {
        std::vector<CPoint> clicks;
        double radiusPixels;
        _RPOINT centre;
        const char* centreText;  // calibrated, 2 decimals
    };
    const Case cases[] = {
        {{{20, 40}, {60, 40}, {40, 20}}, 20.0, {40, 40}, "(20.00,20.00)"},
        {{{0, 0}, {20, 0}, {10, 10}}, 10.0, {10, 0}, "(5.00,0.00)"},
        {{{100, 50}, {120, 90}, {80, 90}}, 25.0, {100, 75}, "(50.00,37.50)"},
    };
    for (const Case& c : cases) {
        RoundTestScene scene;
        auto* circle = static_cast<CQvGObject3PointCircle*>(scene.Draw(SHAPE_3POINT_CIRCLE, {}, CAL_DIAMETER));
        scene.Click({c.clicks[0], c.clicks[1]});
        EXPECT_EQ(circle->GetState(), GS_ADDING);
        scene.Click({c.clicks[2]});

        SCOPED_TRACE(testing::Message() << "through " << c.clicks[2].x << "," << c.clicks[2].y);
        EXPECT_EQ(circle->GetState(), GS_FINISHED);
        ASSERT_EQ(circle->GetPointCount(), 3);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(circle->GetPoint()[i], (_RPOINT{double(c.clicks[i].x), double(c.clicks[i].y)}));
        EXPECT_EQ(circle->GetLabelCount(), 3);

        const double r = c.radiusPixels * RoundTestScene::kUnitsPerPixel;
        const double rMm = c.radiusPixels * RoundTestScene::kMillimetresPerPixel;
        const std::map<int32_t, double> values = {
            {CAL_LENGTH, 2.0 * pi * r}, {CAL_MAX_RADIUS, r},     {CAL_MIN_RADIUS, r},
            {CAL_DIAMETER, 2.0 * r},    {CAL_AREA, pi * r * r}, {CAL_CIRCULAR_MIL, pi * rMm * rMm * kCmilPerMm2},
        };
        for (const auto& [kind, value] : values)
            EXPECT_NEAR(RoundTestScene::Value(circle, kind), value, 1e-9 * (1 + value)) << "quantity " << kind;
        tagCAL_DATA centre;
        centre.kind = CAL_POSITION_CENTER;
        EXPECT_EQ(circle->GetDataString(centre, 0), c.centreText);
        EXPECT_NEAR(centre.value1, c.centre.x, 1e-9);
        EXPECT_NEAR(centre.value2, c.centre.y, 1e-9);
        char diameter[32];
        std::snprintf(diameter, sizeof diameter, "%.2f", 2.0 * r);
        EXPECT_EQ(circle->GetDefaultDataString(), diameter);
    }
}

TEST(ThreePointCircle, CloseClicksFarFromTheOriginMakeTheirCircle)
{
    // A circle of radius 2.5 pixels a million pixels out once read radius 0 as a valid value.
    RoundTestScene scene;
    CQvGObject* circle =
        scene.Draw(SHAPE_3POINT_CIRCLE, {{1000000, 1000000}, {1000004, 1000000}, {1000000, 1000003}});
    ASSERT_EQ(circle->GetState(), GS_FINISHED);
    EXPECT_NEAR(RoundTestScene::Value(circle, CAL_MAX_RADIUS), 2.5 * RoundTestScene::kUnitsPerPixel, 1e-9);
    tagCAL_DATA centre;
    centre.kind = CAL_POSITION_CENTER;
    ASSERT_EQ(circle->GetCalData(centre, 0), 1);
    EXPECT_NEAR(centre.value1, 1000002, 1e-9);
    EXPECT_NEAR(centre.value2, 1000001.5, 1e-9);
}

TEST(ThreePointCircle, PointsThatMakeNoCircleReadZeroAroundTheirCentroid)
{
    RoundTestScene scene;
    for (auto clicks : {std::vector<CPoint>{{10, 10}, {40, 40}, {70, 70}}, std::vector<CPoint>{{10, 10}, {10, 10}, {40, 70}}}) {
        CQvGObject* circle = scene.Draw(SHAPE_3POINT_CIRCLE, {clicks[0], clicks[1], clicks[2]});
        ASSERT_EQ(circle->GetState(), GS_FINISHED);
        for (int32_t kind : {CAL_LENGTH, CAL_MAX_RADIUS, CAL_MIN_RADIUS, CAL_DIAMETER, CAL_AREA, CAL_CIRCULAR_MIL})
            EXPECT_EQ(RoundTestScene::Value(circle, kind), 0.0) << kind;
        tagCAL_DATA centre;
        centre.kind = CAL_POSITION_CENTER;
        ASSERT_EQ(circle->GetCalData(centre, 0), 1);
        EXPECT_DOUBLE_EQ(centre.value1, (clicks[0].x + clicks[1].x + clicks[2].x) / 3.0);
        EXPECT_DOUBLE_EQ(centre.value2, (clicks[0].y + clicks[1].y + clicks[2].y) / 3.0);

        // Still shown and still picked at its points.
        CRgn rgn;
        ASSERT_EQ(circle->GetHitTestRgn(rgn), 1);
        EXPECT_TRUE(rgn.PtInRegion(clicks[2]));
        QImage surface = BlankSurface(100, 100);
        CDC dc(surface);
        const CPoint origin(0, 0);
        const float ratio = 1.0f;
        circle->DrawShape(&dc, &origin, &ratio, 0);
        EXPECT_GT(CountColour(surface, 0xFFFFFF), 0);
        EXPECT_LT(CountColour(surface, 0xFFFFFF), 100 * 100);
    }
}

TEST(ThreePointCircle, RightClickFinishesOnlyWithThreePointsAndKeepsTheThird)
{
    RoundTestScene scene;
    CQvGObject* early = scene.Draw(SHAPE_3POINT_CIRCLE, {{20, 40}});
    scene.RightClick(CPoint(60, 40));  // the second point still follows the mouse
    EXPECT_EQ(early->GetState(), GS_ADDING);
    scene.container.CancelObject();

    CQvGObject* clicked = scene.Draw(SHAPE_3POINT_CIRCLE, {{20, 40}, {60, 40}, {40, 20}});
    CQvGObject* rightClicked = scene.Draw(SHAPE_3POINT_CIRCLE, {{20, 40}, {60, 40}});
    scene.RightClick(CPoint(40, 20));
    EXPECT_EQ(rightClicked->GetState(), GS_FINISHED);
    EXPECT_EQ(RoundTestScene::Points(rightClicked), RoundTestScene::Points(clicked));
    EXPECT_EQ(rightClicked->GetLabelCount(), clicked->GetLabelCount());
    EXPECT_EQ(RoundTestScene::Value(rightClicked, CAL_DIAMETER), RoundTestScene::Value(clicked, CAL_DIAMETER));
}

TEST(ThreePointCircle, HandlesRingAndLabelAreHit)
{
    RoundTestScene scene;
    CQvGObject* circle = scene.Draw(SHAPE_3POINT_CIRCLE, {{100, 50}, {120, 90}, {80, 90}});  // centre (100, 75), r 25
    EXPECT_EQ(circle->NeedROP(), 0);
    EXPECT_EQ(circle->IsDisplayValue(), 1);
    EXPECT_EQ(circle->CanDragAddPoint(), 0);
    struct Case
    {
        CPoint p;
        int hit;
        int labelHit;
    };
    const Case cases[] = {
        {{100, 100}, 1, 0}, {{100, 102}, 1, 0}, {{100, 98}, 1, 0},  // the ring at the bottom, +-3
        {{100, 104}, 0, 0}, {{100, 94}, 0, 0},
        {{80, 90}, 1, 0},   {{100, 70}, 1, 1},  {{20, 20}, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(circle->IsSelected(c.p), c.hit) << c.p.x << "," << c.p.y;
        EXPECT_EQ(circle->GetLabelHit(), c.labelHit) << c.p.x << "," << c.p.y;
    }

    // Points 1 and 2 both in the box: the later one is the handle.
    EXPECT_EQ(circle->GetHandle(CRect(60, 80, 140, 100)), 2);
    EXPECT_EQ(circle->GetHandle(CRect(115, 85, 125, 95)), 1);
    EXPECT_EQ(circle->GetHandle(CRect(0, 0, 10, 10)), -1);
}

TEST(ThreePointCircle, PaintsCrossesWhileCreatedThenTheCircle)
{
    RoundTestScene scene;
    CQvGObject* circle = scene.Draw(SHAPE_3POINT_CIRCLE, {{20, 40}, {60, 40}});
    const CPoint origin(0, 0);
    const float ratio = 1.0f;
    const auto paint = [&] {
        QImage surface = BlankSurface(100, 100);
        CDC dc(surface);
        CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
        dc.SelectObject(&pen);
        dc.SelectStockObject(HOLLOW_BRUSH);
        circle->DrawShape(&dc, &origin, &ratio, 0);
        return surface;
    };
    // Two points placed, the third following the mouse: crosses with arms of 5 pixels on the placed ones only.
    QImage creating = paint();
    for (QPoint black : {QPoint(20, 40), QPoint(24, 40), QPoint(20, 36), QPoint(60, 44), QPoint(56, 40)})
        EXPECT_EQ(PixelAt(creating, black.x(), black.y()), 0x000000u) << black.x() << "," << black.y();
    EXPECT_EQ(PixelAt(creating, 25, 40), 0xFFFFFFu);
    EXPECT_EQ(CountColour(creating, 0x000000), 2 * 17);

    scene.Click({{40, 20}});  // centre (40, 40), radius 20: window box (20, 20)-(60, 60)
    QImage finished = paint();
    for (QPoint black : {QPoint(20, 40), QPoint(60, 40), QPoint(40, 20), QPoint(40, 60), QPoint(45, 40)})
        EXPECT_EQ(PixelAt(finished, black.x(), black.y()), 0x000000u) << black.x() << "," << black.y();
    for (QPoint white : {QPoint(35, 40), QPoint(40, 30), QPoint(61, 40), QPoint(20, 20)})
        EXPECT_EQ(PixelAt(finished, white.x(), white.y()), 0xFFFFFFu) << white.x() << "," << white.y();
}

TEST(ThreePointCircle, RecordComesBackByteForByte)
{
    RoundTestScene scene;
    CQvGObject* circle = scene.Draw(SHAPE_3POINT_CIRCLE, {{100, 50}, {120, 90}, {80, 90}}, CAL_AREA);
    PrepareForWriting(scene.container, circle);
    for (float version : {1.3f, 1.5f}) {
        ObjPtr copy(RoundTrip(scene.container, circle, version));
        ASSERT_TRUE(copy);
        EXPECT_EQ(RoundTestScene::Points(copy.get()), RoundTestScene::Points(circle));
        EXPECT_EQ(copy->GetLabelCount(), 3);
        EXPECT_EQ(RoundTestScene::Value(copy.get(), CAL_AREA), RoundTestScene::Value(circle, CAL_AREA));
    }
}
