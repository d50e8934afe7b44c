// Shapes under extreme input: circles through nearly collinear points, targets far outside the image at high
// zoom, heights that are no number or beyond the stored range, calibrations at the ends of double, and reloaded
// records with a spare point slot.
#include "gobjects/shapes/CQvGObjectZIndicator.h"
#include "MarkerScene.h"

#include "gdi/CRecordingDC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

CQvGObject* ReadOne(MarkerScene& scene, OBJ_SHAPE shape, const std::vector<_RPOINT>& points)
{
    TempStream in(OverlayWithOneRecord(shape, points));
    if (scene.container.Read(in.file()) != 1 || scene.container.GetMainObjList().size() != 1)
        return nullptr;
    return scene.container.GetMainObjList().front();
}

// The scene's overlay written and read into a fresh scene: 1 when it reads back.
int ReadsBack(MarkerScene& scene)
{
    MarkerScene again;
    TempStream in(scene.Stream());
    return again.container.Read(in.file());
}

}  // namespace

TEST(ShapeReview, CirclesThroughNearlyCollinearPointsPaintPickAndRepaintSafely)
{
    // Rim points almost on one line make circles with radii of 5e9 to 1e14 pixels: their boxes reach the ends of
    // int, where the outline's extra pixel, the repaint margin and the DC's box size overflowed.
    const std::vector<_RPOINT> kNear = {{0, 0}, {100000, 1}, {200000, 0}};
    const std::vector<_RPOINT> kFar = {{-9e6, -9e6}, {0, 0}, {9e6, 9e6 - 1}};
    struct Case
    {
        OBJ_SHAPE shape;
        std::vector<_RPOINT> points;
    };
    const Case cases[] = {
        {SHAPE_CENTER_TO_CENTER, {kNear[0], kNear[1], kNear[2], {10, 10}, {20, 10}, {15, 18}}},
        {SHAPE_CENTER_TO_CENTER, {{10, 10}, {20, 10}, {15, 18}, kFar[0], kFar[1], kFar[2]}},
        {SHAPE_3POINT_CIRCLE, kNear},
        {SHAPE_3POINT_CIRCLE, kFar},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape);
        MarkerScene scene;
        CQvGObject* obj = ReadOne(scene, c.shape, c.points);
        ASSERT_NE(obj, nullptr);
        for (float ratio : {1.0f, 0.01f, 64.0f})
            scene.Paint(ratio);
        for (CPoint p : {CPoint(0, 0), CPoint(15, 12), CPoint(199, 149)})
            scene.Pick(p);
        const CRect repaint = obj->GetInvalidateRect();
        EXPECT_LT(repaint.left, repaint.right);
        obj->GetHandle(CRect(0, 0, 200, 150));
        scene.container.SelectObjects(CRect(0, 0, 200, 150), 0);
        scene.container.Draw(scene.dc.get(), 2);
        EXPECT_EQ(ReadsBack(scene), 1);
    }
}

TEST(ShapeReview, TargetFarOutsideTheImagePaintsFewRingsAndStaysInInt)
{
    // Beside the image on an axis, the rings that cannot reach it are skipped (once some 300000 were painted);
    // at a high zoom the far side of a ring lies beyond int.
    struct Case
    {
        _RPOINT point;
        float ratio;
    };
    const Case cases[] = {
        {{1e7, 75}, 1.0f},   {{-1e7, 75}, 1.0f}, {{100, 1e7}, 1.0f}, {{100, -1e7}, 1.0f},
        {{1e7, 75}, 300.0f}, {{1e7, 1e7}, 300.0f}, {{100, 75}, 3000.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.point.x) + "," + std::to_string(c.point.y) + " x" + std::to_string(c.ratio));
        MarkerScene scene;
        scene.calib.SetUnitsPerPixel(1.0);
        ASSERT_NE(ReadOne(scene, SHAPE_TARGET, {c.point}), nullptr);
        CRecordingDC dc;
        scene.container.SetRatio(c.ratio);
        scene.container.Draw(&dc, 2);
        scene.container.SetRatio(1.0f);
        // Rings every 20 pixels: no more reach the 200 x 150 image than its longer side holds.
        const auto rings = std::count_if(dc.Calls().begin(), dc.Calls().end(),
                                         [](const std::string& call) { return call.starts_with("Ellipse("); });
        EXPECT_LE(rings, 200 / 20 + 1);
    }
}

