#include "gobjects/CQvGObjectPropertyTotal.h"
#include "gobjects/Edition.h"

#include "TestGObject.h"

#include <gtest/gtest.h>

namespace {

// Line colours that tell the attribute sets apart.
constexpr COLORREF kMeasureColor = 0x000001;
constexpr COLORREF kScaleMarkerColor = 0x000100;
constexpr COLORREF AnnotationColor(int index) { return 0x000010 + index; }
constexpr COLORREF kUntouched = 0xABCDEF;

// A set whose every attribute set has its own line colour.
CQvGObjectPropertyTotal MarkedSet()
{
    CQvGObjectPropertyTotal set;
    set.SetLineColor(kMeasureColor, SHAPE_LINE);
    for (int i = 0; i < 10; ++i)
        set.SetLineColor(AnnotationColor(i), static_cast<OBJ_SHAPE>(SHAPE_ANNO_POINT + i));
    set.SetLineColor(kScaleMarkerColor, SHAPE_SCALE_MARKER);
    return set;
}

class EditionGuard
{
public:
    explicit EditionGuard(OEM_PRODUCT edition) : m_old(g_OEMProduct) { SetOEMProduct(edition); }
    ~EditionGuard() { SetOEMProduct(m_old); }

private:
    OEM_PRODUCT m_old;
};

}  // namespace

TEST(PropertyTotal, AttributeSetOfAShapeCode)
{
    const CQvGObjectPropertyTotal set = MarkedSet();
    const struct
    {
        int shape;
        COLORREF color;
    } cases[] = {
        {0, kMeasureColor},  {29, kMeasureColor},       {43, kMeasureColor},          {-1, kMeasureColor},
        {30, AnnotationColor(0)}, {33, AnnotationColor(3)}, {38, AnnotationColor(8)}, {39, AnnotationColor(9)},
        {40, kScaleMarkerColor},  {42, kScaleMarkerColor},  {44, kMeasureColor},
    };
    for (const auto& c : cases)
        EXPECT_EQ(set.GetLineColor(static_cast<OBJ_SHAPE>(c.shape)), c.color) << c.shape;
}

TEST(PropertyTotal, ObjectGetsTheDefaultsOfItsShape)
{
    CQvGObjectPropertyTotal set = MarkedSet();
    set.SetTextLineShown(1);
    set.SetTargetGap(33.0f);

    const struct
    {
        int shape;
        QVGO_TYPE kind;
        int result;
        int finalShape;
        COLORREF color;
        int32_t dispType;  // -1: left as it was
        bool hook;
    } cases[] = {
        {1, GOTYPE_MEASURE, 1, 1, kMeasureColor, CAL_LENGTH, false},
        {24, GOTYPE_MEASURE, 1, 24, kMeasureColor, CAL_LENGTH, false},
        {28, GOTYPE_MEASURE, 1, 28, kMeasureColor, CAL_POSITION_CENTER, false},
        {5, GOTYPE_MEASURE_ALT, 1, 5, kMeasureColor, CAL_MAX_RADIUS, false},
        {12, GOTYPE_MEASURE, 1, 12, kMeasureColor, CAL_LENGTH, false},
        {43, GOTYPE_MEASURE, 1, 43, kMeasureColor, CAL_CURVATURE, false},
        {10, GOTYPE_MEASURE, 1, 10, kMeasureColor, CAL_POSITION_CENTER, true},
        {19, GOTYPE_MEASURE, 1, 19, kMeasureColor, CAL_ANGLE, true},
        {20, GOTYPE_MEASURE, 1, 20, kMeasureColor, CAL_ANGLE, true},
        {27, GOTYPE_MEASURE, 1, 27, kMeasureColor, CAL_ANGLE, false},
        {26, GOTYPE_MEASURE, 1, 26, kMeasureColor, CAL_MAX_RADIUS, false},
        // No defaults of their own: measurement attributes, nothing else.
        {8, GOTYPE_MEASURE, 0, 8, kMeasureColor, -1, false},
        {18, GOTYPE_MEASURE, 0, 18, kMeasureColor, -1, false},
        {22, GOTYPE_MEASURE, 0, 22, kMeasureColor, -1, false},
        {23, GOTYPE_MEASURE, 0, 23, kMeasureColor, -1, false},
        {29, GOTYPE_MEASURE, 0, 29, kMeasureColor, -1, false},
        {44, GOTYPE_MEASURE, 0, 44, kUntouched, -1, false},
        // Annotations, their codes normalised first.
        {31, GOTYPE_LINE, 1, 31, AnnotationColor(1), -1, false},
        {1, GOTYPE_LINE, 1, 31, AnnotationColor(1), -1, false},
        {3, GOTYPE_CIRCLE, 1, 34, AnnotationColor(4), -1, false},
        {33, GOTYPE_CIRCLE, 1, 33, AnnotationColor(3), -1, false},
        {37, GOTYPE_POLYGON, 1, 37, AnnotationColor(7), -1, false},
        {38, GOTYPE_TEXT, 1, 38, AnnotationColor(8), -1, true},
        {39, GOTYPE_IMAGE, 1, 39, AnnotationColor(9), -1, true},
        {41, GOTYPE_IMAGE, 1, 41, AnnotationColor(9), -1, true},
        {42, GOTYPE_SCALE_MARKER, 1, 42, kScaleMarkerColor, -1, true},
    };
    for (const auto& c : cases) {
        TestGObject obj(static_cast<OBJ_SHAPE>(c.shape), c.kind);
        obj.GetProperty().SetLineColor(kUntouched);
        obj.GetProperty().SetName("mine");
        obj.SetDispType(-1);
        EXPECT_EQ(set.GetProperty(&obj, obj.GetObjShape()), c.result) << c.shape;
        EXPECT_EQ(obj.GetObjShape(), c.finalShape) << c.shape;
        EXPECT_EQ(obj.GetProperty().GetLineColor(), c.color) << c.shape;
        EXPECT_EQ(obj.GetProperty().GetName(), "mine") << c.shape;
        EXPECT_EQ(obj.GetDispType(), c.dispType) << c.shape;
        EXPECT_EQ(obj.loads, c.hook ? 1 : 0) << c.shape;
        EXPECT_EQ(obj.gap, c.hook ? 33.0f : 0.0f) << c.shape;
    }
}

