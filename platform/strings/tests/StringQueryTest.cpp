#include "strings/StringQuery.h"

#include <gtest/gtest.h>

#include <climits>

TEST(StringQuery, FindsForwardAndBackward)
{
    const std::string path = "/data/images/a.b.qrx";
    EXPECT_EQ(Find(path, ".qrx"), 16);
    EXPECT_EQ(Find(path, ".QRX"), -1);
    EXPECT_EQ(Find(path, '.'), 14);
    EXPECT_EQ(Find(path, '.', 15), 16);
    EXPECT_EQ(Find(path, '.', 17), -1);
    EXPECT_EQ(Find(path, "a", 100), -1);
    EXPECT_EQ(Find(path, "a", -1), -1);
    EXPECT_EQ(ReverseFind(path, '.'), 16);
    EXPECT_EQ(ReverseFind(path, '/'), 12);
    EXPECT_EQ(ReverseFind(path, ';'), -1);
    EXPECT_EQ(ReverseFind("", '.'), -1);
}

TEST(StringQuery, PiecesAreClampedToTheText)
{
    struct Case { int first, count; std::string mid; };
    const Case cases[] = {
        {0, 3, "abc"},  {2, 2, "cd"},   {4, 10, "ef"}, {6, 1, ""},  {9, 2, ""},
        {-3, 2, "ab"},  {2, -1, ""},    {1, INT_MAX, "bcdef"},
    };
    const std::string text = "abcdef";
    for (const Case& c : cases)
        EXPECT_EQ(Mid(text, c.first, c.count), c.mid) << c.first << "," << c.count;
    EXPECT_EQ(Mid(text, 4), "ef");
    EXPECT_EQ(Mid(text, 7), "");
    EXPECT_EQ(Mid(text, -1), "abcdef");

    EXPECT_EQ(Left(text, 2), "ab");
    EXPECT_EQ(Left(text, 99), "abcdef");
    EXPECT_EQ(Left(text, -1), "");
    EXPECT_EQ(Right(text, 2), "ef");
    EXPECT_EQ(Right(text, 99), "abcdef");
    EXPECT_EQ(Right(text, -1), "");
}

TEST(StringQuery, ComparesWithoutAsciiCase)
{
    EXPECT_EQ(CompareNoCase("BMP", "bmp"), 0);
    EXPECT_LT(CompareNoCase("a", "B"), 0);
    EXPECT_GT(CompareNoCase("b", "A"), 0);
    EXPECT_LT(CompareNoCase("abc", "ABCD"), 0);
    EXPECT_GT(CompareNoCase("\xED", "a"), 0);  // bytes above ASCII order after letters, as unsigned
    EXPECT_EQ(CompareNoCase("", ""), 0);
}

TEST(StringQuery, SplitKeepsEmptyFields)
{
    using Fields = std::vector<std::string>;
    EXPECT_EQ(Split("a.bmp;b.tif;", ';'), (Fields{"a.bmp", "b.tif", ""}));
    EXPECT_EQ(Split(";;x", ';'), (Fields{"", "", "x"}));
    EXPECT_EQ(Split("one", ';'), (Fields{"one"}));
    EXPECT_EQ(Split("", ';'), (Fields{""}));
}