TEST(ShapeReview, ZIndicatorKeepsHeightsAnOverlayCanHoldAndIgnoresNaN)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    struct Case
    {
        double height;
        const char* text;
    };
    const Case cases[] = {
        {std::nan(""), "0.00"},  // a fresh indicator keeps its 0
        {kInf, "10000000.00"},
        {-kInf, "-10000000.00"},
        {3e9, "10000000.00"},
        {-1e300, "-10000000.00"},
        {9999999.5, "9999999.50"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        MarkerScene scene;
        scene.container.AddObject(SHAPE_Z_INDICATOR);
        auto* indicator = dynamic_cast<CQvGObjectZIndicator*>(scene.container.GetCreatingObject());
        ASSERT_NE(indicator, nullptr);
        indicator->SetValue(c.height);
        indicator->Finish();
        scene.container.RepeatCreatingObject(indicator);
        EXPECT_EQ(MarkerScene::Text(indicator, CAL_HEIGHT), c.text);
        indicator->GetInvalidateRect();
        EXPECT_EQ(ReadsBack(scene), 1);

        // A finished one keeps its value on a NaN and takes the bound otherwise.
        indicator->SetValue(12.5);
        indicator->SetValue(c.height);
        EXPECT_EQ(MarkerScene::Text(indicator, CAL_HEIGHT), std::isnan(c.height) ? "12.50" : c.text);
        EXPECT_EQ(ReadsBack(scene), 1);
    }

    // A click as far as an int goes is kept within the same range.
    MarkerScene scene;
    CQvGObject* clicked = scene.Click(SHAPE_Z_INDICATOR, {});
    clicked->AddPoint(CPoint(INT_MAX, INT_MIN));
    scene.container.RepeatCreatingObject(clicked);
    EXPECT_EQ(MarkerScene::Value(clicked, CAL_HEIGHT), 1e7);
    clicked->GetInvalidateRect();
    EXPECT_EQ(ReadsBack(scene), 1);
}

TEST(ShapeReview, CurvatureIsTheSameUnderAnyCalibration)
{
    // Chord (20.4, 80)-(100.7, 80), 20 pixels above it: 24.91 %. A calibration at the ends of double once made
    // it inf / inf, or counted the chord in whole denormal steps.
    for (double unitsPerPixel : {std::numeric_limits<double>::denorm_min(), 1e-320, 1e-300, 0.5, 1e300,
                                 std::numeric_limits<double>::max()}) {
        SCOPED_TRACE(unitsPerPixel);
        MarkerScene scene;
        ASSERT_EQ(scene.calib.SetUnitsPerPixel(unitsPerPixel), 1);
        CQvGObject* curvature = ReadOne(scene, SHAPE_CURVATURE, {{20.4, 80}, {100.7, 80}, {50, 60}});
        ASSERT_NE(curvature, nullptr);
        EXPECT_DOUBLE_EQ(MarkerScene::Value(curvature, CAL_CURVATURE), 2000.0 / 80.3);
        EXPECT_EQ(MarkerScene::Text(curvature, CAL_CURVATURE), "24.91");
    }
}

TEST(ShapeReview, ReloadedCurvatureShowsOnlyItsThreeGrips)
{
    // A record read back keeps a spare slot after its points (a long record more points): they once got grips of
    // their own, the spare one at the image origin.
    const _RPOINT kChordStart{20, 80};
    const _RPOINT kChordEnd{100, 80};
    const _RPOINT kOnCurve{60, 60};
    const std::vector<_RPOINT> records[] = {
        {kChordStart, kChordEnd, kOnCurve},
        {kChordStart, kChordEnd, kOnCurve, {150, 130}, {180, 20}},
    };
    for (const std::vector<_RPOINT>& points : records) {
        SCOPED_TRACE(points.size());
        MarkerScene scene;
        CQvGObject* obj = ReadOne(scene, SHAPE_CURVATURE, points);
        ASSERT_NE(obj, nullptr);
        scene.container.SelectionMode(1);
        scene.container.SelectObjects(obj, 0);
        QImage painted = testing_support::BlankSurface(MarkerScene::kWidth, MarkerScene::kHeight);
        CDC dc(painted);
        scene.container.Draw(&dc, -1);
        for (CPoint grip : {CPoint(20, 80), CPoint(100, 80), CPoint(60, 60)})
            EXPECT_NE(painted.pixel(grip.x + 2, grip.y + 2), 0xFFFFFFFFu) << grip.x << "," << grip.y;
        for (CPoint spare : {CPoint(1, 1), CPoint(151, 131), CPoint(181, 21)})
            EXPECT_EQ(painted.pixel(spare.x, spare.y), 0xFFFFFFFFu) << spare.x << "," << spare.y;
    }
}