TEST(PropertyTotal, TextTakesItsOutlineFromTheLineShownSetting)
{
    for (int shown : {0, 1}) {
        CQvGObjectPropertyTotal set;
        set.SetTextLineShown(shown);
        TestGObject text(SHAPE_TEXT, GOTYPE_TEXT);
        set.GetProperty(&text, SHAPE_TEXT);
        EXPECT_EQ(text.GetProperty().IsShowLine(), shown);

        text.GetProperty().ShowLine(shown ? 0 : 1);
        set.SetProperty(&text, SHAPE_TEXT);
        EXPECT_EQ(set.GetTextLineShown(), shown ? 0 : 1);
    }
}

TEST(PropertyTotal, ObjectAttributesBecomeTheDefaultsOfItsShape)
{
    const struct
    {
        int shape;
        QVGO_TYPE kind;
        int result;
        int setShape;      // whose attribute set takes the colour; -1 none
        int dispShape;     // whose displayed quantity takes the object's; -1 none
        bool hook;
    } cases[] = {
        {1, GOTYPE_MEASURE, 1, 1, 1, false},
        {21, GOTYPE_MEASURE, 1, 1, 25, false},  // 3PointCircle shares its slot with AutoCircle
        {43, GOTYPE_MEASURE, 1, 1, 43, false},
        {18, GOTYPE_MEASURE, 1, 1, 18, false},  // the Das keeps its own slot
        {10, GOTYPE_MEASURE, 1, 1, 10, true},
        {19, GOTYPE_MEASURE, 1, 1, 19, true},
        {8, GOTYPE_MEASURE, 0, 1, -1, false},
        {2, GOTYPE_RECT, 1, 32, -1, false},
        {36, GOTYPE_POLYLINE, 1, 36, -1, false},
        {39, GOTYPE_IMAGE, 1, 39, -1, true},
        {42, GOTYPE_SCALE_MARKER, 1, 42, -1, true},
        {44, GOTYPE_MEASURE, 0, -1, -1, false},
    };
    for (const auto& c : cases) {
        CQvGObjectPropertyTotal set = MarkedSet();
        const CQvGObjectPropertyTotal before = set;
        TestGObject obj(static_cast<OBJ_SHAPE>(c.shape), c.kind);
        obj.GetProperty().SetLineColor(kUntouched);
        obj.SetDispType(CAL_DIAMETER);
        obj.gap = 44.0f;

        EXPECT_EQ(set.SetProperty(&obj, obj.GetObjShape()), c.result) << c.shape;
        for (int shape : {1, 30, 31, 32, 36, 38, 39, 42}) {
            const COLORREF expected = shape == c.setShape ? kUntouched : before.GetLineColor(OBJ_SHAPE(shape));
            EXPECT_EQ(set.GetLineColor(OBJ_SHAPE(shape)), expected) << c.shape << " into " << shape;
        }
        for (int shape : {1, 10, 18, 19, 25, 43}) {
            const int32_t expected = shape == c.dispShape ? CAL_DIAMETER : before.GetDispType(OBJ_SHAPE(shape));
            EXPECT_EQ(set.GetDispType(OBJ_SHAPE(shape)), expected) << c.shape << " into " << shape;
        }
        EXPECT_EQ(obj.stores, c.hook ? 1 : 0) << c.shape;
        EXPECT_EQ(set.GetTargetGap(), c.hook ? 44.0f : 20.0f) << c.shape;
    }
}

