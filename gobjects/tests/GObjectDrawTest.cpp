#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/shapes/CQvGObjectLabel.h"
#include "gobjects/Edition.h"
#include "TestGObject.h"

#include "testing/RenderCheck.h"
#include "gdi/CRecordingDC.h"

#include <gtest/gtest.h>

namespace {

// A label stand-in that notes how the owner paints it.
class LabelProbe : public TestGObject
{
public:
    LabelProbe() : TestGObject(SHAPE_LABEL, GOTYPE_TEXT) { SetPoints({{100, 100}, {120, 110}}); }
    void DrawShape(CDC*, const CPoint*, const float*, int flag) override
    {
        ++paints;
        lastDrawFlag = flag;
        markDuringPaint = m_container->GetDisplayMark();
    }
    void DrawSelection(CDC*, const CPoint*, const float*) override { ++frames; }

    int paints = 0;
    int frames = 0;
    int markDuringPaint = -1;
};

struct Scene
{
    CQvGObjectContainer container;
    TestGObject obj;
    LabelProbe* label = new LabelProbe;  // owned by obj
    CPoint origin{0, 0};
    float ratio = 1.0f;

    Scene()
    {
        obj.SetContainer(&container);
        obj.SetPoints({{10, 10}, {40, 10}});
        label->SetContainer(&container);
        obj.AddLabel(label);
    }
    void Draw(CDC& dc, int flag = 0) { obj.Draw(&dc, &origin, &ratio, flag); }
};

}  // namespace

TEST(GObjectDraw, ObjectWithoutPointsPaintsNothingNotEvenItsLabel)
{
    Scene s;
    s.obj.SetPoints({});
    CRecordingDC dc;
    s.Draw(dc);
    EXPECT_TRUE(dc.Calls().empty());
    EXPECT_EQ(s.obj.shapeDraws, 0);
    EXPECT_EQ(s.label->paints, 0);
}

TEST(GObjectDraw, LabelIsPaintedAfterTheShapeWhenNamesOrValuesAreShown)
{
    struct Case
    {
        OBJ_SHAPE shape;
        int displayName;
        int displayData;
        int labelPaints;
    };
    const Case cases[] = {
        {SHAPE_LINE, 0, 1, 1},
        {SHAPE_LINE, 1, 0, 1},
        {SHAPE_LINE, 0, 0, 0},
        {SHAPE_PERPENDICULAR, 1, 1, 0},  // paints its own labels
        {SHAPE_DAS, 1, 1, 0},
    };
    for (const Case& c : cases) {
        Scene s;
        s.obj.SetObjShape(c.shape);
        s.container.SetDisplayName(c.displayName);
        s.container.SetDisplayData(c.displayData);
        CRecordingDC dc;
        s.Draw(dc, 1);
        EXPECT_EQ(s.obj.shapeDraws, 1) << c.shape;
        EXPECT_EQ(s.obj.lastDrawFlag, 1);
        EXPECT_EQ(s.label->paints, c.labelPaints) << c.shape << " " << c.displayName << c.displayData;
        if (c.labelPaints) {
            EXPECT_EQ(s.label->lastDrawFlag, 1);
        }
    }
}

TEST(GObjectDraw, LabelsOfMilsAndPositionsPaintWithoutTouchingTheContainersUnitMark)
{
    for (const int32_t quantity : {CAL_LENGTH, CAL_CIRCULAR_MIL, CAL_POSITION_START, CAL_POSITION_CENTER,
                                   CAL_POSITION_END}) {
        Scene s;
        s.obj.SetDispType(quantity);
        CRecordingDC dc;
        s.Draw(dc);
        EXPECT_EQ(s.label->markDuringPaint, 1) << quantity;
        EXPECT_EQ(s.container.GetDisplayMark(), 1) << quantity;
    }
}

TEST(GObjectDraw, LabelFrameShowsWhenTheLabelWasHit)
{
    Scene s;
    CRecordingDC dc;
    s.Draw(dc);
    EXPECT_EQ(s.label->frames, 0);
    ASSERT_TRUE(s.obj.IsSelected(CPoint(110, 105)));
    ASSERT_EQ(s.obj.GetLabelHit(), 1);
    s.Draw(dc);
    EXPECT_EQ(s.label->frames, 1);
}

