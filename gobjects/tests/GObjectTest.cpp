#include "gobjects/CQvGObjectContainer.h"
#include "TestGObject.h"

#include "ui/MessageBox.h"

#include <gtest/gtest.h>

TEST(GObject, StartsIdleAsAMeasurementLineWithNothingSelected)
{
    TestGObject obj;
    obj.Initialize();
    EXPECT_EQ(obj.GetObjShape(), SHAPE_LINE);
    EXPECT_EQ(obj.GetState(), GS_IDLE);
    EXPECT_EQ(obj.GetGOType(), GOTYPE_MEASURE);
    EXPECT_EQ(obj.GetSelectedHandle(), -2);
    EXPECT_EQ(obj.GetPointCount(), 0);
    EXPECT_EQ(obj.GetContainer(), nullptr);
    EXPECT_EQ(obj.GetLabelObject(), nullptr);
    EXPECT_FALSE(obj.IsAnnotation());
    EXPECT_EQ(obj.GetProperty(), CQvGObjectProperty());
}

TEST(GObject, AnnotationsCarryingMeasurementCodesGetTheirAnnotationCodes)
{
    struct Case
    {
        int shape;
        QVGO_TYPE kind;
        int expected;
    };
    const Case cases[] = {
        {0, GOTYPE_POINT, 30},   {1, GOTYPE_LINE, 31},      {2, GOTYPE_RECT, 32},    {3, GOTYPE_CIRCLE, 34},
        {5, GOTYPE_ELLIPSE, 35}, {6, GOTYPE_POLYLINE, 36},  {7, GOTYPE_POLYGON, 37},
        {4, GOTYPE_CIRCLE_FROM_CENTER, 4},  // not in the list: unchanged
        {8, GOTYPE_LINE, 8},     {31, GOTYPE_LINE, 31},
        {1, GOTYPE_MEASURE, 1},  {1, GOTYPE_MEASURE_ALT, 1},  // measurements keep their code
    };
    for (const Case& c : cases) {
        TestGObject obj(static_cast<OBJ_SHAPE>(c.shape), c.kind);
        obj.NormalizeAnnotationShape();
        EXPECT_EQ(obj.GetObjShape(), c.expected) << "shape " << c.shape << " kind " << c.kind;
    }
}

TEST(GObject, RemoveAllDeletesTheObjectAndItsLabels)
{
    int deletions = 0;
    auto* owner = new TestGObject(SHAPE_LINE, GOTYPE_MEASURE, &deletions);
    auto* label = new TestGObject(SHAPE_LABEL, GOTYPE_MEASURE, &deletions);
    label->AddLabel(new TestGObject(SHAPE_LABEL, GOTYPE_MEASURE, &deletions));
    owner->AddLabel(label);
    owner->AddLabel(new TestGObject(SHAPE_LABEL, GOTYPE_MEASURE, &deletions));
    EXPECT_EQ(owner->GetLabelObject(), label);
    EXPECT_EQ(owner->GetLabelCount(), 2);

    owner->RemoveAll();
    EXPECT_EQ(deletions, 4);
}

TEST(GObject, AssignmentCopiesPointsAndAttributesButNotLabels)
{
    int deletions = 0;
    TestGObject source(SHAPE_ANNO_RECT, GOTYPE_RECT);
    source.SetPoints({{1.5, 2.5}, {3.0, 4.0}});
    source.SetState(GS_FINISHED);
    source.SetDispType(CAL_AREA);
    source.GetProperty().SetName("box");
    source.AddLabel(new TestGObject(SHAPE_LABEL, GOTYPE_MEASURE, &deletions));

    TestGObject copy;
    copy = source;
    EXPECT_EQ(copy.GetObjShape(), SHAPE_ANNO_RECT);
    EXPECT_EQ(copy.GetGOType(), GOTYPE_RECT);
    EXPECT_EQ(copy.GetState(), GS_FINISHED);
    EXPECT_EQ(copy.GetDispType(), CAL_AREA);
    EXPECT_EQ(copy.GetProperty().GetName(), "box");
    ASSERT_EQ(copy.GetPointCount(), 2);
    EXPECT_NE(copy.GetPoint(), source.GetPoint());
    EXPECT_EQ(copy.GetPoint()[1], (_RPOINT{3.0, 4.0}));
    EXPECT_EQ(copy.GetLabelCount(), 0);

    source.RemoveNestedObjs();
    EXPECT_EQ(deletions, 1);
}

TEST(GObject, ApplyRatioMapsRectanglesLikeEveryPoint)
{
    struct Case
    {
        CRect image;
        CPoint origin;
        float ratio;
        CRect window;
    };
    const Case cases[] = {
        {{10, 20, 30, 40}, {0, 0}, 1.0f, {10, 20, 30, 40}},
        {{10, 20, 30, 40}, {5, -7}, 2.0f, {25, 33, 65, 73}},
        {{1, 1, 3, 3}, {0, 0}, 0.25f, {0, 0, 1, 1}},      // 0.25 + 0.5 truncates to 0, 0.75 + 0.5 to 1
        {{-3, -3, 0, 0}, {0, 0}, 0.5f, {-1, -1, 0, 0}},  // toward zero: -1.5 + 0.5 gives -1
    };
    for (const Case& c : cases) {
        CRect r = c.image;
        CQvGObject::ApplyRatio(r, c.origin, c.ratio);
        EXPECT_EQ(r, c.window) << c.ratio;
    }
}

TEST(GObject, OwnPropertySheetRunsThroughTheContainer)
{
    TestGObject obj;
    EXPECT_EQ(obj.SpecificProperty(nullptr), 0);  // no container, no sheet

    CQvGObjectContainer container;
    obj.SetContainer(&container);
    int runs = 0;
    CQvGObject* seenObject = nullptr;
    int answer = IDOK;
    container.SetPropertySheetRunner([&](const GObjectSheetRequest& request) {
        ++runs;
        seenObject = request.object;
        EXPECT_EQ(request.property, &obj.GetProperty());
        EXPECT_EQ(request.container, &container);
        return answer;
    });
    EXPECT_EQ(obj.SpecificProperty(nullptr), 1);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(seenObject, &obj);
    answer = IDCANCEL;
    EXPECT_EQ(obj.SpecificProperty(nullptr), 0);
    EXPECT_EQ(obj.SpecificNoProperty(nullptr), 1);
}
