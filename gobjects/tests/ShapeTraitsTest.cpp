// The fixed answers shapes give the container: whether their value shows in the live result box, whether they
// rubber-band in an inverting mode, whether dragging with the button held adds points. -1: the shape's own answer
// is not one of these fixed ones and is tested with the shape.
#include "gobjects/CQvGObject.h"
#include "gobjects/GObjectFactory.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct ShapeDeleter
{
    void operator()(CQvGObject* obj) const { obj->RemoveAll(); }
};

}  // namespace

TEST(ShapeTraits, FixedAnswersPerShape)
{
    struct Case
    {
        OBJ_SHAPE shape;
        int displaysValue;
        int needsRop;
        int dragAddsPoints;
    };
    const Case cases[] = {
        {SHAPE_POINT, 0, 0, -1},         {SHAPE_TARGET, 0, 0, -1},       {SHAPE_CENTER_TO_CENTER, -1, 0, -1},
        {SHAPE_POLYLINE, 0, -1, 1},      {SHAPE_POLYGON, 1, -1, 1},      {SHAPE_Z_INDICATOR, 0, 0, -1},
        {SHAPE_BESTFIT_LINE, -1, 0, -1}, {SHAPE_2LINE_ANGLE, 0, -1, 0},  {SHAPE_3POINT_ANGLE, 0, -1, 0},
        {SHAPE_3POINT_CIRCLE, 1, 0, 0},  {SHAPE_PERPENDICULAR, 0, -1, -1}, {SHAPE_DAS, 0, -1, -1},
        {SHAPE_LINE, 1, 1, 0},           {SHAPE_ELLIPSE, 1, 1, 0},       {SHAPE_PARALLEL, 1, 1, 0},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CQvGObject, ShapeDeleter> obj(CreateGObject(c.shape));
        ASSERT_NE(obj, nullptr) << c.shape;
        if (c.displaysValue >= 0) {
            EXPECT_EQ(obj->IsDisplayValue(), c.displaysValue) << c.shape;
        }
        if (c.needsRop >= 0) {
            EXPECT_EQ(obj->NeedROP(), c.needsRop) << c.shape;
        }
        if (c.dragAddsPoints >= 0) {
            EXPECT_EQ(obj->CanDragAddPoint(), c.dragAddsPoints) << c.shape;
        }
    }
}
