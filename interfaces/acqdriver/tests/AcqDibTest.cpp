#include "acqdriver/AcqDib.h"

#include <gtest/gtest.h>

TEST(AcqDib, SizesAreComputedIn64BitsAndAbsurdOnesRefused)
{
    EXPECT_EQ(AcqDibStride(37, 24), 112);
    EXPECT_EQ(AcqDibStride(1, 1), 4);
    EXPECT_EQ(AcqDibBufferSize(640, -480, 32), 640 * 4 * 480 + 1064);
    EXPECT_EQ(AcqDibBufferSize(0, 10, 32), -1);
    EXPECT_EQ(AcqDibBufferSize(10, 10, 12), -1);
    EXPECT_EQ(AcqDibBufferSize(INT32_MAX, INT32_MAX, 32), -1);  // would wrap in 32 bits
    EXPECT_EQ(AcqDibBufferSize(70000, 70000, 32), -1);          // beyond any camera
}

TEST(AcqDib, MirroredCopyOfTheOverlapKeepsPaddingAndTheRestUntouched)
{
    // Frame 3x2 of 24 bits; DIB 5x1 (wider, shorter).
    const uint8_t frame[2 * 12] = {1, 1, 1, 2, 2, 2, 3, 3, 3, 0, 0, 0, 4, 4, 4, 5, 5, 5, 6, 6, 6, 0, 0, 0};
    std::vector<uint8_t> dib(size_t(AcqDibBufferSize(5, 1, 24)), 0xEE);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
    AcqFillDibHeader(*header, 5, -1, 24);
    ASSERT_TRUE(AcqCopyFrameToDib({frame, 3, 2, 24, 12}, header, AcqRowMirror::Horizontal));
    const uint8_t* row = dib.data() + 40;
    EXPECT_EQ(std::vector<uint8_t>(row, row + 16),
              (std::vector<uint8_t>{3, 3, 3, 2, 2, 2, 1, 1, 1, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));

    header->biBitCount = 32;  // another depth than the frame's: nothing is written
    EXPECT_FALSE(AcqCopyFrameToDib({frame, 3, 2, 24, 12}, header));
}

TEST(AcqDib, AFrameReadBottomUpArrivesTurnedWithOrWithoutMirror)
{
    // The same 3x2 frame read from its last row up (negative stride), into a DIB of its size.
    const uint8_t frame[2 * 12] = {1, 1, 1, 2, 2, 2, 3, 3, 3, 0, 0, 0, 4, 4, 4, 5, 5, 5, 6, 6, 6, 0, 0, 0};
    const AcqFrameView bottomUp{frame + 12, 3, 2, 24, -12};
    struct Case { AcqRowMirror mirror; std::vector<uint8_t> rows; };
    for (const Case& c : {Case{AcqRowMirror::None, {4, 4, 4, 5, 5, 5, 6, 6, 6, 1, 1, 1, 2, 2, 2, 3, 3, 3}},
                          Case{AcqRowMirror::Horizontal, {6, 6, 6, 5, 5, 5, 4, 4, 4, 3, 3, 3, 2, 2, 2, 1, 1, 1}}}) {
        std::vector<uint8_t> dib(size_t(AcqDibBufferSize(3, 2, 24)), 0xEE);
        auto* header = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
        AcqFillDibHeader(*header, 3, 2, 24);
        ASSERT_TRUE(AcqCopyFrameToDib(bottomUp, header, c.mirror));
        const uint8_t* rows = dib.data() + 40;
        EXPECT_EQ(std::vector<uint8_t>(rows, rows + 9), std::vector<uint8_t>(c.rows.begin(), c.rows.begin() + 9));
        EXPECT_EQ(std::vector<uint8_t>(rows + 12, rows + 21), std::vector<uint8_t>(c.rows.begin() + 9, c.rows.end()));
        EXPECT_EQ(rows[9], 0xEE) << "padding stays the host's";
    }
}
