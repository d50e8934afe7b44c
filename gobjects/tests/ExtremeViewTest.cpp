// Every shape under every view a stream or a caller can set: zoom ratios from 1e-30 to 1e30, scroll origins at the
// ends of int and canvas sizes no image has. Painting, hit-testing, formatting and moving must stay defined (the
// debug build aborts on any undefined operation) and the values must not change with the view.
#include "EveryShapeClicks.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

struct View
{
    float ratio;
    CPoint origin;
    CSize canvas;
};

std::vector<View> ExtremeViews()
{
    std::vector<View> views;
    for (float ratio : {1e-30f, 64.0f, 1e6f, 1e30f})
        for (CPoint origin : {CPoint(0, 0), CPoint(INT_MAX, INT_MIN), CPoint(INT_MIN, INT_MAX), CPoint(-70, 1 << 30)})
            for (CSize canvas : {CSize(MarkerScene::kWidth, MarkerScene::kHeight), CSize(INT_MIN, INT_MIN),
                                 CSize(INT_MAX, INT_MAX), CSize(65536, 65536)})
                views.push_back(View{ratio, origin, canvas});
    return views;
}

std::string Describe(const View& v)
{
    return "ratio " + std::to_string(v.ratio) + " origin " + std::to_string(v.origin.x) + "," +
           std::to_string(v.origin.y) + " canvas " + std::to_string(v.canvas.cx) + "x" + std::to_string(v.canvas.cy);
}

std::vector<std::string> AllValues(CQvGObject* obj)
{
    std::vector<std::string> values;
    for (int32_t bit = 1; bit != 0 && bit <= 0x8000; bit <<= 1) {
        tagCAL_DATA data;
        data.kind = bit;
        values.push_back(obj->GetDataString(data, 0));
    }
    return values;
}

class EveryShapeAtExtremeViews : public testing::TestWithParam<ShapeClicks>
{
};

}  // namespace

TEST_P(EveryShapeAtExtremeViews, PaintHitFormatAndMoveStayDefined)
{
    std::vector<std::string> values;
    {
        MarkerScene reference;
        CQvGObject* obj = ClickToFinish(reference, GetParam());
        ASSERT_NE(obj, nullptr);
        values = AllValues(obj);
    }
    const CPoint grab = GetParam().clicks.front();

    for (const View& view : ExtremeViews()) {
        SCOPED_TRACE(Describe(view));
        MarkerScene scene;
        scene.container.SetDisplayName(1);
        scene.container.SetDisplayData(1);
        CQvGObject* obj = ClickToFinish(scene, GetParam());
        scene.container.SetRatio(view.ratio);
        scene.container.SetRelative(view.origin);
        scene.container.SetCanvasSize(view.canvas);

        // Painted with and without the selection, as a rubber band, and its repaint box.
        scene.container.SelectionMode(1);
        scene.container.SelectObjects(obj, 0);
        QImage surface = testing_support::BlankSurface(MarkerScene::kWidth, MarkerScene::kHeight);
        CDC dc(surface);
        scene.container.Draw(&dc, -1);
        const CPoint origin = scene.container.GetRelativePoint();
        obj->Draw(&dc, &origin, &view.ratio, 1);
        obj->GetInvalidateRect();

        for (CPoint p : {grab, CPoint(0, 0), CPoint(199, 149)})
            scene.Pick(p);
        EXPECT_EQ(AllValues(obj), values);

        // Dragged by the mouse, which repaints it in an inverting mode on the way.
        scene.Drag(grab, grab + CSize(7, 5));
        scene.container.Draw(&dc, -1);
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, EveryShapeAtExtremeViews, testing::ValuesIn(EveryShape()),
                         [](const testing::TestParamInfo<ShapeClicks>& info) {
                             return "Shape" + std::to_string(info.param.shape);
                         });
