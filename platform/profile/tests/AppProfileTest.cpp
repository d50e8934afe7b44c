#include "profile/CAppProfile.h"
#include "profile/CRegKey.h"

#include "RegistryTestStore.h"

#include <cstring>

namespace {

class AppProfile : public RegistryTestStore
{
protected:
    CAppProfile profile_{"QRX", "Vistrel"};
};

std::vector<BYTE> Pattern(size_t size)
{
    std::vector<BYTE> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<BYTE>((i * 31 + 7) % 256);
    bytes[0] = 0;
    return bytes;
}

} // namespace

TEST_F(AppProfile, MissingEntriesGiveDefaultsAndReadingCreatesNothing)
{
    EXPECT_EQ(profile_.GetProfileInt("UI", "Version", -1), -1);
    EXPECT_EQ(profile_.GetProfileString("AppPath", "Path", "none"), "none");
    EXPECT_EQ(profile_.GetProfileString("AppPath", "Path"), "");
    std::vector<BYTE> data{1, 2};
    EXPECT_FALSE(profile_.GetProfileBinary("GOBJECT", "GO Property", data));
    EXPECT_TRUE(data.empty());
    EXPECT_FALSE(std::filesystem::exists(UserFile()));

    ASSERT_TRUE(profile_.WriteProfileInt("GRID", "SHOW", 1));
    EXPECT_EQ(profile_.GetProfileInt("GRID", "TYPE", 6), 6);
    EXPECT_EQ(profile_.GetProfileInt("PREFERENCE", "Decimal Point Range", 3), 3);
}