TEST(GObjectDraw, OwnerHandsItsValueLabelFillAndQuantityFlags)
{
    struct Case
    {
        int32_t quantity;
        int area, angle, curvature;
    };
    const Case cases[] = {
        {CAL_LENGTH, 0, 0, 0}, {CAL_AREA, 1, 0, 0},      {CAL_ANGLE, 0, 1, 0},
        {CAL_X_ANGLE, 0, 1, 0}, {CAL_Y_ANGLE, 0, 1, 0}, {CAL_CURVATURE, 0, 0, 1},
    };
    for (const Case& c : cases) {
        CQvGObjectContainer container;
        TestGObject obj;
        obj.SetContainer(&container);
        obj.SetPoints({{10, 10}, {40, 10}});
        obj.GetProperty().SetFillPattern(2);
        obj.GetProperty().SetFillColor(0x123456);
        auto* label = dynamic_cast<CQvGObjectLabel*>(obj.AddLabelObject(CPoint(100, 100)));
        ASSERT_NE(label, nullptr);
        obj.SetDispType(c.quantity);
        CRecordingDC dc;
        const CPoint origin(0, 0);
        const float ratio = 1.0f;
        obj.Draw(&dc, &origin, &ratio, 0);
        EXPECT_EQ(label->GetAreaFlag(), c.area) << c.quantity;
        EXPECT_EQ(label->GetAngleFlag(), c.angle) << c.quantity;
        EXPECT_EQ(label->GetCurvatureFlag(), c.curvature) << c.quantity;
        EXPECT_EQ(label->GetProperty().GetFillPattern(), 0);
        EXPECT_EQ(label->GetProperty().GetFillColor(), 0x123456u);
    }
}

TEST(GObjectDraw, FrameSelectsThePropertysPenAndRestoresTheContext)
{
    Scene s;
    s.obj.GetProperty().SetLineColor(0x0000FF);
    s.obj.GetProperty().SetLineWeight(1);
    QImage surface = testing_support::BlankSurface(60, 30);
    CDC dc(surface);
    CPen* penBefore = dc.GetCurrentPen();
    s.container.SetDisplayData(0);
    s.Draw(dc);
    EXPECT_EQ(testing_support::PixelAt(surface, 20, 10), 0xFF0000u);  // COLORREF 0x0000FF is red
    EXPECT_EQ(dc.GetCurrentPen(), penBefore);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
}

TEST(GObjectDraw, GripsAreYellowInEditionOneAndInvertedElsewhere)
{
    const OEM_PRODUCT saved = g_OEMProduct;
    for (OEM_PRODUCT edition : {1, 6}) {
        SetOEMProduct(edition);
        TestGObject obj;
        obj.SetPoints({{10, 10}, {30.4, 20.6}});
        QImage surface = testing_support::BlankSurface(50, 40);
        CDC dc(surface);
        const CPoint origin(0, 0);
        const float ratio = 1.0f;
        obj.DrawSelection(&dc, &origin, &ratio);
        const QRgb grip = edition == 1 ? 0xFFFF00 : 0x000000;
        EXPECT_EQ(testing_support::CountColour(surface, grip, QRect(6, 6, 8, 8)), 64) << edition;
        EXPECT_EQ(testing_support::CountColour(surface, grip, QRect(26, 17, 8, 8)), 64) << edition;
        EXPECT_EQ(testing_support::CountColour(surface, grip), 128) << edition;
    }
    SetOEMProduct(saved);
}

TEST(GObjectDraw, FontHeightFollowsTheZoomWithinBounds)
{
    const float one = 1.0f, tiny = 0.03f, two = 2.0f;
    struct Case
    {
        int32_t height;
        const float* ratio;
        int32_t expected;
    };
    const Case cases[] = {
        {-13, &one, -12},  // trunc(-12.5): the mapping's rounding, toward zero
        {-13, &tiny, 0},   {-13, &two, -25}, {-13, nullptr, -13},
        {INT32_MAX, &two, 4096}, {INT32_MIN, &two, -4096}, {INT32_MIN, nullptr, -4096},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CQvGObject::ScaleFontHeight(c.height, c.ratio), c.expected) << c.height;

    Scene s;  // a damaged font height paints without overflowing
    LOGFONTA font = s.obj.GetProperty().GetFont();
    font.lfHeight = INT32_MAX;
    s.obj.GetProperty().SetFont(font);
    s.ratio = 3.0f;
    CRecordingDC dc;
    s.Draw(dc);
    EXPECT_EQ(s.obj.shapeDraws, 1);
}

TEST(GObjectDraw, WindowMappingKeepsFarPointsOnTheirSide)
{
    struct Case
    {
        double v;
        int origin;
        float ratio;
        int expected;
    };
    const Case cases[] = {
        {10.0, 5, 2.0f, 25},
        {-10.0, 0, 1.0f, -9},  // trunc(v + 0.5) rounds negative halves up
        {1.0e7, 0, 1.0e3f, 1 << 30},
        {-1.0e7, 100, 1.0e30f, -(1 << 30) + 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CQvGObject::MapToWindow(c.v, c.origin, c.ratio), c.expected) << c.v << " x " << c.ratio;
}
