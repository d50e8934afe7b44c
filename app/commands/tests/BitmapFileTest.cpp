// Bitmap files handed to companion programs: the sizes in the file header always add up to the bytes that follow,
// whatever the DIB's own header claimed, and DIBs whose headers promise more than they hold are refused.
#include "commands/BitmapFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> Dib(int width, int height, int bits, uint32_t colours, size_t paletteEntries, size_t pixelBytes,
                         uint32_t headerSize = 40, uint32_t sizeImage = 0, uint32_t compression = 0)
{
    std::vector<uint8_t> dib(40 + 4 * paletteEntries + pixelBytes, 0xAB);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(dib.data() + at, &v, 4); };
    auto put16 = [&](size_t at, uint16_t v) { std::memcpy(dib.data() + at, &v, 2); };
    put32(0, headerSize);
    put32(4, static_cast<uint32_t>(width));
    put32(8, static_cast<uint32_t>(height));
    put16(12, 1);
    put16(14, static_cast<uint16_t>(bits));
    put32(16, compression);
    put32(20, sizeImage);
    put32(24, 0);
    put32(28, 0);
    put32(32, colours);
    put32(36, 0);
    return dib;
}

uint32_t U32(const std::vector<uint8_t>& bytes, size_t at)
{
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

TEST(BitmapFile, HeaderSizesFollowThePixelsAndThePalette)
{
    struct Case
    {
        const char* name;
        std::vector<uint8_t> dib;
        uint32_t fileSize;
        uint32_t bitsOffset;
        uint32_t imageSize;
    };
    const Case cases[] = {
        {"24-bit 3x2", Dib(3, 2, 24, 0, 0, 24), 54 + 24, 54, 24},
        {"24-bit top-down", Dib(3, -2, 24, 0, 0, 24), 54 + 24, 54, 24},
        {"8-bit, colours unset: 256", Dib(3, 2, 8, 0, 256, 8), 54 + 1024 + 8, 54 + 1024, 8},
        {"8-bit with 4 colours", Dib(3, 2, 8, 4, 4, 8), 54 + 16 + 8, 54 + 16, 8},
        {"1-bit, colours unset: 2", Dib(9, 1, 1, 0, 2, 4), 54 + 8 + 4, 54 + 8, 4},
        // A header that says 0 (legal for uncompressed bitmaps) or a wrong size is replaced by the real one.
        {"24-bit with a lying image size", Dib(3, 2, 24, 0, 0, 24, 40, 5), 54 + 24, 54, 24},
        // Bit fields: three 4-byte colour masks follow the header, before the pixels.
        {"32-bit bit fields", Dib(3, 2, 32, 0, 3, 24, 40, 0, 3), 54 + 12 + 24, 54 + 12, 24},
        {"16-bit bit fields", Dib(3, 2, 16, 0, 3, 16, 40, 0, 3), 54 + 12 + 16, 54 + 12, 16},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> file = BitmapFileBytes(c.dib.data(), c.dib.size());
        ASSERT_EQ(file.size(), c.fileSize) << c.name;
        EXPECT_EQ(file[0], 'B') << c.name;
        EXPECT_EQ(file[1], 'M') << c.name;
        EXPECT_EQ(U32(file, 2), c.fileSize) << c.name;
        EXPECT_EQ(U32(file, 6), 0u) << c.name;
        EXPECT_EQ(U32(file, 10), c.bitsOffset) << c.name;
        EXPECT_EQ(U32(file, 14), 40u) << c.name;
        EXPECT_EQ(U32(file, 14 + 20), c.imageSize) << c.name;
        EXPECT_EQ(std::memcmp(file.data() + 54, c.dib.data() + 40, c.fileSize - 54), 0) << c.name;
    }
}

TEST(BitmapFile, DibsThatDoNotHoldWhatTheirHeaderSaysAreRefused)
{
    struct Case
    {
        const char* name;
        std::vector<uint8_t> dib;
    };
    const Case cases[] = {
        {"core header", Dib(3, 2, 24, 0, 0, 24, 12)},
        {"pixels cut short", Dib(3, 2, 24, 0, 0, 23)},
        {"palette missing", Dib(3, 2, 8, 0, 0, 8)},
        {"more than 256 colours", Dib(3, 2, 8, 300, 300, 8)},
        {"huge width", Dib(0x7fffffff, 0x7fffffff, 32, 0, 0, 16)},
        {"bit fields without their masks", Dib(3, 2, 32, 0, 0, 24, 40, 0, 3)},
        {"bit fields at 8 bits", Dib(3, 2, 8, 0, 259, 8, 40, 0, 3)},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(BitmapFileBytes(c.dib.data(), c.dib.size()).empty()) << c.name;
    EXPECT_TRUE(BitmapFileBytes(nullptr, 0).empty());
}

}  // namespace