TEST_F(AppProfile, ValuesRoundTripExactlyUnderTheApplicationKey)
{
    const std::vector<BYTE> drawingDefaults = Pattern(1944);
    const float gap = 40.0f;
    const double unitsPerPixel = 0.125;
    ASSERT_TRUE(profile_.WriteProfileInt("UI", "Version", 5));
    ASSERT_TRUE(profile_.WriteProfileInt("GRID", "COLOR", 0x808080));
    ASSERT_TRUE(profile_.WriteProfileInt("Negative", "n", -2));
    ASSERT_TRUE(profile_.WriteProfileString("AppPath", "Path", "/opt/vistrel/"));
    ASSERT_TRUE(profile_.WriteProfileBinary("GOBJECT", "GO Property", drawingDefaults.data(), 1944));
    ASSERT_TRUE(profile_.WriteProfileBinary("GRID", "_GAP", &gap, sizeof gap));
    ASSERT_TRUE(profile_.WriteProfileBinary("GRID", "UPP", &unitsPerPixel, sizeof unitsPerPixel));
    RegReloadStore();

    const CAppProfile other("qrx", "VISTREL");   // the same key spelled another way
    EXPECT_EQ(other.GetProfileInt("ui", "version", -1), 5);
    EXPECT_EQ(other.GetProfileInt("GRID", "COLOR", 0), 0x808080);
    EXPECT_EQ(other.GetProfileInt("Negative", "n", 0), -2);
    EXPECT_EQ(other.GetProfileString("APPPATH", "path"), "/opt/vistrel/");
    std::vector<BYTE> data;
    ASSERT_TRUE(other.GetProfileBinary("GOBJECT", "GO Property", data));
    EXPECT_EQ(data, drawingDefaults);
    ASSERT_TRUE(other.GetProfileBinary("GRID", "_GAP", data));
    EXPECT_EQ(data, (std::vector<BYTE>{0x00, 0x00, 0x20, 0x42}));
    ASSERT_TRUE(other.GetProfileBinary("GRID", "UPP", data));
    ASSERT_EQ(data.size(), 8u);
    double read = 0;
    std::memcpy(&read, data.data(), sizeof read);
    EXPECT_EQ(read, unitsPerPixel);

    CRegKey grid;
    ASSERT_EQ(grid.Open(HKEY_CURRENT_USER, "SOFTWARE\\QRX\\Vistrel\\GRID", KEY_READ), ERROR_SUCCESS);
    DWORD type = 0;
    ASSERT_EQ(grid.QueryValue("COLOR", type, data), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(data, (std::vector<BYTE>{0x80, 0x80, 0x80, 0x00}));
    CRegKey appPath;
    ASSERT_EQ(appPath.Open(HKEY_CURRENT_USER, "Software\\QRX\\Vistrel\\AppPath", KEY_READ), ERROR_SUCCESS);
    ASSERT_EQ(appPath.QueryValue("Path", type, data), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(data.size(), std::strlen("/opt/vistrel/") + 1);
}

TEST_F(AppProfile, TextValuesParseAsIntegersOtherTypesGiveDefaults)
{
    CRegKey section;
    ASSERT_EQ(section.Create(HKEY_CURRENT_USER, "Software\\QRX\\Vistrel\\Mixed"), ERROR_SUCCESS);
    section.SetStringValue("Text 42", "42abc");
    section.SetStringValue("Text minus", " -7");
    section.SetStringValue("Text word", "word");
    const BYTE four[4] = {5, 0, 0, 0};
    section.SetBinaryValue("Binary", four, sizeof four);
    section.SetDWORDValue("Number", 9);

    struct IntCase { const char* entry; int expected; };
    for (const IntCase& c : {IntCase{"Text 42", 42}, IntCase{"Text minus", -7}, IntCase{"Text word", 0},
                             IntCase{"Binary", -1}, IntCase{"Number", 9}})
        EXPECT_EQ(profile_.GetProfileInt("Mixed", c.entry, -1), c.expected) << c.entry;
    EXPECT_EQ(profile_.GetProfileString("Mixed", "Number", "dflt"), "dflt");
    EXPECT_EQ(profile_.GetProfileString("Mixed", "Binary", "dflt"), "dflt");
    std::vector<BYTE> data;
    EXPECT_FALSE(profile_.GetProfileBinary("Mixed", "Text 42", data));
    EXPECT_FALSE(profile_.GetProfileBinary("Mixed", "Number", data));
}

TEST_F(AppProfile, NullValueDeletesTheEntryAndNullEntryTheSection)
{
    ASSERT_TRUE(profile_.WriteProfileString("ToolBarLayouts", "Keep", "1"));
    ASSERT_TRUE(profile_.WriteProfileString("ToolBarLayouts", "Drop", "2"));
    CRegKey nested;
    ASSERT_EQ(nested.Create(HKEY_CURRENT_USER, "Software\\QRX\\Vistrel\\ToolBarLayouts\\VM_TOOLBAR_STATE"),
              ERROR_SUCCESS);
    nested.Close();

    EXPECT_TRUE(profile_.WriteProfileString("ToolBarLayouts", "drop", nullptr));
    EXPECT_EQ(profile_.GetProfileString("ToolBarLayouts", "Drop", "gone"), "gone");
    EXPECT_EQ(profile_.GetProfileString("ToolBarLayouts", "Keep"), "1");

    EXPECT_TRUE(profile_.WriteProfileString("toolbarlayouts", nullptr, nullptr));
    EXPECT_EQ(profile_.GetProfileString("ToolBarLayouts", "Keep", "gone"), "gone");
    EXPECT_EQ(nested.Open(HKEY_CURRENT_USER, "Software\\QRX\\Vistrel\\ToolBarLayouts", KEY_READ),
              ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(profile_.WriteProfileString("NoSuchSection", "x", nullptr));
}

TEST_F(AppProfile, UnconfiguredProfileGivesDefaultsAndRefusesWrites)
{
    CAppProfile unnamed;
    unnamed.SetRegistryKey("QRX");
    EXPECT_EQ(unnamed.AppKeyPath(), "");
    EXPECT_FALSE(unnamed.WriteProfileInt("UI", "Version", 5));
    EXPECT_EQ(unnamed.GetProfileInt("UI", "Version", -1), -1);
    unnamed.SetAppName("Vistrel");
    EXPECT_EQ(unnamed.AppKeyPath(), "Software\\QRX\\Vistrel");
    EXPECT_TRUE(unnamed.WriteProfileInt("UI", "Version", 5));
    EXPECT_EQ(profile_.GetProfileInt("UI", "Version", -1), 5);
}
