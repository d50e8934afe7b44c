#include "strings/Format.h"

#include <gtest/gtest.h>

#include <clocale>

TEST(Format, TwoStageFormatsOfValueStrings)
{
    const std::string position = Format(Format("(%%.%df,%%.%df)", 2, 2).c_str(), 5.0, 10.0);
    EXPECT_EQ(position, "(5.00,10.00)");
    EXPECT_EQ(Format(Format("%%.%df", 3).c_str(), 3.14159), "3.142");
    EXPECT_EQ(Format("%-6s|%d", "ab", -4), "ab    |-4");
    EXPECT_EQ(Format("%s", ""), "");
}

TEST(Format, IgnoresACommaDecimalLocale)
{
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (!german)
        german = std::setlocale(LC_NUMERIC, "C.UTF-8");  // the test still checks the C result
    EXPECT_EQ(Format("%.1f", 2.5), "2.5");
    std::setlocale(LC_NUMERIC, "C");
}

TEST(Format, LongTextsAreNotCut)
{
    const std::string long_text(5000, 'x');
    EXPECT_EQ(Format("<%s>", long_text.c_str()).size(), 5002u);
}
