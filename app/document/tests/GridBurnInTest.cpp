// The grid burnt into each pixel format: only the grid's pixels change, in the format's own terms, never past a
// row, and the image comes back exactly.
#include "document/GridBurnIn.h"

#include "latticer/CLatticer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 41;  // rows of 1- and 3-byte pixels get padding
constexpr int kHeight = 30;

CLatticer CrossGrid(COLORREF colour)
{
    CLatticer grid;
    grid.show = 1;
    grid.type = G_CROSS;
    grid.upp = 1.0;
    grid.gap = 10.0f;
    grid.ruler = 0;
    grid.pen.lopnWidth.x = 1;
    grid.pen.lopnColor = colour;
    grid.canvas = SIZE{5, 5};  // stale: the burn lays the grid over the image it is given
    return grid;
}

CQvImage Filled(int model, BYTE value)
{
    CQvImage image;
    image.Create(model, kWidth, kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        std::memset(image.Get2DBuffer()[y], value, static_cast<size_t>(kWidth) * image.GetBitsPerPixel() / 8);
    return image;
}

struct Change
{
    int x, y;
};

std::vector<Change> ChangedPixels(const CQvImage& before, const CQvImage& after)
{
    std::vector<Change> changes;
    const int bytes = before.GetBitsPerPixel() / 8;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (std::memcmp(before.GetPixel(x, y), after.GetPixel(x, y), bytes) != 0)
                changes.push_back({x, y});
    return changes;
}

// Only the cross's pixels changed, the padding after each row stays zero, and the centre row is burnt.
void ExpectCrossOnly(const CQvImage& before, const CQvImage& after, int64_t written)
{
    const std::vector<Change> changes = ChangedPixels(before, after);
    EXPECT_EQ(static_cast<int64_t>(changes.size()), written);
    int onCentreRow = 0;
    for (const Change& c : changes) {
        // The centre of an odd width lies between two columns.
        EXPECT_TRUE(std::abs(2 * c.x - kWidth) <= 1 || c.y == kHeight / 2) << c.x << "," << c.y;
        onCentreRow += c.y == kHeight / 2;
    }
    EXPECT_GE(onCentreRow, kWidth - 2);
    const int used = kWidth * after.GetBitsPerPixel() / 8;
    for (int y = 0; y < kHeight; ++y)
        for (int i = used; i < after.GetStride(); ++i)
            EXPECT_EQ(after.GetBuffer()[static_cast<size_t>(y) * after.GetStride() + i], 0) << "padding of row " << y;
}

}  // namespace

TEST(GridBurnIn, ColourImagesTakeThePenColourOnTheGridOnly)
{
    for (int model : {QV_RGB24, QV_RGBA32}) {
        const CQvImage before = Filled(model, 0);
        CQvImage image = before;
        const int64_t written = BurnGridIntoPixels(image, CrossGrid(RGB(255, 255, 255)));
        ExpectCrossOnly(before, image, written);
        const BYTE* centre = image.GetPixel((kWidth + 1) / 2, kHeight / 2);
        EXPECT_EQ(centre[0], 255);
        EXPECT_EQ(centre[2], 255);
        if (model == QV_RGBA32) {
            EXPECT_EQ(centre[3], 255);
        }
    }
}

TEST(GridBurnIn, AWhitePenLeavesAWhiteBackgroundAlone)
{
    // Telling the grid by the pen's colour would take every white pixel for grid; the mask knows better.
    CQvImage image = Filled(QV_RGB24, 255);
    image.GetPixel(3, 3)[0] = 17;
    const CQvImage before = image;
    BurnGridIntoPixels(image, CrossGrid(RGB(255, 255, 255)));
    EXPECT_EQ(image.GetPixel(3, 3)[0], 17);
    EXPECT_EQ(std::memcmp(image.GetBuffer(), before.GetBuffer(), image.GetStride() * kHeight), 0);
}

TEST(GridBurnIn, GreyImagesTakeThePensLuminanceAndIndexedOnesTheNearestEntry)
{
    const CQvImage grey = Filled(QV_GRAY8, 0);
    CQvImage burnt = grey;
    ExpectCrossOnly(grey, burnt, BurnGridIntoPixels(burnt, CrossGrid(RGB(255, 0, 0))));
    EXPECT_EQ(*burnt.GetPixel((kWidth + 1) / 2, 0), 76);  // 0.299 x 255

    CQvImage indexed = Filled(QV_INDEX8, 0);
    const RGBQUAD palette[4] = {{0, 0, 0, 0}, {0, 0, 240, 0}, {0, 200, 0, 0}, {200, 0, 0, 0}};
    ASSERT_EQ(indexed.SetPalette(palette, 4), 1);
    const CQvImage before = indexed;
    ExpectCrossOnly(before, indexed, BurnGridIntoPixels(indexed, CrossGrid(RGB(255, 10, 10))));
    EXPECT_EQ(*indexed.GetPixel(5, kHeight / 2), 1);
}

TEST(GridBurnIn, RestorePutsThePixelsBackOnlyIntoTheImageTheyCameFrom)
{
    const CQvImage clean = Filled(QV_RGB24, 40);
    CQvImage image = clean;
    GridBurnIn burn;
    ASSERT_TRUE(burn.Burn(image, CrossGrid(RGB(0, 0, 255))));
    EXPECT_FALSE(ChangedPixels(clean, image).empty());
    EXPECT_TRUE(burn.Restore(image));
    EXPECT_TRUE(ChangedPixels(clean, image).empty());
    EXPECT_FALSE(burn.Pending());

    ASSERT_TRUE(burn.Burn(image, CrossGrid(RGB(0, 0, 255))));
    CQvImage other;
    other.Create(QV_GRAY8, 3, 3, 0);
    EXPECT_FALSE(burn.Restore(other));
    EXPECT_EQ(*other.GetPixel(0, 0), 0);
    EXPECT_FALSE(burn.Pending());
    CQvImage empty;
    EXPECT_FALSE(burn.Burn(empty, CrossGrid(0)));
}
