#include "sieva/KernelFilter.h"

#include "SievaTestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

using namespace sieva_test;
using Levels = std::vector<std::vector<int>>;

namespace {

CQvImage Filtered(const CQvImage& source, int columns, int rows, const std::vector<float>& kernel, int fill = 0)
{
    CQvImage input = source;
    CQvImage output;
    output.Create(QV_RGB24, source.GetWidth(), source.GetHeight(), 0);
    std::fill(output.GetBuffer(), output.GetBuffer() + output.GetStride() * output.GetHeight(), BYTE(fill));
    CKernelFilter filter;
    EXPECT_EQ(filter.Attach(&output, &input), 1);
    EXPECT_EQ(filter.Apply(columns, rows, kernel.data()), 1);
    return output;
}

TEST(KernelFilter, SobelOnAStepEdgeGivesExactValuesAndZeroOutsideTheReach)
{
    const CQvImage step = Colour({{0, 0, 10, 10, 10}, {0, 0, 10, 10, 10}, {0, 0, 10, 10, 10}, {0, 0, 10, 10, 10}});
    CQvImage source = step, across, down;
    across.Create(QV_RGB24, 5, 4, 0);
    down.Create(QV_RGB24, 5, 4, 0);
    CKernelFilter filter;
    ASSERT_EQ(filter.Attach(&across, &source), 1);
    ASSERT_EQ(filter.ApplyFixed(2), 1);
    ASSERT_EQ(filter.Attach(&down, &source), 1);
    ASSERT_EQ(filter.ApplyFixed(3), 1);
    EXPECT_EQ(Channel(across), (Levels{{0, 0, 0, 0, 0}, {0, 40, 40, 0, 0}, {0, 40, 40, 0, 0}, {0, 0, 0, 0, 0}}));
    EXPECT_EQ(Channel(down), (Levels{{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}}));
    // A falling edge gives the same magnitude: the result is the absolute value, capped at 255.
    const CQvImage fall = Colour({{90, 90, 0}, {90, 90, 0}, {90, 90, 0}});
    EXPECT_EQ(Channel(Filtered(fall, 3, 3, {-1, 0, 1, -2, 0, 2, -1, 0, 1})),
              (Levels{{0, 0, 0}, {0, 255, 0}, {0, 0, 0}}));
    EXPECT_EQ(Channel(Filtered(fall, 3, 1, {1, 0, -1})), (Levels{{0, 90, 0}, {0, 90, 0}, {0, 90, 0}}));
}

TEST(KernelFilter, AnEvenKernelWritesRowsAndColumnsOneToSideMinusTwoAndZeroesTheRest)
{
    // Roberts' first kernel reads the pixel's upper-left neighbour and the pixel: 1 0 / 0 -1.
    const CQvImage image = Colour({{5, 5, 5, 5}, {5, 9, 5, 5}, {5, 5, 5, 5}, {5, 5, 5, 5}});
    // The destination held 77 everywhere: the frame the kernel does not reach is 0, not what was there.
    EXPECT_EQ(Channel(Filtered(image, 2, 2, {1, 0, 0, -1}, 77)),
              (Levels{{0, 0, 0, 0}, {0, 4, 0, 0}, {0, 0, 4, 0}, {0, 0, 0, 0}}));
    // A kernel larger than the image reaches nothing: all 0.
    EXPECT_EQ(Channel(Filtered(Colour({{9, 9}}), 3, 3, std::vector<float>(9, 1.0f), 77)), (Levels{{0, 0}}));
}

TEST(KernelFilter, TheSumIsTruncatedOnceNotAfterEveryTerm)
{
    // 0.5 x 3 + 0.5 x 3 = 3; truncating after each term would give trunc(trunc(1.5) + 1.5) = 2.
    EXPECT_EQ(Channel(Filtered(Colour({{3, 3, 3}}), 2, 1, {0.5f, 0.5f})), (Levels{{0, 3, 0}}));
    // -0.5 x 7 + 0.25 x 7 = -1.75: |trunc| = 1.
    EXPECT_EQ(Channel(Filtered(Colour({{7, 7, 7}}), 3, 1, {-0.5f, 0.25f, 0.0f})), (Levels{{0, 1, 0}}));
}

TEST(KernelFilter, RefusesWhatItCannotFilter)
{
    CQvImage grey, grey2, colour, colour2, small;
    grey.Create(QV_GRAY8, 4, 4, 0);
    grey2.Create(QV_GRAY8, 4, 4, 0);
    colour.Create(QV_RGB24, 4, 4, 0);
    colour2.Create(QV_RGB24, 4, 4, 0);
    small.Create(QV_RGB24, 3, 4, 0);
    const float one = 1.0f;
    CKernelFilter filter;
    EXPECT_EQ(filter.Apply(1, 1, &one), 0) << "nothing attached";
    EXPECT_EQ(filter.Attach(&grey, &colour), 0);
    ASSERT_EQ(filter.Attach(&grey2, &grey), 1);
    EXPECT_EQ(filter.Apply(1, 1, &one), 0) << "not 24-bit";
    ASSERT_EQ(filter.Attach(&colour2, &colour), 1);
    EXPECT_EQ(filter.Apply(12, 1, &one), 0);
    EXPECT_EQ(filter.Apply(0, 1, &one), 0);
    EXPECT_EQ(filter.ApplyFixed(6), 0);
    EXPECT_EQ(filter.ApplyFixed(-1), 0);
    ASSERT_EQ(filter.Attach(&small, &colour), 1);
    EXPECT_EQ(filter.Apply(1, 1, &one), 0) << "sizes differ";
}

TEST(KernelFilter, LargeImagesSplitIntoBandsGiveTheSameAsTheDefinition)
{
    // Large enough for several threads; an integer kernel, so the float sum is exact and any band seam shows.
    const int width = 173, height = 240, side = 11;
    CQvImage source;
    source.Create(QV_RGB24, width, height, 0);
    unsigned state = 7;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 3 * width; ++x) {
            state = state * 1103515245u + 12345u;
            source.Get2DBuffer()[y][x] = static_cast<BYTE>(state >> 24);
        }
    std::vector<float> kernel(side * side);
    for (int i = 0; i < side * side; ++i)
        kernel[i] = static_cast<float>(i % 7 - 3) / 16.0f;  // exact binary fractions
    CQvImage out = Filtered(source, side, side, kernel, 1);
    const int r0 = side / 2;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                int expected = 0;
                if (y >= r0 && y < height - r0 && x >= r0 && x < width - r0) {
                    int sum = 0;  // sixteenths, exact
                    for (int k = 0; k < side; ++k)
                        for (int m = 0; m < side; ++m)
                            sum += ((k * side + m) % 7 - 3) * source.Get2DBuffer()[y - r0 + k][3 * (x - r0 + m) + c];
                    expected = std::min(255, std::abs(sum / 16));
                }
                ASSERT_EQ(out.Get2DBuffer()[y][3 * x + c], expected) << x << "," << y << "," << c;
            }
}

