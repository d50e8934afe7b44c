#include "gobjects/CQvGObjectPropertyTotal.h"

#include "DefaultsFixture.h"

#include <gtest/gtest.h>

namespace {

constexpr size_t kMeasureAt = 100;
constexpr size_t kScaleMarkerAt = 1756;
constexpr size_t AnnotationAt(size_t i) { return 268 + 148 * i; }
constexpr size_t AttributeAt(size_t property, int index) { return property + 72 + 4 * static_cast<size_t>(index); }

// The image of a freshly initialised set, written out from the offset table.
Bytes DefaultImage(uint32_t pointerSlots = 0)
{
    Bytes image(1944);
    image.Put32(0, pointerSlots);  // vtable
    const uint32_t dispTypes[23] = {0x1, 0x2000, 0x400, 0x400, 0x400, 0x80, 0x1,    0x400, 0x1,  0x2000, 0x1,   0x1,
                                    0x1, 0x1,    0x1,   0x1,   0x1,   0,    0x10,   0x10,  0x80, 0x80,   0x8000};
    for (size_t i = 0; i < 23; ++i)
        image.Put32(8 + 4 * i, dispTypes[i]);
    PutPropertyImage(image, kMeasureAt, DefaultAttributes(), pointerSlots);
    image.Put32(248, 1);
    image.PutFloat(252, 20.0f);
    image.PutDouble(256, 1.0);
    image.Put32(264, 1);  // target rings
    for (size_t i = 0; i < 10; ++i)
        PutPropertyImage(image, AnnotationAt(i), DefaultAttributes(), pointerSlots);
    image.Put32(1748, 0);
    image.Put32(1752, 100);
    std::array<int32_t, 19> marker = DefaultAttributes();
    marker[kLineColor] = 0xFF0000;
    marker[kFillColor] = 0xFFFFFF;
    marker[kTextColor] = 0x0000FF;
    marker[kFillPattern] = 0;
    PutPropertyImage(image, kScaleMarkerAt, marker, pointerSlots);
    image.Put32(1904, 0xFF0000);
    image.Put32(1908, 3);
    image.PutFloat(1912, 10.0f);
    image.Put32(1916, 0);
    image.Put32(1920, 1);
    const uint32_t tail[5] = {0, 0, 20, 20, 20};
    for (size_t i = 0; i < 5; ++i)
        image.Put32(1924 + 4 * i, tail[i]);
    return image;
}

// Every field away from its default; pointer slots hold garbage.
Bytes ChangedImage()
{
    Bytes image = DefaultImage(0xDEADBEEF);
    image.Put32(4, 7);
    image.Put32(8, 0x4);
    image.Put32(76, 0x8);
    image.Put32(96, 0x1);
    image.Put32(AttributeAt(kMeasureAt, kLineColor), 0x0000AA);
    image.Put32(AttributeAt(kMeasureAt, kReserved3), 55);
    image.Put32(248, 0);
    image.PutFloat(252, 35.5f);
    image.PutDouble(256, 2.5);
    image.Put32(264, 3);
    image.Put32(AttributeAt(AnnotationAt(8), kLineColor), 0x123456);
    image.Put32(1748, 1);
    image.Put32(1752, 40);
    image.Put32(AttributeAt(kScaleMarkerAt, kTextColor), 0x00BB00);
    image.Put32(1904, 0x0000FF);
    image.Put32(1908, 2);
    image.PutFloat(1912, 12.5f);
    image.Put32(1916, 4);
    image.Put32(1920, 0);
    image.Put32(1924, 1);
    image.Put32(1928, 7);
    image.Put32(1940, 60);
    return image;
}

Bytes WithoutPointers(Bytes image)
{
    image.Put32(0, 0);
    for (size_t property : {kMeasureAt, AnnotationAt(0), AnnotationAt(1), AnnotationAt(2), AnnotationAt(3),
                            AnnotationAt(4), AnnotationAt(5), AnnotationAt(6), AnnotationAt(7), AnnotationAt(8),
                            AnnotationAt(9), kScaleMarkerAt})
        for (size_t slot = 0; slot < 3; ++slot)
            image.Put32(property + 4 * slot, 0);
    return image;
}

}  // namespace

TEST(PropertyTotalImage, DefaultSetMatchesTheOffsetTable)
{
    ScopedLanguage language("C");
    const std::vector<uint8_t> image = CQvGObjectPropertyTotal().SaveMemoryImage();
    ASSERT_EQ(image.size(), 1944u);
    EXPECT_EQ(image, DefaultImage().data);
}

