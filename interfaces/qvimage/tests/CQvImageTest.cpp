#include "qvimage/CQvImage.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct ModelCase
{
    int type;
    int bitCount;
    int qvBitCount;
    int paletteCount;
    const char* name;
};

TEST(CQvImage, CreateLaysOutEachColourModel)
{
    const ModelCase cases[] = {
        {QV_GRAY, 8, 8, 0, "Gray"},           {QV_GRAY8, 8, 8, 0, "Gray 8-bit"},
        {QV_INDEX1, 1, 8, 2, "Indexed 1-bit"}, {QV_INDEX4, 4, 8, 16, "Indexed 4-bit"},
        {QV_INDEX7, 7, 8, 128, "Indexed 7-bit"}, {QV_INDEX8, 8, 8, 256, "Indexed 8-bit"},
        {QV_RGB, 24, 24, 0, "RGB"},           {QV_RGB24, 24, 24, 0, "RGB 24-bit"},
        {QV_RGBA32, 32, 32, 0, "RGBA 32-bit"},
    };
    for (const ModelCase& c : cases)
    {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(GetBitCount(c.type), c.bitCount);
        EXPECT_EQ(GetQvBitCount(c.type), c.qvBitCount);
        EXPECT_STREQ(CQvImage::GetColorModelString(c.type), c.name);

        CQvImage image;
        ASSERT_EQ(image.Create(c.type, 5, 3, 0), 1);
        const int bytesPerPixel = c.qvBitCount / 8;
        EXPECT_EQ(image.GetColorModel(), c.type);
        EXPECT_EQ(image.GetBitsPerPixel(), c.qvBitCount);
        EXPECT_EQ(image.GetStride(), (5 * bytesPerPixel + 3) / 4 * 4);
        EXPECT_EQ(image.GetPaletteCount(), c.paletteCount);
        if (c.paletteCount > 0)
        {
            // A fresh indexed image shows its indices as the grey ramp, black to white.
            EXPECT_EQ(image.GetPalette()[0].rgbRed, 0);
            EXPECT_EQ(image.GetPalette()[c.paletteCount - 1].rgbGreen, 255);
        }
        BYTE** rows = image.Get2DBuffer();
        for (int y = 0; y < 3; ++y)
        {
            EXPECT_EQ(rows[y], image.GetBuffer() + y * image.GetStride());
            EXPECT_EQ(image.GetPixel(4, y), rows[y] + 4 * bytesPerPixel);
            for (int i = 0; i < image.GetStride(); ++i)
                ASSERT_EQ(rows[y][i], 0);
        }
    }
    EXPECT_EQ(GetBitCount(99), 0);
    EXPECT_EQ(GetQvBitCount(99), 0);
    EXPECT_STREQ(CQvImage::GetColorModelString(99), "Unknown");
}

TEST(CQvImage, CreateRefusesBadArgumentsAndKeepsTheImage)
{
    const struct { int type, width, height; } cases[] = {
        {99, 4, 4}, {QV_GRAY8, 0, 4}, {QV_GRAY8, 4, -1}, {QV_GRAY8, kQvMaxImageSide + 1, 1},
        {QV_RGBA32, 60000, 60000},  // within the side limit, beyond the byte limit
    };
    for (const auto& c : cases)
    {
        CQvImage image;
        ASSERT_EQ(image.Create(QV_RGB24, 2, 2, 0), 1);
        image.GetPixel(1, 1)[2] = 77;
        EXPECT_EQ(image.Create(c.type, c.width, c.height, 0), 0);
        EXPECT_EQ(image.GetColorModel(), QV_RGB24);
        EXPECT_EQ(image.GetWidth(), 2);
        EXPECT_EQ(image.GetPixel(1, 1)[2], 77);
    }
}

TEST(CQvImage, GetPixelOutsideTheImageIsNull)
{
    CQvImage image;
    EXPECT_EQ(image.GetPixel(0, 0), nullptr);
    EXPECT_EQ(image.Get2DBuffer(), nullptr);
    image.Create(QV_GRAY8, 3, 2, 0);
    for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 2}})
        EXPECT_EQ(image.GetPixel(x, y), nullptr) << x << "," << y;
}