// Two ApplyFixed passes over the 24-bit image and the byte mean, the definition FixedPairMean keeps.
CQvImage PairByDefinition(const CQvImage& colour, int first, int second)
{
    CQvImage input = colour, a, b;
    a.Create(QV_RGB24, colour.GetWidth(), colour.GetHeight(), 0);
    b.Create(QV_RGB24, colour.GetWidth(), colour.GetHeight(), 0);
    CKernelFilter filter;
    EXPECT_EQ(filter.Attach(&a, &input), 1);
    EXPECT_EQ(filter.ApplyFixed(first), 1);
    EXPECT_EQ(filter.Attach(&b, &input), 1);
    EXPECT_EQ(filter.ApplyFixed(second), 1);
    for (int i = 0; i < a.GetStride() * a.GetHeight(); ++i)
        a.GetBuffer()[i] = static_cast<BYTE>((a.GetBuffer()[i] + b.GetBuffer()[i]) >> 1);
    return a;
}

CQvImage Noise(int model, int width, int height, unsigned seed)
{
    CQvImage image;
    image.Create(model, width, height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * image.GetBitsPerPixel() / 8; ++x) {
            seed = seed * 1103515245u + 12345u;
            // Mostly the extremes, so the sums reach past 255 both ways.
            const unsigned level = seed >> 24;
            image.Get2DBuffer()[y][x] = static_cast<BYTE>(level < 80 ? 0 : level > 176 ? 255 : level);
        }
    return image;
}

