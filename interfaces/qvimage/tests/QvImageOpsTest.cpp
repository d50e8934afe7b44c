#include "qvimage/QvImageOps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <string>
#include <vector>

namespace {

// Grey image whose pixel (x, y) holds 10 * y + x.
CQvImage Numbered(int width, int height)
{
    CQvImage image;
    image.Create(QV_GRAY8, width, height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.GetPixel(x, y)[0] = static_cast<BYTE>(10 * y + x);
    return image;
}

// The image as text, one line per row: '#' where a pixel is 255, '.' elsewhere.
std::string Picture(const CQvImage& image)
{
    std::string text;
    for (int y = 0; y < image.GetHeight(); ++y)
    {
        for (int x = 0; x < image.GetWidth(); ++x)
            text += image.GetPixel(x, y)[0] == 255 ? '#' : '.';
        text += '\n';
    }
    return text;
}

std::unique_ptr<int[]> Points(std::initializer_list<int> values)
{
    auto points = std::make_unique<int[]>(values.size());
    std::copy(values.begin(), values.end(), points.get());
    return points;
}

TEST(QvImageOps, FillInsideAndOutsideTheRegion)
{
    const struct { const char* name; int kind; std::initializer_list<int> points; int mode; const char* picture; } cases[] = {
        {"rectangle inside, corners given backwards", QV_ROI_RECT, {4, 3, 1, 1}, 0,
         "......\n.####.\n.####.\n.####.\n......\n"},
        {"rectangle outside", QV_ROI_RECT, {1, 1, 4, 3}, 1,
         "######\n#....#\n#....#\n#....#\n######\n"},
        {"ellipse inside", QV_ROI_ELLIPSE, {0, 0, 4, 4}, 0,
         "..#...\n.###..\n#####.\n.###..\n..#...\n"},
        {"triangle inside", QV_ROI_POLYGON, {0, 0, 4, 0, 0, 4}, 0,
         "#####.\n####..\n###...\n##....\n#.....\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CQvImage image;
        image.Create(QV_GRAY8, 6, 5, 0);
        ASSERT_EQ(image.SetRoi(c.kind, Points(c.points), int(c.points.size() / 2)), 1);
        ASSERT_EQ(QVSetFill(&image, 255, c.mode), 1);
        EXPECT_EQ(Picture(image), c.picture);
    }
}

TEST(QvImageOps, FillWithoutRegionAndOfARectangle)
{
    CQvImage image;
    image.Create(QV_GRAY8, 4, 3, 0);
    EXPECT_EQ(QVSetFill(&image, 255, 1), 1);
    EXPECT_EQ(Picture(image), "....\n....\n....\n");
    EXPECT_EQ(QVSetFill(&image, 255, 0), 1);
    EXPECT_EQ(Picture(image), "####\n####\n####\n");
    EXPECT_EQ(QVSetFill(&image, 255, 2), 0);

    image.Create(QV_GRAY8, 4, 3, 0);
    EXPECT_EQ(QVSetFill(&image, 255, CRect(2, -5, 9, 2)), 1);  // clipped to the image
    EXPECT_EQ(Picture(image), "..##\n..##\n....\n");
    EXPECT_EQ(QVSetFill(&image, 255, CRect(5, 0, 9, 2)), 0);

    CQvImage colour;
    colour.Create(QV_RGB24, 3, 1, 0);
    QVSetFill(&colour, 200, CRect(1, 0, 2, 1));
    const BYTE* row = colour.GetBuffer();
    EXPECT_EQ(std::vector<BYTE>(row, row + 9), (std::vector<BYTE>{0, 0, 0, 200, 200, 200, 0, 0, 0}));
}

TEST(QvImageOps, CopyCutsOutTheRectangleWithItsRegion)
{
    // The duplicate-a-region flow: copy the region's bounds, then whiten what lies outside the region.
    CQvImage image = Numbered(8, 6);
    image.SetRoi(QV_ROI_RECT, Points({3, 2, 4, 3}), 2);
    CQvImage cut;
    ASSERT_EQ(QVCopyImage(&image, &cut, CRect(2, 1, 6, 5)), 1);
    ASSERT_EQ(cut.GetWidth(), 4);
    ASSERT_EQ(cut.GetHeight(), 4);
    EXPECT_EQ(cut.GetPixel(0, 0)[0], 12);
    EXPECT_EQ(cut.GetPixel(3, 3)[0], 45);
    ASSERT_EQ(cut.GetRoiKind(), QV_ROI_RECT);
    QVSetFill(&cut, 255, 1);
    EXPECT_EQ(Picture(cut), "####\n#..#\n#..#\n####\n");
    EXPECT_EQ(cut.GetPixel(1, 1)[0], 23);

    // Clipped to the source; the target may be the source itself.
    ASSERT_EQ(QVCopyImage(&image, &image, CRect(6, 4, 20, 20)), 1);
    EXPECT_EQ(image.GetWidth(), 2);
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(image.GetPixel(1, 1)[0], 57);
    EXPECT_EQ(QVCopyImage(&image, &cut, CRect(5, 5, 9, 9)), 0);
    EXPECT_EQ(cut.GetWidth(), 4);
}

TEST(QvImageOps, ResizeCopyTakesTheNearestPixel)
{
    const CQvImage source = Numbered(8, 6);
    const struct { float ratio; CRect rect; int width, height; std::vector<std::array<int, 3>> samples; } cases[] = {
        // Target (x, y) -> source value: at 0.5 each target pixel centre falls on source pixel 2x + 1.
        {0.5f, CRect(0, 0, 8, 6), 4, 3, {{0, 0, 11}, {3, 0, 17}, {1, 2, 53}}},
        {2.0f, CRect(2, 1, 5, 3), 6, 4, {{0, 0, 12}, {1, 1, 12}, {2, 0, 13}, {5, 3, 24}}},
        {1.5f, CRect(0, 0, 3, 1), 5, 2, {{0, 0, 0}, {1, 0, 1}, {2, 0, 1}, {3, 0, 2}, {4, 1, 2}}},
        {0.125f, CRect(0, 0, 8, 6), 1, 1, {{0, 0, 44}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.ratio);
        CQvImage target;
        ASSERT_EQ(QVResizeCopyImage(&source, &target, c.rect, c.ratio), 1);
        EXPECT_EQ(target.GetColorModel(), QV_GRAY8);
        EXPECT_EQ(target.GetWidth(), c.width);
        EXPECT_EQ(target.GetHeight(), c.height);
        for (const auto& [x, y, value] : c.samples)
            EXPECT_EQ(target.GetPixel(x, y)[0], value) << x << "," << y;
    }
    CQvImage target;
    EXPECT_EQ(QVResizeCopyImage(&source, &target, CRect(0, 0, 8, 6), 0.0f), 0);
    EXPECT_EQ(QVResizeCopyImage(&source, &target, CRect(0, 0, 8, 6), 100000.0f), 0);
    EXPECT_TRUE(target.IsEmpty());
}

TEST(QvImageOps, ResizeCopyAtVanishingRatiosTakesTheRectanglesLastPixel)
{
    // The sampled position lies far beyond the rectangle (or is infinite): the last pixel is taken.
    const CQvImage source = Numbered(8, 6);
    for (const float ratio : {1e-6f, 1e-30f, 1e-45f})
    {
        SCOPED_TRACE(ratio);
        CQvImage target;
        ASSERT_EQ(QVResizeCopyImage(&source, &target, CRect(1, 2, 5, 4), ratio), 1);
        ASSERT_EQ(target.GetWidth(), 1);
        ASSERT_EQ(target.GetHeight(), 1);
        EXPECT_EQ(target.GetPixel(0, 0)[0], 34);
    }
}

TEST(QvImageOps, RegionsFarOutsideTheImage)
{
    constexpr int lo = std::numeric_limits<int>::min();
    constexpr int hi = std::numeric_limits<int>::max();
    const struct { const char* name; int kind; std::initializer_list<int> points; const char* inside; } cases[] = {
        {"rectangle far right", QV_ROI_RECT, {hi - 5, 0, hi, 2}, "....\n....\n....\n"},
        {"rectangle far left", QV_ROI_RECT, {lo, 0, lo + 5, 2}, "....\n....\n....\n"},
        {"rectangle reaching from far left", QV_ROI_RECT, {lo, 1, 1, 1}, "....\n##..\n....\n"},
        {"ellipse at the far corner", QV_ROI_ELLIPSE, {hi - 4, hi - 4, hi, hi}, "....\n....\n....\n"},
        {"ellipse at the near corner", QV_ROI_ELLIPSE, {lo, lo, lo + 4, lo + 4}, "....\n....\n....\n"},
        {"ellipse wider than the int range", QV_ROI_ELLIPSE, {lo, -2, hi, 4}, "####\n####\n####\n"},
        {"large triangle", QV_ROI_POLYGON, {-1000000, -1000000, 2000000, -1000000, -1000000, 2000000},
         "####\n####\n####\n"},
        {"triangle far away", QV_ROI_POLYGON, {hi - 9, hi - 9, hi, hi - 9, hi - 9, hi}, "....\n....\n....\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CQvImage image;
        image.Create(QV_GRAY8, 4, 3, 0);
        ASSERT_EQ(image.SetRoi(c.kind, Points(c.points), int(c.points.size() / 2)), 1);
        ASSERT_EQ(QVSetFill(&image, 255, 0), 1);
        EXPECT_EQ(Picture(image), c.inside);

        // Copying moves the region by the rectangle's origin, saturating at the ends of the int range.
        image.SetRoi(c.kind, Points(c.points), int(c.points.size() / 2));
        CQvImage cut;
        ASSERT_EQ(QVCopyImage(&image, &cut, CRect(2, 1, 4, 3)), 1);
        ASSERT_EQ(cut.GetRoiCount(), image.GetRoiCount());
        for (int i = 0; i < 2 * cut.GetRoiCount(); ++i)
        {
            const long long moved = static_cast<long long>(image.GetRoiPoints()[i]) - (i % 2 == 0 ? 2 : 1);
            EXPECT_EQ(cut.GetRoiPoints()[i], std::max<long long>(moved, lo)) << i;
        }
    }
}

TEST(QvImageOps, ResizeCopyOfColourKeepsWholePixels)
{
    CQvImage source;
    source.Create(QV_RGBA32, 2, 1, 0);
    const BYTE pixels[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::copy(pixels, pixels + 8, source.GetBuffer());
    CQvImage target;
    ASSERT_EQ(QVResizeCopyImage(&source, &target, CRect(0, 0, 2, 1), 2.0f), 1);
    EXPECT_EQ(std::vector<BYTE>(target.GetBuffer(), target.GetBuffer() + 16),
              (std::vector<BYTE>{1, 2, 3, 4, 1, 2, 3, 4, 5, 6, 7, 8, 5, 6, 7, 8}));
}

TEST(QvImageOps, GreyConversionWeighsTheChannels)
{
    const float r = 0.212671f, g = 0.71516f, b = 0.072169f;
    for (const int type : {QV_RGB24, QV_RGBA32})
    {
        SCOPED_TRACE(type);
        CQvImage colour;
        colour.Create(type, 3, 1, 0);
        const int step = colour.GetBitsPerPixel() / 8;
        const BYTE bgr[3][3] = {{0, 0, 255}, {0, 255, 0}, {255, 255, 255}};
        for (int x = 0; x < 3; ++x)
            std::copy(bgr[x], bgr[x] + 3, colour.GetBuffer() + x * step);
        CQvImage grey;
        grey.Create(QV_GRAY8, 3, 1, 0);
        const auto convert = type == QV_RGB24 ? QvRGB2Gray : QvRGBA2Gray;
        ASSERT_EQ(convert(&colour, &grey, r, g, b), 1);
        EXPECT_EQ(grey.GetPixel(0, 0)[0], 54);   // 0.212671 * 255 = 54.2
        EXPECT_EQ(grey.GetPixel(1, 0)[0], 182);  // 0.71516 * 255 = 182.4
        EXPECT_EQ(grey.GetPixel(2, 0)[0], 255);  // weights summing to 1 stay within range

        const auto other = type == QV_RGB24 ? QvRGBA2Gray : QvRGB2Gray;
        EXPECT_EQ(other(&colour, &grey, r, g, b), 0);
        CQvImage wrongSize;
        wrongSize.Create(QV_GRAY8, 2, 1, 0);
        EXPECT_EQ(convert(&colour, &wrongSize, r, g, b), 0);
        CQvImage notGrey;
        notGrey.Create(QV_RGB24, 3, 1, 0);
        EXPECT_EQ(convert(&colour, &notGrey, r, g, b), 0);
    }
}

TEST(QvImageOps, ColourConversionReadsEveryModel)
{
    CQvImage indexed;
    indexed.Create(QV_INDEX2, 3, 1, 0);
    const RGBQUAD palette[2] = {{10, 20, 30, 0}, {40, 50, 60, 0}};
    indexed.SetPalette(palette, 2);
    indexed.GetBuffer()[1] = 1;
    indexed.GetBuffer()[2] = 3;  // beyond the palette: black
    CQvImage rgb;
    rgb.Create(QV_RGB24, 3, 1, 0);
    ASSERT_EQ(QvIndex2RGB(&indexed, &rgb), 1);
    EXPECT_EQ(std::vector<BYTE>(rgb.GetBuffer(), rgb.GetBuffer() + 9),
              (std::vector<BYTE>{10, 20, 30, 40, 50, 60, 0, 0, 0}));

    CQvImage grey = Numbered(3, 1);
    EXPECT_EQ(QvIndex2RGB(&grey, &rgb), 0);
    CQvImage rgba;
    rgba.Create(QV_RGBA32, 3, 1, 0);
    ASSERT_EQ(QvConvert2RGBA(&grey, &rgba), 1);
    EXPECT_EQ(std::vector<BYTE>(rgba.GetBuffer(), rgba.GetBuffer() + 8),
              (std::vector<BYTE>{0, 0, 0, 255, 1, 1, 1, 255}));
    ASSERT_EQ(QvConvert2RGB(&rgba, &rgb), 1);
    EXPECT_EQ(rgb.GetPixel(2, 0)[1], 2);
    EXPECT_EQ(QvConvert2RGB(&grey, &rgba), 0);
}

} // namespace
