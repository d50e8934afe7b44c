// The settings class over a temporary ini file: what each writer stores (byte-exact texts), what each reader makes
// of stored texts, the growing reads, and the refusals of copy and move.
#include "kh1300/ProfileIni.h"

#include "inifile/PrivateProfile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <functional>

namespace {

class ProfileIniTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        m_path = m_folder.filePath("settings.ini").toStdString();
        ini.SetPath(m_path.c_str());
    }
    std::string Stored(const char* key) const { return GetPrivateProfileString("S", key, "<missing>", m_path.c_str()); }
    void Store(const char* key, const char* value) const
    {
        ASSERT_EQ(WritePrivateProfileString("S", key, value, m_path.c_str()), 1);
    }

    QTemporaryDir m_folder;
    std::string m_path;
    CProfileIni ini;
};

TEST_F(ProfileIniTest, WritersStoreTheirTexts)
{
    const uint8_t block[] = {0x0A, 0xFF};
    struct Case { const char* key; std::function<int()> write; const char* text; };
    const Case cases[] = {
        {"d", [&] { return ini.WriteDouble("S", "d", 2.5, 3); }, "2.500"},
        {"dDefault", [&] { return ini.WriteDouble("S", "dDefault", 2.5); }, "2.500000"},
        {"neg", [&] { return ini.WriteInt("S", "neg", -5, 10); }, "-5"},
        {"bin", [&] { return ini.WriteInt("S", "bin", 10, 2); }, "1010"},
        {"zeroBin", [&] { return ini.WriteInt("S", "zeroBin", 0, 2); }, "0"},
        {"oct", [&] { return ini.WriteInt("S", "oct", 8, 8); }, "10"},
        {"hex", [&] { return ini.WriteInt("S", "hex", 255, 16); }, "FF"},
        {"negHex", [&] { return ini.WriteInt("S", "negHex", -1, 16); }, "FFFFFFFF"},
        {"base7", [&] { return ini.WriteInt("S", "base7", 42, 7); }, "42"},
        {"uint", [&] { return ini.WriteUInt("S", "uint", 4000000000u, 10); }, "4000000000"},
        {"bool", [&] { return ini.WriteBool("S", "bool", true); }, "1"},
        {"char", [&] { return ini.WriteChar("S", "char", 'Q'); }, "Q"},
        {"block", [&] { return ini.WriteDataBlock("S", "block", block, 2); }, "0AFF"},
        {"point", [&] { return ini.WritePoint("S", "point", POINT{1, -2}); }, "01000000FEFFFFFF"},
        {"array", [&] { return ini.WriteArray("S", "array", {"a", "b", "c"}); }, "a,b,c"},
        {"arrayTwo", [&] { return ini.WriteArray("S", "arrayTwo", {"a", "b", "c"}, 2, "; "); }, "a; b"},
        {"empty", [&] { return ini.WriteString("S", "empty", nullptr); }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(c.write(), 1);
        EXPECT_EQ(Stored(c.key), c.text);
    }
    // No name, no write.
    EXPECT_EQ(ini.WriteString("S", "", "x"), 0);
    EXPECT_EQ(ini.WriteInt(nullptr, "k", 1), 0);
    EXPECT_EQ(ini.GetInt("S", nullptr, 77), 77);
}

TEST_F(ProfileIniTest, ReadersParseStoredTexts)
{
    Store("neg", "-5");
    Store("bin", "1010");
    Store("hex", "ff");
    Store("yes", "YES");
    Store("true", "true");
    Store("one", "1");
    Store("zero", "0");
    Store("no", "no");
    Store("empty", "");
    Store("double", "2.75");
    Store("long", (std::string(70, '1')).c_str());
    EXPECT_EQ(ini.GetInt("S", "neg", 0), -5);
    EXPECT_EQ(ini.GetInt("S", "bin", 0, 2), 10);
    EXPECT_EQ(ini.GetInt("S", "hex", 0, 16), 255);
    EXPECT_EQ(ini.GetInt("S", "missing", 42), 42);
    EXPECT_EQ(ini.GetInt("S", "empty", 42), 42);
    struct BoolCase { const char* key; bool defaultValue; bool expected; };
    for (const BoolCase& c : {BoolCase{"yes", false, true}, BoolCase{"true", false, true}, BoolCase{"one", false, true},
                              BoolCase{"zero", true, false}, BoolCase{"no", true, false},
                              BoolCase{"empty", true, true}, BoolCase{"empty", false, false}}) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(ini.GetBool("S", c.key, c.defaultValue), c.expected);
    }
    EXPECT_DOUBLE_EQ(ini.GetDouble("S", "double", 0.0), 2.75);
    EXPECT_EQ(ini.GetChar("S", "double", 'x'), '2');
    EXPECT_EQ(ini.GetChar("S", "empty", 'x'), 'x');
    // Only the first 64 characters count: 64 ones in binary do not fit 32 bits, but do not overrun either.
    EXPECT_EQ(ini.GetUInt("S", "long", 0, 10), uint32_t(std::strtoull(std::string(64, '1').c_str(), nullptr, 10)));
}