TEST(KernelFilter, ThePairMeanGivesTheBytesOfTwoPassesAndTheirMean)
{
    // Widths around the vector lengths and their tails, heights of one row up to several threads' bands.
    const int sizes[][2] = {{1, 1}, {2, 7}, {3, 3}, {7, 2}, {17, 5}, {33, 4}, {70, 9}, {131, 97}};
    const int pairs[][2] = {{0, 1}, {2, 3}, {4, 5}};
    unsigned seed = 3;
    for (const auto& [width, height] : sizes)
        for (const auto& [first, second] : pairs) {
            SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + ", kernels " +
                         std::to_string(first) + " and " + std::to_string(second));
            const CQvImage colour = Noise(QV_RGB24, width, height, ++seed);
            const CQvImage expected = PairByDefinition(colour, first, second);
            CQvImage fresh;
            ASSERT_EQ(FixedPairMean(colour, first, second, fresh), 1);
            EXPECT_EQ(fresh.GetColorModel(), QV_RGB24);
            EXPECT_EQ(Bytes(fresh), Bytes(expected));
            // A destination of the size already, holding other bytes and a region: all rewritten.
            CQvImage reused = Noise(QV_RGB24, width, height, ++seed);
            reused.SetRoi(QV_ROI_RECT, std::unique_ptr<int[]>(new int[4]{0, 0, 0, 0}), 2);
            ASSERT_EQ(FixedPairMean(colour, first, second, reused), 1);
            EXPECT_EQ(Bytes(reused), Bytes(expected));
            EXPECT_EQ(reused.GetRoiKind(), QV_ROI_NONE);
            // Into the source itself.
            CQvImage same = colour;
            ASSERT_EQ(FixedPairMean(same, first, second, same), 1);
            EXPECT_EQ(Bytes(same), Bytes(expected));
            // A grey image counts as its 24-bit form.
            CQvImage grey = Noise(QV_GRAY8, width, height, ++seed);
            CQvImage greyColour;
            greyColour.Create(QV_RGB24, width, height, 0);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    std::fill_n(greyColour.Get2DBuffer()[y] + 3 * x, 3, grey.Get2DBuffer()[y][x]);
            CQvImage fromGrey;
            ASSERT_EQ(FixedPairMean(grey, first, second, fromGrey), 1);
            EXPECT_EQ(fromGrey.GetColorModel(), QV_RGB24);
            EXPECT_EQ(Bytes(fromGrey), Bytes(PairByDefinition(greyColour, first, second)));
        }
}

TEST(KernelFilter, ThePairMeanRefusesWhatItDoesNotRead)
{
    const CQvImage kept = Colour({{1, 2}, {3, 4}});
    CQvImage out = kept;
    EXPECT_EQ(FixedPairMean(Noise(QV_INDEX8, 4, 4, 1), 2, 3, out), 0);
    EXPECT_EQ(FixedPairMean(Noise(QV_RGBA32, 4, 4, 1), 2, 3, out), 0);
    EXPECT_EQ(FixedPairMean(CQvImage(), 2, 3, out), 0);
    EXPECT_EQ(FixedPairMean(Noise(QV_RGB24, 4, 4, 1), 2, 6, out), 0);
    EXPECT_EQ(FixedPairMean(Noise(QV_RGB24, 4, 4, 1), -1, 3, out), 0);
    EXPECT_EQ(Bytes(out), Bytes(kept));
}

}  // namespace
