#include "quantor/PackedDib.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>


using namespace quantor;

TEST(PackedDib, HeaderFillPicksTheBitCountAndRowSize)
{
    const std::tuple<int, int, int, uint32_t> cases[] = {
        // asked bits, stored bits, colours, row bytes for width 5
        {0, 1, 2, 4}, {1, 1, 2, 4}, {2, 4, 16, 4}, {4, 4, 16, 4}, {5, 8, 256, 8}, {8, 8, 256, 8},
        {9, 24, 0, 16}, {32, 24, 0, 16},
    };
    for (const auto& [asked, bits, colours, row] : cases) {
        const PackedDib dib = MakeDib(5, 3, asked);
        EXPECT_EQ(DibBitCount(dib), bits) << asked;
        EXPECT_EQ(DibColorCount(dib), colours) << asked;
        EXPECT_EQ(DibRowBytes(5, bits), row) << asked;
        EXPECT_EQ(dib.size(), 40 + colours * 4 + 3 * row) << asked;
        EXPECT_EQ(DibPixelOffset(dib), 40u + colours * 4u) << asked;
        EXPECT_EQ(DibWidth(dib), 5);
        EXPECT_EQ(DibHeight(dib), 3);
    }
    EXPECT_EQ(DibRowBytes(1, 32), 4u);
    EXPECT_EQ(DibRowBytes(33, 1), 8u);
}

TEST(PackedDib, BmpFileIsByteExact)
{
    PackedDib dib = MakeDib(2, 2, 24);
    for (size_t i = 40; i < dib.size(); ++i)
        dib[i] = static_cast<uint8_t>(i);
    const auto file = BmpBytesOfDib(dib);
    ASSERT_TRUE(file);
    const std::vector<uint8_t> head = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
                                       40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,
                                       0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(file->size(), 70u);
    EXPECT_EQ(std::vector<uint8_t>(file->begin(), file->begin() + 54), head);
    EXPECT_EQ(std::vector<uint8_t>(file->begin() + 14, file->end()), dib);
}

TEST(PackedDib, WriteAndReadBackFor8And24And32Bits)
{
    QTemporaryDir dir;
    for (int bits : {8, 24, 32}) {
        PackedDib dib = MakeDib(7, 3, 24);
        if (bits == 8) {
            dib = MakeDib(7, 3, 8);
            dib[40 + 4 * 255] = 0x12;  // a palette entry survives
        } else if (bits == 32) {
            dib = PackedDib(40 + 7 * 4 * 3, 0);
            dib[0] = 40, dib[4] = 7, dib[8] = 3, dib[12] = 1, dib[14] = 32;
        }
        for (size_t i = *DibPixelOffset(dib); i < dib.size(); ++i)
            dib[i] = static_cast<uint8_t>(i * 7);
        const std::string path = dir.filePath(QString("d%1.bmp").arg(bits)).toStdString();
        ASSERT_TRUE(WriteDibToPath(dib, path)) << bits;
        const auto back = ReadDibFromPath(path);
        ASSERT_TRUE(back) << bits;
        PackedDib expected = dib;
        const uint32_t image = DibRowBytes(7, bits) * 3;
        for (int i = 0; i < 4; ++i)
            expected[20 + i] = static_cast<uint8_t>(image >> (8 * i));  // the writer stores the image size
        EXPECT_EQ(*back, expected) << bits;
        EXPECT_EQ(DibBitCount(*back), bits);
    }
}

TEST(PackedDib, ReaderRefusesBrokenFiles)
{
    const auto good = *BmpBytesOfDib(MakeDib(4, 4, 8));
    ASSERT_TRUE(DibFromBmpBytes(good.data(), good.size()));

    auto wrongTag = good;
    wrongTag[0] = 'X';
    auto sizeSaysMore = good;
    sizeSaysMore[2] += 1;
    auto appended = good;
    appended.push_back(0);  // the file is longer than its header says
    auto hugeHeight = good;
    hugeHeight[14 + 8 + 3] = 0x7F;  // rows the file does not hold
    hugeHeight.resize(good.size());
    auto hugeColours = good;
    hugeColours[14 + 32 + 2] = 0x01;  // 65536 + colours promised, none there
    const std::vector<uint8_t> shortHeader(good.begin(), good.begin() + 20);
    for (const auto& bytes : {wrongTag, sizeSaysMore, appended, hugeHeight, hugeColours, shortHeader})
        EXPECT_FALSE(DibFromBmpBytes(bytes.data(), bytes.size()));
    EXPECT_FALSE(DibFromBmpBytes(nullptr, 0));
    EXPECT_FALSE(ReadDibFromPath("/nonexistent/none.bmp"));
}

TEST(PackedDib, CoreHeaderIsMeasuredButNotWritten)
{
    PackedDib core(12 + 16 * 3 + 4 * 2, 0);
    core[0] = 12, core[4] = 5, core[6] = 2, core[8] = 1, core[10] = 4;
    EXPECT_EQ(DibWidth(core), 5);
    EXPECT_EQ(DibHeight(core), 2);
    EXPECT_EQ(DibColorCount(core), 16);
    EXPECT_EQ(DibPaletteBytes(core), 48u);
    EXPECT_EQ(DibPixelOffset(core), 60u);
    EXPECT_FALSE(BmpBytesOfDib(core));
    EXPECT_FALSE(WriteDibToPath(core, "/tmp/never-written.bmp"));
    EXPECT_EQ(DibWidth(PackedDib{}), 0);
    EXPECT_FALSE(DibPixelOffset(PackedDib(10, 0)));
}

TEST(PackedDib, UsedColourCountWins)
{
    PackedDib dib = MakeDib(2, 2, 8);
    dib[32] = 3;
    EXPECT_EQ(DibColorCount(dib), 3);
    EXPECT_EQ(DibPaletteBytes(dib), 12u);
}
