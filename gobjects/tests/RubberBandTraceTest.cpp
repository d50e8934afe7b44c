// What a shape draws in inverting mode while it follows the mouse, being created or having a handle dragged,
// must go again with the next move: the retained surface keeps no trail, whatever the shape.
#include "EveryShapeClicks.h"

#include "testing/RenderCheck.h"
#include "gdi/GdiDefs.h"

#include <gtest/gtest.h>

#include <vector>

using testing_support::CountDifferences;

namespace {

// Where the mouse goes while a shape is created; the small steps of a handle drag, which no constraint of a
// shape (ordered corners) turns into another handle.
const CPoint kWanderings[] = {{150, 130}, {10, 140}, {190, 5}, {37, 61}};
const CSize kSteps[] = {{7, 5}, {-6, 9}, {3, -8}, {1, 1}};

std::vector<_RPOINT> PointsOf(const CQvGObject* obj)
{
    return std::vector<_RPOINT>(obj->GetPoint(), obj->GetPoint() + obj->GetPointCount());
}

}  // namespace

TEST(RubberBandTrace, CreationLeavesOnlyTheCurrentBand)
{
    for (const ShapeClicks& s : EveryShape()) {
        if (s.clicks.size() < 2)
            continue;  // finished by its first click: nothing follows the mouse
        SCOPED_TRACE(s.shape);
        MarkerScene scene;
        const QImage blank = scene.canvas.surface;
        CQvGObject* obj = scene.Click(s.shape, {s.clicks.front()});
        ASSERT_NE(obj, nullptr);
        for (CPoint p : kWanderings)
            scene.container.MouseMove(scene.dc.get(), 0, p);
        // An inverting shape is erased by inverting it once more; any other is drawn as it is, and what the
        // surface shows must be exactly that one drawing.
        const CPoint origin = scene.container.GetRelativePoint();
        const float ratio = scene.container.GetRatio();
        QImage expected = blank;
        if (obj->NeedROP()) {
            scene.dc->SetROP2(R2_NOT);
            obj->Draw(scene.dc.get(), &origin, &ratio, 1);
            scene.dc->SetROP2(R2_COPYPEN);
        } else {
            CDC expectedDc(expected);
            obj->Draw(&expectedDc, &origin, &ratio, 1);
        }
        EXPECT_EQ(CountDifferences(scene.canvas.surface, expected), 0);
        scene.container.KeyDown(27, 1, 0);
    }
}

TEST(RubberBandTrace, HandleDraggedAboutAndBackLeavesTheSurfaceAsItWas)
{
    for (const ShapeClicks& s : EveryShape()) {
        SCOPED_TRACE(s.shape);
        MarkerScene scene;
        CQvGObject* obj = ClickToFinish(scene, s);
        ASSERT_NE(obj, nullptr);
        ASSERT_EQ(obj->GetState(), GS_FINISHED);
        const std::vector<_RPOINT> shapeBefore = PointsOf(obj);
        const QImage before = scene.canvas.surface;
        const CPoint grabbed = s.clicks.front();
        if (scene.Pick(grabbed) != obj)
            continue;  // never hit (the Z indicator): the press starts a selection band instead
        scene.container.SelectionMode(1);
        scene.container.LButtonDown(MarkerScene::kLeftButton, grabbed);
        for (CSize step : kSteps)
            scene.container.MouseMove(scene.dc.get(), MarkerScene::kLeftButton, grabbed + step);
        scene.container.MouseMove(scene.dc.get(), MarkerScene::kLeftButton, grabbed);
        if (PointsOf(obj) != shapeBefore)
            continue;  // a square-keeping drag does not come back to where it started
        EXPECT_EQ(CountDifferences(scene.canvas.surface, before), 0);
        scene.container.LButtonUp(0, grabbed);
    }
}
