#include "quantor/PlotString.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

struct MatchCase {
    const char* text;
    const char* pattern;
    bool match;
};

struct ParseCase {
    char type;
    const char* text;
    bool ok;
    double value;  // what the stored bytes must read back as
};

double ReadBack(char type, const unsigned char* bytes)
{
    switch (type) {
    case 'c': return static_cast<int8_t>(bytes[0]);
    case 'C': case 'b': return bytes[0];
    case 's': { int16_t v; std::memcpy(&v, bytes, 2); return v; }
    case 'S': { uint16_t v; std::memcpy(&v, bytes, 2); return v; }
    case 'i': case 'l': { int32_t v; std::memcpy(&v, bytes, 4); return v; }
    case 'I': case 'L': { uint32_t v; std::memcpy(&v, bytes, 4); return v; }
    case 'f': { float v; std::memcpy(&v, bytes, 4); return v; }
    default: { double v; std::memcpy(&v, bytes, 8); return v; }
    }
}

}  // namespace

TEST(PlotString, WildcardsConsumeTheWholeText)
{
    const MatchCase cases[] = {
        {"", "*", true},         {"", "?", false},          {"", "", true},         {"a", "", false},
        {"axxbyc", "a*b?c", true}, {"abyc", "a*b?c", true}, {"abc", "a*b?c", false}, {"abyc", "a*b?", false},
        {"abc", "abc*", true},   {"abc", "abc**", true},     {"abc", "ab", false},   {"aab", "*ab", true},
        {"abab", "*ab*ab", true}, {"ab", "?*?", true},       {"a", "?*?", false},
    };
    for (const MatchCase& c : cases)
        EXPECT_EQ(CPlotString(c.text).Match(c.pattern), c.match) << c.text << " ~ " << c.pattern;
}

TEST(PlotString, ParseHonoursTypeRangesSuffixesAndTheZeroRule)
{
    const ParseCase cases[] = {
        {'C', "255", true, 255},       {'C', "256", false, 0},        {'C', "-1", false, 0},
        {'S', "65535", true, 65535},   {'S', "65536", false, 0},      {'S', "-0", false, 0},
        {'I', "4294967295", true, 4294967295.0}, {'I', "4294967296", false, 0},
        {'L', "7l", true, 7},          {'L', "7f", false, 0},
        {'c', "-128", true, -128},     {'c', "127", true, 127},       {'c', "128", false, 0},
        {'s', "-32768", true, -32768}, {'s', "32768", false, 0},
        {'i', "-2147483648", true, -2147483648.0}, {'i', "2147483648", false, 0}, {'i', "2.9", true, 2},
        {'i', "-2.9", true, -2},       {'i', "5f", false, 0},        {'l', "5L", true, 5},
        {'f', "1.5f", true, 1.5},      {'f', "1.5F  ", true, 1.5},    {'f', "4e38", false, 0},
        {'d', "4e38", true, 4e38},     {'d', "2.5f", true, 2.5},      {'d', "2.5l", false, 0},
        {'i', "  \t12  ", true, 12},   {'i', "12x", false, 0},        {'i', "", false, 0},
        {'i', "   ", false, 0},        {'i', "0", true, 0},           {'i', "-0", false, 0},
        {'i', ".0", false, 0},         {'d', "0.0", true, 0},
        {'b', "true", true, 1},        {'b', "TRUE", true, 1},        {'b', "1", true, 1},
        {'b', "false", true, 0},       {'b', "FALSE", true, 0},       {'b', "0", true, 0},
        {'b', "True", false, 0},       {'b', "1 ", false, 0},         {'x', "1", false, 0},
    };
    for (const ParseCase& c : cases) {
        unsigned char bytes[8];
        std::memset(bytes, 0xA5, sizeof bytes);
        const bool ok = CPlotString(c.text).Parse(c.type, bytes);
        EXPECT_EQ(ok, c.ok) << c.type << " '" << c.text << "'";
        if (ok)
            EXPECT_DOUBLE_EQ(ReadBack(c.type, bytes), c.value) << c.type << " '" << c.text << "'";
        else
            for (unsigned char b : bytes)
                EXPECT_EQ(b, 0xA5) << "a failed parse stored something: " << c.type << " '" << c.text << "'";
    }
}

TEST(PlotString, ParseStoresOnlyTheWidthOfItsType)
{
    unsigned char bytes[8];
    std::memset(bytes, 0xA5, sizeof bytes);
    ASSERT_TRUE(CPlotString("-1").Parse('s', bytes));
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFF);
    EXPECT_EQ(bytes[2], 0xA5);
}

TEST(PlotString, FormatGrowsItsBufferAndKeepsTheTextOnAnEmptyResult)
{
    CPlotString text("kept");
    EXPECT_EQ(text.Format("%s", ""), 0);
    EXPECT_EQ(text.Text(), "kept");
    const std::string longer(100, 'x');
    EXPECT_EQ(text.Format("%s-%d", longer.c_str(), 42), 103);
    EXPECT_EQ(text.Text(), longer + "-42");
    EXPECT_EQ(text.Length(), 103);
}

TEST(PlotString, AssignAppendAndCompare)
{
    CPlotString empty;
    empty.Append(CPlotString("grid"));
    EXPECT_EQ(empty.Text(), "grid");
    CPlotString none(nullptr);
    EXPECT_EQ(none.Length(), 0);

    EXPECT_EQ(CPlotString("abc").Compare("abc"), 0);
    EXPECT_LT(CPlotString("ab").Compare("abc"), 0);
    EXPECT_GT(CPlotString("abd").Compare("abc"), 0);
    // Bytes above 127 sort after ASCII, as unsigned characters do.
    EXPECT_GT(CPlotString("\xC3").Compare("z"), 0);

    CPlotString number;
    const std::pair<double, const char*> values[] = {{1.0, "1"}, {0.5, "0.5"}, {-2.25, "-2.25"},
                                                     {0.1, "0.1"}, {1234567890123456.0, "1234567890123456"}};
    for (const auto& [value, text] : values) {
        number.AssignDouble(value);
        EXPECT_EQ(number.Text(), text);
    }
}

TEST(PlotString, IntegerPower)
{
    EXPECT_EQ(CPlotString::IntPower(2, 10), 1024);
    EXPECT_EQ(CPlotString::IntPower(-3, 3), -27);
    EXPECT_EQ(CPlotString::IntPower(7, 0), 1);
    EXPECT_EQ(CPlotString::IntPower(1, -5), 1);
    EXPECT_EQ(CPlotString::IntPower(-1, -3), -1);
    EXPECT_EQ(CPlotString::IntPower(2, -1), 0);  // integer arithmetic
    EXPECT_EQ(CPlotString::IntPower(0, -1), 0);  // no division by zero
}
