#include "core/RegistryScript.h"

#include "profile/CRegKey.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

#include <stdlib.h>

namespace {

class RegistryScriptTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", config.path().toUtf8().constData(), 1);
        RegReloadStore();
    }
    void TearDown() override { RegReloadStore(); }

    static std::vector<BYTE> Value(const char* key, const char* name, DWORD expectedType)
    {
        CRegKey opened;
        std::vector<BYTE> bytes;
        DWORD type = REG_NONE;
        if (opened.Open(HKEY_CURRENT_USER, key, KEY_READ) != ERROR_SUCCESS ||
            opened.QueryValue(name, type, bytes) != ERROR_SUCCESS || type != expectedType)
            return {};
        return bytes;
    }
    static bool KeyExists(const char* key)
    {
        CRegKey opened;
        return opened.Open(HKEY_CURRENT_USER, key, KEY_READ) == ERROR_SUCCESS;
    }

    QTemporaryDir config;
};

std::vector<BYTE> Sz(const std::string& text)
{
    std::vector<BYTE> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

}  // namespace

TEST_F(RegistryScriptTest, AppliesKeysValuesAndDeletions)
{
    EXPECT_FALSE(
        ImportRegistryScriptBytes("[HKEY_CURRENT_USER\\Software\\QRX\\Vistrel\\Old]\n"
                                  "\"Gone\"=dword:00000001\n"
                                  "REGEDIT4\n"));
    // Nothing was applied: the first line is not a script header.
    EXPECT_FALSE(KeyExists("Software\\QRX\\Vistrel\\Old"));

    const char script[] =
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
        "\r\n"
        "; default layouts\r\n"
        "[HKEY_CURRENT_USER\\Software\\QRX\\Vistrel\\Bars]\r\n"
        "\"Name\"=\"say \\\"hi\\\" C:\\\\dir\"\r\n"
        "@=\"default\"\r\n"
        "\"Count\"=dword:0000002a\r\n"
        "\"State\"=hex:01,02,\\\r\n"
        "  ff,00\r\n"
        "\"Odd\"=hex(2):61,00\r\n"
        "\"Bad\"=dword:123456789\r\n"
        "[HKCU\\Software\\QRX\\Vistrel\\Old]\r\n"
        "\"Gone\"=dword:1\r\n"
        "[-HKEY_CURRENT_USER\\Software\\QRX\\Vistrel\\Old]\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\QRX]\r\n"
        "\"Machine\"=\"no\"\r\n"
        "[-HKEY_CURRENT_USER]\r\n"
        "[HKEY_CURRENT_USER\\Software\\QRX\\Vistrel\\Bars]\r\n"
        "\"Count\"=-\r\n";
    ASSERT_TRUE(ImportRegistryScriptBytes(std::string_view(script, sizeof script - 1)));

    const char* bars = "Software\\QRX\\Vistrel\\Bars";
    EXPECT_EQ(Value(bars, "Name", REG_SZ), Sz("say \"hi\" C:\\dir"));
    EXPECT_EQ(Value(bars, "", REG_SZ), Sz("default"));
    EXPECT_TRUE(Value(bars, "Count", REG_DWORD).empty());
    EXPECT_EQ(Value(bars, "State", REG_BINARY), (std::vector<BYTE>{0x01, 0x02, 0xff, 0x00}));
    EXPECT_EQ(Value(bars, "Odd", 2), (std::vector<BYTE>{0x61, 0x00}));
    EXPECT_TRUE(Value(bars, "Bad", REG_DWORD).empty());
    EXPECT_FALSE(KeyExists("Software\\QRX\\Vistrel\\Old"));
    // The root delete was refused: what was there stays.
    EXPECT_TRUE(KeyExists(bars));
}

TEST_F(RegistryScriptTest, ReadsUtf16FilesAndRefusesOthers)
{
    const std::u16string text =
        u"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\Software\\QRX]\r\n"
        u"\"Title\"=\"\uce21\uc815\"\r\n";
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    const std::string path = config.filePath("layout.reg").toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    EXPECT_TRUE(ImportRegistryScript(path));
    EXPECT_EQ(Value("Software\\QRX", "Title", REG_SZ), Sz("\xEC\xB8\xA1\xEC\xA0\x95"));

    EXPECT_FALSE(ImportRegistryScript(config.filePath("missing.reg").toStdString()));
    EXPECT_FALSE(ImportRegistryScriptBytes(""));
    EXPECT_FALSE(ImportRegistryScriptBytes("[HKEY_CURRENT_USER\\Software\\QRX]\n"));
}