TEST(PropertyTotal, AttributesOfAnObjectKind)
{
    const struct
    {
        QVGO_TYPE kind;
        int result;
        int shape;  // whose set changes
    } cases[] = {
        {GOTYPE_MEASURE, 0, -1}, {GOTYPE_MEASURE_ALT, 1, 1},    {GOTYPE_POINT, 1, 30},
        {GOTYPE_TEXT, 1, 38},    {GOTYPE_IMAGE, 1, 39},         {GOTYPE_SCALE_MARKER, 1, 42},
        {QVGO_TYPE(13), 0, -1},
    };
    CQvGObjectProperty prop;
    prop.SetLineColor(kUntouched);
    prop.SetName("not copied");
    for (const auto& c : cases) {
        CQvGObjectPropertyTotal set = MarkedSet();
        const CQvGObjectPropertyTotal before = set;
        EXPECT_EQ(set.SetProperty(c.kind, &prop), c.result) << c.kind;
        for (int shape : {1, 30, 38, 39, 42}) {
            const COLORREF expected = shape == c.shape ? kUntouched : before.GetLineColor(OBJ_SHAPE(shape));
            EXPECT_EQ(set.GetLineColor(OBJ_SHAPE(shape)), expected) << c.kind << " into " << shape;
            EXPECT_EQ(set.GetProperty(OBJ_SHAPE(shape)).GetName(), "");
        }
    }
}

TEST(PropertyTotal, HorizontalAndVerticalToolsShowHeightAndWidthInEditionOne)
{
    const struct
    {
        OEM_PRODUCT edition;
        int32_t hline, vline, hlineP2P, vlineP2P;
    } cases[] = {
        {1, CAL_HEIGHT, CAL_WIDTH, CAL_WIDTH, CAL_HEIGHT},
        {6, CAL_LENGTH, CAL_LENGTH, CAL_LENGTH, CAL_LENGTH},
        {0, CAL_LENGTH, CAL_LENGTH, CAL_LENGTH, CAL_LENGTH},
    };
    for (const auto& c : cases) {
        EditionGuard edition(c.edition);
        CQvGObjectPropertyTotal set;
        EXPECT_EQ(set.GetDispType(SHAPE_HLINE), c.hline) << c.edition;
        EXPECT_EQ(set.GetDispType(SHAPE_VLINE), c.vline) << c.edition;
        EXPECT_EQ(set.GetDispType(SHAPE_HLINE_POINT_TO_POINT), c.hlineP2P) << c.edition;
        EXPECT_EQ(set.GetDispType(SHAPE_VLINE_POINT_TO_POINT), c.vlineP2P) << c.edition;

        TestGObject hline(SHAPE_HLINE);
        set.GetProperty(&hline, SHAPE_HLINE);
        EXPECT_EQ(hline.GetDispType(), c.hline) << c.edition;
    }
}

TEST(PropertyTotal, ScaleMarkerDefaultsStandOutFromThePlainOnes)
{
    const CQvGObjectPropertyTotal set;
    const CQvGObjectProperty& marker = set.GetProperty(SHAPE_SCALE_MARKER);
    EXPECT_EQ(marker.GetLineColor(), 0xFF0000u);
    EXPECT_EQ(marker.GetFillColor(), 0xFFFFFFu);
    EXPECT_EQ(marker.GetTextColor(), 0x0000FFu);
    EXPECT_TRUE(marker.IsShowFill());
    EXPECT_FALSE(set.GetProperty(SHAPE_LINE).IsShowFill());
}
