#include "core/CIniFile.h"
#include "core/VistrelIni.h"
#include "inifile/PrivateProfile.h"

#include "CoreTestFolder.h"

namespace {
class CIniFileTest : public CoreTestFolder
{
protected:
    std::string File() const { return Path("settings.ini"); }
    void Store(const char* value) { ASSERT_EQ(WritePrivateProfileString("S", "k", value, File().c_str()), 1); }
};

TEST_F(CIniFileTest, BoolReadsWordsAndNumbers)
{
    struct Case
    {
        const char* text;
        int defaultValue;
        int expected;
    };
    const Case cases[] = {
        {"yes", 0, 1}, {"TRUE", 0, 1}, {"Yes", 0, 1},   {"7", 0, 1}, {"-2", 0, 1},
        {"no", 1, 0},  {"0", 1, 0},    {"false", 1, 0}, {"", 1, 1},  {"", 0, 0},
    };
    for (const Case& c : cases) {
        Store(c.text);
        EXPECT_EQ(CIniFile(File()).GetBool("S", "k", c.defaultValue), c.expected) << '"' << c.text << '"';
    }
    EXPECT_EQ(CIniFile(File()).GetBool("S", "missing", 1), 1);
}

TEST_F(CIniFileTest, IntReadsAsThirtyTwoBitStrtoul)
{
    struct Case
    {
        const char* text;
        int base;
        uint32_t expected;
    };
    const Case cases[] = {
        {"0x1F", 16, 31},
        {"1F", 16, 31},
        {"12", 5, 12},  // unsupported bases read base 10
        {"101", 2, 5},
        {"17", 8, 15},
        {"-1", 10, 0xFFFFFFFFu},
        {"-5", 10, static_cast<uint32_t>(-5)},
        // Past 32 bits the value saturates instead of keeping its low bits (4294967296 would read 0).
        {"4294967296", 10, 0xFFFFFFFFu},
        {"99999999999999999999999", 10, 0xFFFFFFFFu},
        {"-4294967296", 10, 0xFFFFFFFFu},
        {"4294967295", 10, 0xFFFFFFFFu},
        {"42 apples", 10, 42},
        {"abc", 10, 0},
        {"--5", 10, 0},
        {"- 5", 10, 0},
    };
    for (const Case& c : cases) {
        Store(c.text);
        EXPECT_EQ(CIniFile(File()).GetInt("S", "k", 7, c.base), c.expected) << '"' << c.text << "\" base " << c.base;
    }
    Store("");
    EXPECT_EQ(CIniFile(File()).GetInt("S", "k", 7, 10), 7u);
    EXPECT_EQ(CIniFile(File()).GetInt("S", "missing", 7, 10), 7u);
}

TEST_F(CIniFileTest, WriteIntFormatsByBase)
{
    struct Case
    {
        int32_t value;
        int base;
        const char* expected;
    };
    const Case cases[] = {
        {5, 2, "101"},  {0, 2, "0"},     {-1, 2, "11111111111111111111111111111111"},
        {8, 8, "10"},   {255, 16, "FF"}, {-1, 16, "FFFFFFFF"},
        {-3, 10, "-3"}, {42, 7, "42"},
    };
    CIniFile ini(File());
    for (const Case& c : cases) {
        ASSERT_EQ(ini.WriteInt("S", "k", c.value, c.base), 1);
        EXPECT_EQ(GetPrivateProfileString("S", "k", "?", File().c_str()), c.expected) << c.value << " base " << c.base;
        EXPECT_EQ(ini.GetInt("S", "k", 0, c.base), static_cast<uint32_t>(c.value)) << c.value << " base " << c.base;
    }
    ASSERT_EQ(ini.WriteBool("S", "b", 7), 1);
    EXPECT_EQ(GetPrivateProfileString("S", "b", "?", File().c_str()), "1");
}

TEST_F(CIniFileTest, NullNamesAndPathsGiveDefaultsAndRefuseWrites)
{
    CIniFile ini(File());
    EXPECT_EQ(ini.GetString(nullptr, "k", "d"), "d");
    EXPECT_EQ(ini.GetString("S", nullptr, nullptr), "");
    EXPECT_EQ(ini.WriteString(nullptr, "k", "v"), 0);
    EXPECT_EQ(ini.WriteString("S", nullptr, "v"), 0);
    ASSERT_EQ(ini.WriteString("S", "k", nullptr), 1);
    EXPECT_EQ(ini.GetString("S", "k", "d"), "");

    CIniFile nowhere(nullptr);
    EXPECT_EQ(nowhere.GetString("S", "k", "d"), "d");
    EXPECT_EQ(nowhere.WriteString("S", "k", "v"), 0);
}

TEST_F(CIniFileTest, FileNameOfPath)
{
    EXPECT_EQ(GetFileNameOfPath("/a/b/image 1.qrx"), "image 1.qrx");
    EXPECT_EQ(GetFileNameOfPath("image.bmp"), "image.bmp");
    EXPECT_EQ(GetFileNameOfPath("/a/b/"), "");
}

TEST_F(CIniFileTest, ProgramSettingsFileLivesInTheRootAndKeepsItsDefaults)
{
    // Without a root nothing is read or written, not even in the current directory.
    AppEnvironment() = CAppEnvironment();
    std::filesystem::current_path(Root());
    EXPECT_TRUE(GetZoomFitMode());
    EXPECT_EQ(GetSaveDefExtIndex(), -1);
    EXPECT_EQ(SetZoomFitMode(false), 0);
    EXPECT_FALSE(std::filesystem::exists(Path(kVistrelIniName)));

    std::filesystem::create_directories(Path("program"));
    AppEnvironment().Init(Path("program/Vistrel"));
    EXPECT_TRUE(GetZoomFitMode());
    EXPECT_EQ(GetSaveDefExtIndex(), -1);
    EXPECT_EQ(GetLastSelFolder(), "");

    ASSERT_EQ(SetZoomFitMode(false), 1);
    ASSERT_EQ(SetSaveDefExtIndex(3), 1);
    ASSERT_EQ(SetLastSelFolder("/data/모음"), 1);
    EXPECT_FALSE(GetZoomFitMode());
    EXPECT_EQ(GetSaveDefExtIndex(), 3);
    EXPECT_EQ(GetLastSelFolder(), "/data/모음");
    ASSERT_EQ(SetSaveDefExtIndex(-1), 1);
    EXPECT_EQ(GetSaveDefExtIndex(), -1);
    EXPECT_EQ(GetPrivateProfileString("CONFIG", "ZoomFitMode", "?", Path("program/VISTREL.INI").c_str()), "0");
}
}  // namespace
