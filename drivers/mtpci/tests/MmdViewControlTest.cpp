// The channel view store: its DIB layout byte for byte, its argument checks, bottom-up storing, and frames stored
// while another thread copies them out.
#include "mtpci/MmdViewControl.h"

#include <gtest/gtest.h>

#include <atomic>
#include <numeric>
#include <thread>

namespace {

uint32_t U32(const std::vector<uint8_t>& bytes, size_t at)
{
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16
         | uint32_t(bytes[at + 3]) << 24;
}

}  // namespace

TEST(MmdViewControlTest, AGreyStoreIsAPackedDibWithRowsRoundedUpAndFilledWhite)
{
    MmdViewControl view;
    ASSERT_EQ(view.Init(2, 1001, 3, 2), 1);
    const std::vector<uint8_t> bytes = view.Bytes();
    ASSERT_EQ(bytes.size(), 1064u + 1004u * 6u);
    const std::vector<uint32_t> header = {40, 1004, 6, 0x00080001, 0, 1004 * 6, 0, 0, 256, 256};
    for (size_t i = 0; i < header.size(); ++i)
        EXPECT_EQ(U32(bytes, i * 4), header[i]) << "field " << i;
    EXPECT_EQ(U32(bytes, 40 + 4 * 200), 0x00C8C8C8u) << "grey ramp";
    EXPECT_TRUE(std::all_of(bytes.begin() + 1064, bytes.end(), [](uint8_t b) { return b == 255; }));
    EXPECT_EQ(view.Type(), 1);
    EXPECT_EQ(view.StoredWidth(), 1004);

    MmdViewControl colour;
    ASSERT_EQ(colour.Init(4, 5, 2, 1), 1);
    const std::vector<uint8_t> colourBytes = colour.Bytes();
    EXPECT_EQ(U32(colourBytes, 12), 0x00180001u);
    EXPECT_EQ(U32(colourBytes, 32), 0u);
    EXPECT_EQ(U32(colourBytes, 40 + 4 * 200), 0u) << "no palette for colour";
    EXPECT_EQ(colourBytes.size(), 1064u + 3u * 8u * 2u);
}

TEST(MmdViewControlTest, InvalidArgumentsAndASecondInitChangeNothing)
{
    MmdViewControl view;
    EXPECT_EQ(view.Init(0, 4, 4, 1), -1);
    EXPECT_EQ(view.Init(5, 4, 4, 1), -1);
    EXPECT_EQ(view.Init(1, 0, 4, 1), -2);
    EXPECT_EQ(view.Init(1, 4, 0, 1), -3);
    EXPECT_EQ(view.Init(1, 4, 4, 0), -4);
    EXPECT_FALSE(view.IsInitialised());
    const uint8_t line[4] = {1, 2, 3, 4};
    EXPECT_EQ(view.Store(line, 0), -100);
    ASSERT_EQ(view.Init(1, 4, 1, 1), 1);
    const std::vector<uint8_t> before = view.Bytes();
    EXPECT_EQ(view.Init(3, 8, 8, 2), -100);
    EXPECT_EQ(view.Bytes(), before);
    EXPECT_EQ(view.Store(nullptr, 0), -1);
    EXPECT_EQ(view.Store(line, 1), -2);
}

TEST(MmdViewControlTest, AFrameIsStoredBottomUpIntoItsSlotCountedFromTheEnd)
{
    MmdViewControl view;
    ASSERT_EQ(view.Init(1, 3, 2, 2), 1);  // stored rows of 4 bytes
    const uint8_t top[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(view.Store(top, 0), 1);
    const std::vector<uint8_t> bytes = view.Bytes();
    // Slot 1 first in memory (untouched), then slot 0: its last line first.
    const std::vector<uint8_t> rows(bytes.begin() + 1064, bytes.end());
    EXPECT_EQ(rows, (std::vector<uint8_t>{255, 255, 255, 255, 255, 255, 255, 255, 4, 5, 6, 255, 1, 2, 3, 255}));

    std::vector<uint8_t> dib(size_t(kAcqDibOverhead + 8), 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
    AcqFillDibHeader(*header, 3, 2, 8);
    uint64_t number = 0;
    ASSERT_TRUE(view.CopyTo(0, header, &number));
    EXPECT_EQ(std::vector<uint8_t>(dib.begin() + kAcqDibOverhead, dib.begin() + kAcqDibOverhead + 7),
              (std::vector<uint8_t>{4, 5, 6, 0, 1, 2, 3}));
    EXPECT_EQ(number, 1u);
    ASSERT_TRUE(view.CopyTo(1, header, &number));
    EXPECT_EQ(number, 0u) << "a slot never stored into";

    // The frame buffers take turns: the next frame comes through one whose padding is as white as the first's.
    const uint8_t next[6] = {7, 8, 9, 10, 11, 12};
    ASSERT_EQ(view.Store(next, 0), 1);
    ASSERT_EQ(view.Store(top, 0), 1);
    ASSERT_EQ(view.Store(next, 0), 1);
    const std::vector<uint8_t> after = view.Bytes();
    EXPECT_EQ(std::vector<uint8_t>(after.begin() + 1064 + 8, after.end()),
              (std::vector<uint8_t>{10, 11, 12, 255, 7, 8, 9, 255}));
    ASSERT_TRUE(view.CopyTo(0, header, &number));
    EXPECT_EQ(number, 4u);
    AcqFillDibHeader(*header, 3, 2, 24);
    EXPECT_FALSE(view.CopyTo(0, header)) << "a DIB of another depth";
}

// Every copy taken while another thread stores is one whole frame, and frames come out in the order they went in.
TEST(MmdViewControlTest, CopiesWhileFramesAreStoredAreWholeFramesInOrder)
{
    constexpr int kWidth = 64, kHeight = 32, kFrames = 400;
    MmdViewControl view;
    ASSERT_EQ(view.Init(1, kWidth, kHeight, 1), 1);
    std::atomic<bool> done{false};
    std::thread grab([&] {
        std::vector<uint8_t> frame(size_t(kWidth) * kHeight);
        for (int n = 1; n <= kFrames; ++n) {
            std::fill(frame.begin(), frame.end(), uint8_t(n));
            view.Store(frame.data(), 0);
        }
        done = true;
    });
    std::vector<uint8_t> dib(size_t(kAcqDibOverhead + kWidth * kHeight), 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
    AcqFillDibHeader(*header, kWidth, kHeight, 8);
    uint64_t last = 0;
    int torn = 0, backwards = 0, misnamed = 0;
    while (!done) {
        uint64_t number = 0;
        ASSERT_TRUE(view.CopyTo(0, header, &number));
        const auto rows = dib.begin() + kAcqDibOverhead;
        torn += std::any_of(rows, dib.end(), [&](uint8_t b) { return b != *rows; });
        backwards += number < last;
        misnamed += number > 0 && *rows != uint8_t(number);
        last = number;
    }
    grab.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(backwards, 0);
    EXPECT_EQ(misnamed, 0) << "a frame number that names another frame";
}