TEST_F(ProfileIniTest, RangeCheckedReadsFallBackOutsideTheRange)
{
    struct Case { const char* stored; int expected; };
    for (const Case& c : {Case{"3", 3}, Case{"8", 8}, Case{"9", 0}, Case{"-1", 0}, Case{"12", 0},
                          Case{"4294967299", 0}, Case{"x", 0}}) {
        SCOPED_TRACE(c.stored);
        Store("r", c.stored);
        EXPECT_EQ(ini.GetIntInRange("S", "r", 0, 0, 8), c.expected);
    }
}

TEST_F(ProfileIniTest, DataBlocksPointsAndRects)
{
    const uint8_t bytes[] = {0x0A, 0xFF, 0x10};
    ASSERT_EQ(ini.WriteDataBlock("S", "b", bytes, 3), 1);
    uint8_t out[4] = {};
    EXPECT_EQ(ini.GetDataBlock("S", "b", nullptr, 0), 3);
    EXPECT_EQ(ini.GetDataBlock("S", "b", nullptr, 0, 1), 2);
    EXPECT_EQ(ini.GetDataBlock("S", "b", out, 2, 1), 2);
    EXPECT_EQ(out[0], 0xFF);
    EXPECT_EQ(out[1], 0x10);
    EXPECT_EQ(ini.GetDataBlock("S", "b", out, 4, 5), 0);
    for (const char* bad : {"0AFG", "0AF", "0A FF"}) {
        SCOPED_TRACE(bad);
        Store("bad", bad);
        EXPECT_EQ(ini.GetDataBlock("S", "bad", out, 4), 0);
        EXPECT_EQ(ini.GetDataBlock("S", "bad", nullptr, 0), 0);
    }

    const RECT rect{-3, 4, 1000000, -2000000};
    ASSERT_EQ(ini.WriteRect("S", "rect", rect), 1);
    const RECT read = ini.GetRect("S", "rect", RECT{});
    EXPECT_EQ(read.left, -3);
    EXPECT_EQ(read.top, 4);
    EXPECT_EQ(read.right, 1000000);
    EXPECT_EQ(read.bottom, -2000000);
    ASSERT_EQ(ini.WritePoint("S", "point", POINT{7, -8}), 1);
    EXPECT_EQ(ini.GetPoint("S", "point", POINT{}).y, -8);
    // A block of the wrong length is no point or rectangle.
    EXPECT_EQ(ini.GetPoint("S", "rect", POINT{5, 6}).x, 5);
    EXPECT_EQ(ini.GetRect("S", "point", RECT{9, 0, 0, 0}).left, 9);
}

TEST_F(ProfileIniTest, LongValuesAndSectionsReadBackWhole)
{
    for (const size_t length : {511u, 512u, 1023u, 1024u, 3000u}) {
        SCOPED_TRACE(length);
        std::string value(length, 'v');
        value.back() = 'e';
        ASSERT_EQ(ini.WriteString("S", "long", value.c_str()), 1);
        EXPECT_EQ(ini.GetString("S", "long"), value);
    }
    for (int i = 0; i < 60; ++i)
        ASSERT_EQ(ini.WriteInt("Big", ("key" + std::to_string(i)).c_str(), i * 1000), 1);
    const std::vector<std::string> lines = ini.GetSectionLines("Big");
    ASSERT_EQ(lines.size(), 60u);
    EXPECT_EQ(lines[59], "key59=59000");
    size_t length = 0;
    for (const std::string& line : lines)
        length += line.size() + 1;
    EXPECT_GT(length, 512u);
    EXPECT_EQ(ini.GetSection("Big", nullptr, 0), length + 2);
    EXPECT_EQ(ini.GetKeyNames("Big")[3], "key3");
    EXPECT_EQ(ini.GetSectionNames(), (std::vector<std::string>{"S", "Big"}));
}

