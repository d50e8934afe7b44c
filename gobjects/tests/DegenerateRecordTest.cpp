// Every shape read from a stream whose points are too few, coincident, collinear or far out must paint, hit-test,
// format its values, move and be written again without a crash, an undefined operation or a NaN in its values.
#include "EveryShapeClicks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct PointSet
{
    const char* what;
    std::vector<_RPOINT> points;
};

const std::vector<PointSet>& DegeneratePointSets()
{
    static const std::vector<PointSet> sets = {
        {"none", {}},
        {"one", {{40, 40}}},
        {"two coincident", {{40, 40}, {40, 40}}},
        {"three coincident", {{40, 40}, {40, 40}, {40, 40}}},
        {"six coincident", std::vector<_RPOINT>(6, _RPOINT{40, 40})},
        {"three collinear", {{10, 10}, {30, 30}, {50, 50}}},
        {"four collinear", {{10, 40}, {30, 40}, {50, 40}, {70, 40}}},
        {"six collinear", {{10, 10}, {20, 20}, {30, 30}, {40, 40}, {50, 50}, {60, 60}}},
        {"far out", {{-1.0e6, 1.0e6}, {1.0e6, -1.0e6}, {1.0e6, 1.0e6}, {-1.0e6, -1.0e6}}},
    };
    return sets;
}


}  // namespace

TEST(DegenerateRecord, EveryShapeSurvivesPaintHitValuesMoveAndWrite)
{
    // The automatic tools need an image to be drawn, so they are not among the clicked shapes; read, they are
    // shapes like the others.
    std::vector<OBJ_SHAPE> shapes = {SHAPE_AUTO_LINE, SHAPE_AUTO_CIRCLE, SHAPE_AUTO_ARC, SHAPE_AUTO_ANGLE};
    for (const ShapeClicks& every : EveryShape())
        shapes.push_back(every.shape);
    for (const OBJ_SHAPE shape : shapes) {
        for (const PointSet& set : DegeneratePointSets()) {
            SCOPED_TRACE(std::to_string(shape) + " with " + set.what);
            MarkerScene scene;
            TempStream in(OverlayWithOneRecord(shape, set.points));
            ASSERT_EQ(scene.container.Read(in.file()), 1);
            ASSERT_EQ(scene.container.GetMainObjList().size(), 1u);
            CQvGObject* obj = scene.container.GetMainObjList().front();

            scene.Paint();
            scene.Paint(4.0f);
            for (CPoint p : {CPoint(40, 40), CPoint(30, 30), CPoint(0, 0), CPoint(199, 149)})
                scene.Pick(p);
            scene.container.SelectObjects(CRect(0, 0, 200, 150), 0);
            scene.container.Draw(scene.dc.get(), 2);
            for (int32_t bit = 1; bit != 0 && bit <= 0x8000; bit <<= 1) {
                tagCAL_DATA data;
                data.kind = bit;
                const std::string text = obj->GetDataString(data, 0);
                EXPECT_EQ(text.find("nan"), std::string::npos) << bit << " " << text;
                EXPECT_EQ(text.find("inf"), std::string::npos) << bit << " " << text;
            }
            obj->GetMBR();
            obj->GetHandle(CRect(36, 36, 44, 44));
            obj->MoveTo(CSize(3, -2));
            scene.Paint();
            scene.Stream();
        }
    }
}
