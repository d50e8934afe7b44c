#include "chromex/ChromexOps.h"

#include "testing/ImageBytes.h"

#include <gtest/gtest.h>

using namespace chromex;
using namespace image_bytes;

namespace {

TEST(ChromexGrey, EachColourModelGivesTheWeightedGreyRoundedToNearest)
{
    // Pure red, green and blue, then white and black: 54, 182, 18 (0.212671, 0.71516, 0.072169 of 255, rounded).
    const std::vector<int> expected = {54, 182, 18, 255, 0};
    CQvImage indexed = MakeImage(QV_INDEX8, 5, 1, {0, 1, 2, 3, 4});
    const RGBQUAD palette[5] = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}, {0, 0, 0, 0}};
    ASSERT_EQ(indexed.SetPalette(palette, 5), 1);
    struct Case
    {
        const char* name;
        CQvImage source;
    };
    const Case cases[] = {
        {"indexed", indexed},
        {"24-bit", MakeImage(QV_RGB24, 5, 1, {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 0, 0, 0})},
        {"24-bit (20)", MakeImage(QV_RGB, 5, 1, {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 0, 0, 0})},
        {"32-bit", MakeImage(QV_RGBA32, 5, 1,
                             {0, 0, 255, 9, 0, 255, 0, 9, 255, 0, 0, 9, 255, 255, 255, 9, 0, 0, 0, 9})},
    };
    for (const Case& c : cases) {
        CQvImage grey;
        ASSERT_TRUE(ConvertToGrey(c.source, grey)) << c.name;
        EXPECT_EQ(grey.GetColorModel(), QV_GRAY8) << c.name;
        EXPECT_EQ(Bytes(grey), expected) << c.name;
    }
}

TEST(ChromexGrey, GreyAndEmptyImagesAreLeftAlone)
{
    for (int model : {QV_GRAY, QV_GRAY8}) {
        const CQvImage grey = MakeImage(model, 2, 1, {7, 8});
        CQvImage out = MakeImage(QV_GRAY8, 1, 1, {99});
        EXPECT_FALSE(ConvertToGrey(grey, out));
        EXPECT_EQ(Bytes(out), std::vector<int>{99});
    }
    CQvImage out;
    EXPECT_FALSE(ConvertToGrey(CQvImage(), out));
}

TEST(ChromexTable, EachGreyLevelLooksUpItsEntry)
{
    ColourTable table{};
    table[3 * 5] = 1;  // level 5: blue 1, green 2, red 3
    table[3 * 5 + 1] = 2;
    table[3 * 5 + 2] = 3;
    table[3 * 255] = 250;
    const CQvImage source = MakeImage(QV_GRAY8, 3, 1, {5, 255, 0});
    CQvImage destination;
    destination.Create(QV_RGB24, 3, 1, 0);
    ASSERT_TRUE(ApplyTable(table, source, destination));
    EXPECT_EQ(Bytes(destination), (std::vector<int>{1, 2, 3, 250, 0, 0, 0, 0, 0}));
    CQvImage wrongSize;
    wrongSize.Create(QV_RGB24, 2, 1, 0);
    EXPECT_FALSE(ApplyTable(table, source, wrongSize));
}

}  // namespace
