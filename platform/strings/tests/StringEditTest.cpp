#include "strings/StringEdit.h"

#include <gtest/gtest.h>

TEST(StringEdit, TrimsWhiteSpaceOrOneCharacter)
{
    struct Case { std::string text; char ch; std::string left, right, both; };
    const Case cases[] = {
        {" \t a b \r\n", 0, "a b \r\n", " \t a b", "a b"},
        {"   ", 0, "", "", ""},
        {"", 0, "", "", ""},
        {"12.500", '0', "12.500", "12.5", "12.5"},
        {"0.000", '0', ".000", "0.", "."},
        {"100", '0', "100", "1", "1"},
        {"..5..", '.', "5..", "..5", "5"},
    };
    for (const Case& c : cases) {
        std::string left = c.text, right = c.text, both = c.text;
        if (c.ch) {
            TrimLeft(left, c.ch), TrimRight(right, c.ch), Trim(both, c.ch);
        } else {
            TrimLeft(left), TrimRight(right), Trim(both);
        }
        EXPECT_EQ(left, c.left) << '"' << c.text << '"';
        EXPECT_EQ(right, c.right) << '"' << c.text << '"';
        EXPECT_EQ(both, c.both) << '"' << c.text << '"';
    }
}

TEST(StringEdit, TrailingZerosThenPointLeavesAWholeNumber)
{
    std::string value = "20.000";
    EXPECT_EQ(TrimRight(TrimRight(value, '0'), '.'), "20");
}

TEST(StringEdit, ReplacesEveryOccurrenceCaseSensitively)
{
    struct Case { std::string text, from, to, result; int count; };
    const Case cases[] = {
        {"HELP.HLP", ".HLP", ".pdf", "HELP.pdf", 1},
        {"help.hlp", ".HLP", ".pdf", "help.hlp", 0},
        {"aaa", "a", "aa", "aaaaaa", 3},          // never rescans a replacement
        {"a-b-c", "-", "", "abc", 2},
        {"abc", "", "x", "abc", 0},
        {"", "a", "b", "", 0},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(Replace(text, c.from, c.to), c.count) << c.text;
        EXPECT_EQ(text, c.result) << c.text;
    }
}

TEST(StringEdit, CaseChangesTouchAsciiOnly)
{
    std::string mixed = "Bmp.\xED\x99\x95Z";  // "확" keeps its bytes
    EXPECT_EQ(MakeLower(mixed), "bmp.\xED\x99\x95z");
    EXPECT_EQ(MakeUpper(mixed), "BMP.\xED\x99\x95Z");
}
