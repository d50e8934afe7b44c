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
    // scripts/install-deps.sh generates the locale.
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(Format("%.1f", 2.5), "2.5");
    EXPECT_EQ(ParseDouble("2.5"), 2.5);
    std::setlocale(LC_NUMERIC, "C");
}

TEST(Format, LongTextsAreNotCut)
{
    const std::string long_text(5000, 'x');
    EXPECT_EQ(Format("<%s>", long_text.c_str()).size(), 5002u);
}

TEST(ParseDouble, ReadsTheLeadingNumberLikeAtof)
{
    const struct { const char* text; double value; } cases[] = {
        {"30.5", 30.5}, {"  7 mm", 7.0}, {"-1e2x", -100.0}, {"+.25", 0.25}, {"2,5", 2.0}, {"abc", 0.0}, {"", 0.0},
        {nullptr, 0.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseDouble(c.text), c.value) << (c.text ? c.text : "null");
}