std::unique_ptr<int[]> Points(std::initializer_list<int> values)
{
    auto points = std::make_unique<int[]>(values.size());
    std::copy(values.begin(), values.end(), points.get());
    return points;
}

TEST(CQvImage, CopiesAreDeepAndIndependent)
{
    CQvImage source;
    source.Create(QV_INDEX4, 3, 2, 0);
    source.GetPixel(2, 1)[0] = 9;
    const RGBQUAD palette[3] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}};
    source.SetPalette(palette, 3);
    source.SetRoi(QV_ROI_RECT, Points({0, 0, 2, 1}), 2);

    CQvImage copied(source);
    CQvImage assigned;
    assigned.Create(QV_RGB24, 10, 10, 0);
    assigned = source;
    for (CQvImage* copy : {&copied, &assigned})
    {
        EXPECT_EQ(copy->GetColorModel(), QV_INDEX4);
        EXPECT_EQ(copy->GetWidth(), 3);
        EXPECT_NE(copy->GetBuffer(), source.GetBuffer());
        EXPECT_EQ(copy->GetPixel(2, 1)[0], 9);
        EXPECT_EQ(copy->Get2DBuffer()[1], copy->GetBuffer() + copy->GetStride());
        ASSERT_EQ(copy->GetPaletteCount(), 3);
        EXPECT_EQ(copy->GetPalette()[2].rgbRed, 9);
        ASSERT_EQ(copy->GetRoiKind(), QV_ROI_RECT);
        EXPECT_NE(copy->GetRoiPoints(), source.GetRoiPoints());
        EXPECT_EQ(copy->GetRoiPoints()[2], 2);
        copy->GetPixel(2, 1)[0] = 1;
    }
    EXPECT_EQ(source.GetPixel(2, 1)[0], 9);

    assigned = assigned;
    EXPECT_EQ(assigned.GetPixel(2, 1)[0], 1);
}

TEST(CQvImage, RemoveKeepsTheModelInitializeResetsIt)
{
    CQvImage image;
    image.Create(QV_RGBA32, 4, 4, 0);
    image.SetRoi(QV_ROI_ELLIPSE, Points({0, 0, 3, 3}), 2);
    image.Remove();
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(image.GetColorModel(), QV_RGBA32);
    EXPECT_EQ(image.GetBuffer(), nullptr);
    EXPECT_EQ(image.GetRoiKind(), QV_ROI_NONE);
    image.Initialize();
    EXPECT_EQ(image.GetColorModel(), QV_GRAY);
}

TEST(CQvImage, RegionAndPaletteRefuseWhatDoesNotFit)
{
    CQvImage image;
    image.Create(QV_INDEX2, 4, 4, 0);
    EXPECT_EQ(image.SetRoi(QV_ROI_POLYGON, Points({0, 0, 3, 0, 3, 3}), 3), 1);
    EXPECT_EQ(image.GetRoiCount(), 3);
    const struct { int kind, count; } refused[] = {{QV_ROI_RECT, 3}, {QV_ROI_ELLIPSE, 1}, {QV_ROI_POLYGON, 2}, {2, 2}};
    for (const auto& c : refused)
    {
        EXPECT_EQ(image.SetRoi(c.kind, Points({0, 0, 1, 1, 2, 2}), c.count), 0);
        EXPECT_EQ(image.GetRoiKind(), QV_ROI_NONE);
    }
    const RGBQUAD five[5] = {};
    EXPECT_EQ(image.SetPalette(five, 5), 0);  // a 2-bit index reaches 4 entries
    EXPECT_EQ(image.SetPalette(five, 0), 0);
    EXPECT_EQ(image.GetPaletteCount(), 4);
    image.Create(QV_RGB24, 2, 2, 0);
    EXPECT_EQ(image.SetPalette(five, 1), 0);
}

} // namespace