TEST(PropertyTotalImage, FixtureReadsBackIntoTheRightFields)
{
    ScopedLanguage language("C");
    const Bytes image = ChangedImage();
    CQvGObjectPropertyTotal set;
    set.GetProperty(SHAPE_LINE).SetName("stale");
    ASSERT_EQ(set.LoadMemoryImage(image.data.data(), image.data.size()), 1);

    EXPECT_EQ(set.GetDispType(SHAPE_LINE), CAL_HEIGHT);
    EXPECT_EQ(set.GetDispType(SHAPE_POINT), CAL_POSITION_CENTER);
    EXPECT_EQ(set.GetDispType(SHAPE_DAS), CAL_DIAGONAL);
    EXPECT_EQ(set.GetDispType(SHAPE_CURVATURE), CAL_LENGTH);
    EXPECT_EQ(set.GetLineColor(SHAPE_LINE), 0x0000AAu);
    EXPECT_EQ(set.GetAngleInnerFlag(), 0);
    EXPECT_EQ(set.GetTargetGap(), 35.5f);
    EXPECT_EQ(set.GetTargetFactor(), 2.5);
    EXPECT_EQ(set.GetTargetFlags(), 3);
    EXPECT_EQ(set.GetLineColor(SHAPE_TEXT), 0x123456u);
    EXPECT_EQ(set.GetTextLineShown(), 1);
    EXPECT_EQ(set.GetImageOpacity(), 40);
    EXPECT_EQ(set.GetTextColor(SHAPE_SCALE_MARKER), 0x00BB00u);
    EXPECT_EQ(set.GetScaleMarkerInt1904(), 0x0000FF);
    EXPECT_EQ(set.GetScaleMarkerInt1908(), 2);
    EXPECT_EQ(set.GetScaleMarkerFloat1912(), 12.5f);
    EXPECT_EQ(set.GetScaleMarkerInt1916(), 4);
    EXPECT_EQ(set.GetScaleMarkerInt1920(), 0);
    const int32_t tail[5] = {1, 7, 20, 20, 60};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(set.GetScaleMarkerInt1924(i), tail[i]) << i;
    for (int shape : {1, 30, 38, 42})
        EXPECT_EQ(set.GetProperty(OBJ_SHAPE(shape)).GetName(), "") << shape;

    // Everything, the reserved ints included, comes back; the pointer slots as zeros.
    EXPECT_EQ(set.SaveMemoryImage(), WithoutPointers(image).data);
}

TEST(PropertyTotalImage, OnlyExactlyTheImageSizeIsAccepted)
{
    const Bytes image = ChangedImage();
    for (size_t size : {size_t{0}, size_t{1943}, size_t{1945}}) {
        std::vector<uint8_t> bytes = image.data;
        bytes.resize(size);
        CQvGObjectPropertyTotal set;
        const CQvGObjectPropertyTotal before = set;
        EXPECT_EQ(set.LoadMemoryImage(bytes.data(), bytes.size()), 0) << size;
        EXPECT_EQ(set, before) << size;
    }
}

TEST(PropertyTotalImage, AssignmentSkipsTheReservedFieldsAndCopyConstructionTakesThem)
{
    ScopedLanguage language("C");
    const Bytes image = ChangedImage();
    CQvGObjectPropertyTotal source;
    ASSERT_EQ(source.LoadMemoryImage(image.data.data(), image.data.size()), 1);

    CQvGObjectPropertyTotal assigned;
    assigned = source;
    Bytes expected = WithoutPointers(image);
    expected.Put32(4, 0);
    expected.Put32(76, 0);
    expected.Put32(AttributeAt(kMeasureAt, kReserved3), static_cast<uint32_t>(-1));
    EXPECT_EQ(assigned.SaveMemoryImage(), expected.data);

    const CQvGObjectPropertyTotal copied(source);
    EXPECT_EQ(copied.SaveMemoryImage(), WithoutPointers(image).data);
}

TEST(PropertyTotalImage, EachShapeKeepsItsDisplayedQuantityAtItsOffset)
{
    const struct
    {
        int shape;
        size_t offset;
    } cases[] = {
        {1, 8},   {24, 8},  {0, 12},  {28, 12}, {2, 16},  {3, 20},  {4, 24},  {5, 28},  {6, 32},  {7, 36},
        {9, 40},  {10, 44}, {11, 48}, {12, 52}, {13, 56}, {14, 60}, {15, 64}, {16, 68}, {17, 72}, {18, 76},
        {19, 80}, {27, 80}, {20, 84}, {21, 88}, {25, 88}, {26, 92}, {43, 96},
    };
    const std::vector<uint8_t> before = CQvGObjectPropertyTotal().SaveMemoryImage();
    for (const auto& c : cases) {
        CQvGObjectPropertyTotal set;
        EXPECT_EQ(set.SetDispType(OBJ_SHAPE(c.shape), 0x7777), 1) << c.shape;
        Bytes expected;
        expected.data = before;
        expected.Put32(c.offset, 0x7777);
        EXPECT_EQ(set.SaveMemoryImage(), expected.data) << c.shape;
    }
    for (int shape : {8, 22, 23, 29, 30, 38, 42, 44}) {
        CQvGObjectPropertyTotal set;
        EXPECT_EQ(set.SetDispType(OBJ_SHAPE(shape), 0x7777), 0) << shape;
        EXPECT_EQ(set.GetDispType(OBJ_SHAPE(shape)), 0) << shape;
    }
}
