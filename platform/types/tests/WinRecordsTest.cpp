#include "types/WinRecords.h"

#include <gtest/gtest.h>

TEST(ColorRef, ChannelsAreRedLowBlueHigh)
{
    const COLORREF c = RGB(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x563412u);
    EXPECT_EQ(GetRValue(c), 0x12);
    EXPECT_EQ(GetGValue(c), 0x34);
    EXPECT_EQ(GetBValue(c), 0x56);
    EXPECT_EQ(RGB(255, 0, 0), 0x0000FFu);
}

TEST(WinRecords, FieldOffsetsMatchTheWindowsLayout)
{
    EXPECT_EQ(offsetof(LOGFONTA, lfWeight), 16u);
    EXPECT_EQ(offsetof(LOGFONTA, lfItalic), 20u);
    EXPECT_EQ(offsetof(LOGFONTA, lfFaceName), 28u);
    EXPECT_EQ(offsetof(LOGPEN, lopnColor), 12u);
    EXPECT_EQ(offsetof(BITMAPINFOHEADER, biBitCount), 14u);
    EXPECT_EQ(offsetof(BITMAPINFOHEADER, biClrUsed), 32u);
}
