#include "gobjects/CQvGObjectContainer.h"
#include "TestGObject.h"

#include <gtest/gtest.h>

namespace {

// A measurement over the box (10,10)-(20,20) with its value label centred on (100,100).
struct LabelledObject
{
    CQvGObjectContainer container;
    TestGObject obj;

    explicit LabelledObject(QVGO_TYPE kind = GOTYPE_MEASURE)
    {
        obj.SetGOType(kind);
        obj.SetContainer(&container);
        obj.SetPoints({{10, 10}, {20, 20}});
        obj.GetProperty().SetName("Line-1");
        obj.AddLabelObject(CPoint(100, 100));
    }
};

}  // namespace

TEST(GObjectHit, MeasurementIsHitThroughItsRegionOrItsLabel)
{
    LabelledObject m;
    EXPECT_TRUE(m.obj.IsSelected(CPoint(15, 15)));
    EXPECT_EQ(m.obj.GetLabelHit(), 0);
    EXPECT_TRUE(m.obj.IsSelected(CPoint(100, 100)));
    EXPECT_EQ(m.obj.GetLabelHit(), 1);
    EXPECT_TRUE(m.obj.IsSelected(CPoint(15, 15)));
    EXPECT_EQ(m.obj.GetLabelHit(), 0);  // cleared by the next test
    EXPECT_FALSE(m.obj.IsSelected(CPoint(60, 60)));

    EXPECT_TRUE(m.obj.IsSelected(CRect(18, 18, 40, 40)));
    EXPECT_EQ(m.obj.GetLabelHit(), 0);
    EXPECT_TRUE(m.obj.IsSelected(CRect(95, 95, 105, 105)));
    EXPECT_EQ(m.obj.GetLabelHit(), 1);
    EXPECT_FALSE(m.obj.IsSelected(CRect(40, 40, 60, 60)));
    EXPECT_EQ(m.obj.GetLabelHit(), 0);
}

TEST(GObjectHit, ShapesPaintingTheirOwnValuesAreNotHitThroughTheUnpaintedLabel)
{
    for (OBJ_SHAPE shape : {SHAPE_PERPENDICULAR, SHAPE_DAS}) {
        LabelledObject m;
        m.obj.SetObjShape(shape);
        EXPECT_FALSE(m.obj.IsSelected(CPoint(100, 100))) << shape;
        EXPECT_FALSE(m.obj.IsSelected(CRect(95, 95, 105, 105))) << shape;
        EXPECT_EQ(m.obj.GetLabelHit(), 0);
        EXPECT_TRUE(m.obj.IsSelected(CPoint(15, 15))) << shape;
    }
}

TEST(GObjectHit, AnnotationIsHitByAPointOnlyThroughSubObjectsAfterTheFirst)
{
    LabelledObject a(GOTYPE_LINE);
    EXPECT_FALSE(a.obj.IsSelected(CPoint(15, 15)));    // its own region does not count for a point
    EXPECT_FALSE(a.obj.IsSelected(CPoint(100, 100)));  // nor does the first sub-object
    EXPECT_TRUE(a.obj.IsSelected(CRect(12, 12, 14, 14)));  // a rectangle does meet the region

    auto* part = new TestGObject(SHAPE_LINE, GOTYPE_MEASURE);
    part->SetPoints({{50, 50}, {60, 60}});
    a.obj.AddLabel(part);
    EXPECT_TRUE(a.obj.IsSelected(CPoint(55, 55)));
    EXPECT_TRUE(a.obj.IsSelected(CRect(58, 58, 70, 70)));
    EXPECT_EQ(a.obj.GetLabelHit(), 0);
}

TEST(GObjectHit, ObjectWithoutARegionIsNeverHit)
{
    CQvGObjectContainer container;
    TestGObject obj;
    obj.SetContainer(&container);
    obj.AddLabelObject(CPoint(100, 100));
    EXPECT_FALSE(obj.IsSelected(CPoint(100, 100)));
    EXPECT_FALSE(obj.IsSelected(CRect(90, 90, 110, 110)));
}

TEST(GObjectHit, InvalidateRectCoversTheLabelOfAMeasurementOnly)
{
    LabelledObject m;
    const CRect label = m.obj.GetLabelObject()->GetMBR();
    CRect expected(10, 10, 20, 20);
    expected.UnionRect(expected, label);
    expected.InflateRect(8);
    EXPECT_EQ(m.obj.GetInvalidateRect(), expected);

    m.obj.SetGOType(GOTYPE_LINE);
    EXPECT_EQ(m.obj.GetInvalidateRect(), CRect(2, 2, 28, 28));
}