TEST_F(ProfileIniTest, AHugeDoubleIsWrittenWholeWithoutOverrun)
{
    ASSERT_EQ(ini.WriteDouble("S", "huge", 1e300), 1);
    const std::string text = Stored("huge");
    EXPECT_GT(text.size(), 300u);
    EXPECT_EQ(text.substr(0, 4), "1000");
    EXPECT_EQ(text.substr(text.size() - 7), ".000000");
}

TEST_F(ProfileIniTest, ArraysAndIncrements)
{
    Store("list", "a,,b");
    EXPECT_EQ(ini.GetArray("S", "list"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(ini.GetArray("S", "missing").empty());
    Store("semi", "x;;y");
    EXPECT_EQ(ini.GetArray("S", "semi", ";;"), (std::vector<std::string>{"x", "y"}));

    EXPECT_EQ(ini.IncreaseInt("S", "count", 5, 16), 1);
    EXPECT_EQ(ini.IncreaseInt("S", "count", 11, 16), 1);
    EXPECT_EQ(Stored("count"), "10");
    EXPECT_EQ(ini.IncreaseDouble("S", "dbl", 0.25, 2), 1);
    EXPECT_EQ(Stored("dbl"), "0.25");
    EXPECT_EQ(ini.InvertBool("S", "flag"), 1);
    EXPECT_EQ(Stored("flag"), "1");
    EXPECT_EQ(ini.InvertBool("S", "flag"), 1);
    EXPECT_EQ(Stored("flag"), "0");
}

TEST_F(ProfileIniTest, KeyExistsIsFalseForTheSentinelValue)
{
    Store("plain", "x");
    Store("blank", "");
    Store("sentinel", CProfileIni::kKeySentinel);
    EXPECT_TRUE(ini.KeyExists("S", "plain"));
    EXPECT_TRUE(ini.KeyExists("s", "PLAIN"));
    EXPECT_TRUE(ini.KeyExists("S", "blank"));
    EXPECT_FALSE(ini.KeyExists("S", "missing"));
    EXPECT_FALSE(ini.KeyExists("S", "sentinel"));
    EXPECT_TRUE(ini.SectionExists("s"));
    EXPECT_FALSE(ini.SectionExists("T"));
}

TEST_F(ProfileIniTest, CopyAndMoveRefuseWhatTheyMustAndCopyLinesOtherwise)
{
    Store("a", "1");
    Store("b", "two words");
    ASSERT_EQ(WritePrivateProfileString("T", "old", "x", m_path.c_str()), 1);
    EXPECT_EQ(ini.CopySection("S", "s", false), 0);
    EXPECT_EQ(ini.CopySection("S", "T", true), 0);
    EXPECT_EQ(ini.CopySection("Missing", "U", false), 0);
    EXPECT_EQ(ini.CopySection("S", "", false), 0);

    EXPECT_EQ(ini.CopySection("S", "T", false), 1);
    EXPECT_EQ(ini.GetSectionLines("T"), ini.GetSectionLines("S"));
    EXPECT_FALSE(ini.KeyExists("T", "old"));
    EXPECT_EQ(ini.MoveSection("T", "U", true), 1);
    EXPECT_FALSE(ini.SectionExists("T"));
    EXPECT_EQ(ini.GetSectionLines("U"), (std::vector<std::string>{"a=1", "b=two words"}));

    EXPECT_EQ(ini.CopyKey("S", "a", "s", "A", false), 0);
    EXPECT_EQ(ini.CopyKey("S", "missing", "U", "z", false), 0);
    EXPECT_EQ(ini.CopyKey("S", "a", "U", "b", true), 0);
    EXPECT_EQ(ini.CopyKey("S", "b", "U", "c", true), 1);
    EXPECT_EQ(ini.GetString("U", "c"), "two words");
    EXPECT_EQ(ini.MoveKey("S", "a", "S", "a2", false), 1);
    EXPECT_FALSE(ini.KeyExists("S", "a"));
    EXPECT_EQ(ini.GetString("S", "a2"), "1");
    EXPECT_EQ(ini.DeleteKey("S", "a2"), 1);
    EXPECT_EQ(ini.DeleteSection("U"), 1);
    EXPECT_FALSE(ini.SectionExists("U"));
}

TEST_F(ProfileIniTest, PathCopiesAndAnEmptyPathFailsWrites)
{
    char buffer[8];
    EXPECT_EQ(ini.GetPath(buffer, sizeof buffer), 7);
    EXPECT_EQ(std::string(buffer), m_path.substr(0, 7));
    CProfileIni none;
    EXPECT_EQ(none.WriteInt("S", "k", 1), 0);
    EXPECT_EQ(none.GetInt("S", "k", 3), 3);
    EXPECT_EQ(none.GetPath(), "");
}

}  // namespace
