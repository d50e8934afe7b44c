#include "strings/StoredText.h"

#include <gtest/gtest.h>

TEST(StoredText, KeepsUtf8AndDecodesWindowsKorean)
{
    struct Case { std::string stored; std::string utf8; };
    const Case cases[] = {
        {"Line-1", "Line-1"},
        {"\xED\x99\x95\xEC\x9D\xB8", "\xED\x99\x95\xEC\x9D\xB8"},   // "확인" already UTF-8
        {"\xC8\xAE\xC0\xCE", "\xED\x99\x95\xEC\x9D\xB8"},           // "확인" in CP949
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StoredTextToUtf8(c.stored), c.utf8);
}

TEST(StoredText, RejectsMalformedUtf8)
{
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));        // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));    // surrogate
    EXPECT_FALSE(IsValidUtf8("ab\xE6\x97"));      // cut sequence
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
}
