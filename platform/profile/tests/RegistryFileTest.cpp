#include "profile/CRegKey.h"
#include "profile/Registry.h"

#include "RegistryTestStore.h"

#include <string>
#include <vector>

namespace {

using RegistryFile = RegistryTestStore;

std::vector<BYTE> Value(const char* path, const char* name, DWORD& type)
{
    CRegKey key;
    std::vector<BYTE> bytes;
    if (key.Open(HKEY_CURRENT_USER, path, KEY_READ) != ERROR_SUCCESS ||
        key.QueryValue(name, type, bytes) != ERROR_SUCCESS)
        type = REG_NONE;
    return bytes;
}

} // namespace

TEST_F(RegistryFile, IsWrittenAsReadableTextWithExactBytes)
{
    {
        CRegKey grid;
        ASSERT_EQ(grid.Create(HKEY_CURRENT_USER, "Software\\QRX\\Vistrel\\GRID"), ERROR_SUCCESS);
        grid.SetDWORDValue("SHOW", 1);
        const BYTE gap[4] = {0x00, 0x00, 0x20, 0x42};
        grid.SetBinaryValue("_GAP", gap, sizeof gap);
        grid.SetStringValue("Name \"100%\"", "line\nbreak");
        RegSetValueEx(grid.Handle(), "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("ab"), 2);
        RegSetValueEx(grid.Handle(), "", 0, 7, reinterpret_cast<const BYTE*>("a\0\0"), 3);
        CRegKey empty;
        ASSERT_EQ(empty.Create(HKEY_CURRENT_USER, "Software\\Empty Key"), ERROR_SUCCESS);
        RegSetValueEx(HKEY_CURRENT_USER, "At root", 0, REG_DWORD, reinterpret_cast<const BYTE*>("\x01\x02\x03"), 3);
    }
    EXPECT_EQ(ReadText(UserFile()),
              "; Vistrel registry store\n"
              "\n[]\n"
              "\"At root\"=hex(4):01,02,03\n"
              "\n[Software]\n"
              "\n[Software\\Empty Key]\n"
              "\n[Software\\QRX]\n"
              "\n[Software\\QRX\\Vistrel]\n"
              "\n[Software\\QRX\\Vistrel\\GRID]\n"
              "\"SHOW\"=dword:00000001\n"
              "\"_GAP\"=hex:00,00,20,42\n"
              "\"Name %22100%25%22\"=\"line%0Abreak\"\n"
              "\"Bare\"=hex(1):61,62\n"
              "\"\"=hex(7):61,00,00\n");
}

TEST_F(RegistryFile, DamagedFilesYieldWhatIsStillReadable)
{
    WriteText(UserFile(),
              "garbage before any key\n"
              "\"Orphan\"=dword:00000001\n"
              "[Software\\Good]\r\n"
              "\"A\"=dword:0000002a\r\n"
              "\"B\"=dword:2a\n"                    // too short
              "\"C\"=hex:0,1\n"                      // not two digits per byte
              "\"D\"=\"unterminated\n"
              "\"E\"=hex(x):00\n"
              "\"F\"=\"bad %ZZ escape\"\n"
              "\"G\"=hex:01,02,\n"
              "\"H\"=\"fine\"\n"
              "[Software\\Bad%G1]\n"
              "\"Lost\"=dword:00000001\n"
              "[Software\\\\Double]\n"
              "\"Lost too\"=dword:00000001\n"
              "[Software\\Unclosed\n"
              "\"Also lost\"=dword:00000001\n"
              "[Software\\Good]\n"
              "\"Z\"=hex:ff\n"
              "\x01\x02\xFF binary junk\n");
    RegReloadStore();
    DWORD type = 0;
    EXPECT_EQ(Value("Software\\Good", "A", type), (std::vector<BYTE>{42, 0, 0, 0}));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(Value("Software\\Good", "H", type), (std::vector<BYTE>{'f', 'i', 'n', 'e', 0}));
    EXPECT_EQ(Value("Software\\Good", "Z", type), (std::vector<BYTE>{0xFF}));
    for (const char* bad : {"B", "C", "D", "E", "F", "G"}) {
        Value("Software\\Good", bad, type);
        EXPECT_EQ(type, REG_NONE) << bad;
    }
    char name[32];
    DWORD size = sizeof name;
    EXPECT_EQ(RegEnumValue(HKEY_CURRENT_USER, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS) << "a value above every key header has no key";
    CRegKey software;
    ASSERT_EQ(software.Open(HKEY_CURRENT_USER, "Software", KEY_READ), ERROR_SUCCESS);
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(software.Handle(), 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Good") << "keys under broken headers are dropped";
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(software.Handle(), 1, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
}

namespace {

// "a\a\...\a", `depth` parts.
std::string DeepPath(size_t depth)
{
    std::string path(2 * depth - 1, 'a');
    for (size_t i = 1; i < path.size(); i += 2)
        path[i] = '\\';
    return path;
}

} // namespace

TEST_F(RegistryFile, KeysDeeperThanTheLimitAreNeitherReadNorCreated)
{
    struct Case { size_t depth; bool kept; };
    for (const Case& c : {Case{512, true}, Case{513, false}, Case{200000, false}}) {
        std::string text = "[";
        text += DeepPath(c.depth);
        text += "]\n\"V\"=dword:00000007\n[Next]\n\"W\"=dword:00000008\n";
        WriteText(UserFile(), text);
        RegReloadStore();
        DWORD type = 0;
        Value(DeepPath(c.depth).c_str(), "V", type);
        EXPECT_EQ(type, c.kept ? REG_DWORD : REG_NONE) << c.depth;
        EXPECT_EQ(Value("Next", "W", type), (std::vector<BYTE>{8, 0, 0, 0})) << c.depth;

        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Open"), ERROR_SUCCESS);
        EXPECT_EQ(key.Create(HKEY_CURRENT_USER, DeepPath(c.depth).c_str()),
                  c.kept ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER) << c.depth;
        CRegKey halfway;
        ASSERT_EQ(halfway.Create(HKEY_CURRENT_USER, DeepPath(256).c_str()), ERROR_SUCCESS);
        EXPECT_EQ(key.Create(halfway.Handle(), DeepPath(c.depth - 256).c_str()),
                  c.kept ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER) << c.depth;
        ASSERT_EQ(key.SetDWORDValue("Set", 9), ERROR_SUCCESS) << "a refused create keeps the key that was open";
    }
}

TEST_F(RegistryFile, EveryCutOfAValidFileReadsWithoutHarm)
{
    {
        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\QRX\\Vistrel\\GOBJECT"), ERROR_SUCCESS);
        std::vector<BYTE> blob(64);
        for (size_t i = 0; i < blob.size(); ++i)
            blob[i] = static_cast<BYTE>(255 - i);
        key.SetBinaryValue("GO Property", blob.data(), static_cast<DWORD>(blob.size()));
        key.SetDWORDValue("GO Property Version", 1);
        key.SetStringValue("Quoted \"name\"", "text with % and \t tab");
    }
    const std::string whole = ReadText(UserFile());
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        WriteText(UserFile(), whole.substr(0, cut));
        RegReloadStore();
        DWORD type = 0;
        // A value is either whole or absent, never a part.
        const std::vector<BYTE> version = Value("Software\\QRX\\Vistrel\\GOBJECT", "GO Property Version", type);
        if (type != REG_NONE) {
            EXPECT_EQ(version, (std::vector<BYTE>{1, 0, 0, 0})) << "cut at " << cut;
        }
        const std::vector<BYTE> blob = Value("Software\\QRX\\Vistrel\\GOBJECT", "GO Property", type);
        if (type != REG_NONE) {
            EXPECT_EQ(blob.size(), 64u) << "cut at " << cut;
        }
    }
    WriteText(UserFile(), whole);
    RegReloadStore();
    DWORD type = 0;
    EXPECT_EQ(Value("Software\\QRX\\Vistrel\\GOBJECT", "GO Property", type).size(), 64u);
}

namespace {

std::vector<std::string> SubKeyNames(const char* path)
{
    std::vector<std::string> names;
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, path, KEY_READ) != ERROR_SUCCESS)
        return names;
    char name[64];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyEx(key.Handle(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return names;
        names.emplace_back(name, size);
    }
}

// Rewrites the store through an unrelated change.
void TouchStore()
{
    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Touched"), ERROR_SUCCESS);
}

} // namespace

TEST_F(RegistryFile, EveryListedKeyOpensByTheNameItIsListedBy)
{
    // A separator inside a key name (only a file can spell one, as %5C) would list a name that opens another key
    // ("a\\b" is "a" then "b") or none: such a header is damage. A '%' a call put in a name is escaped like any
    // other, so "a%5Cb" made by a call stays that very name.
    WriteText(UserFile(), "; Vistrel registry store\n"
                          "\n[Software]\n"
                          "\n[Software\\a]\n"
                          "\n[Software\\a\\b]\n"
                          "\"V\"=dword:00000001\n"
                          "\n[Software\\a%5Cb]\n"
                          "\"V\"=dword:00000002\n"
                          "\n[Software\\a%5cb\\c]\n"
                          "\n[Software\\%5C]\n"
                          "\n[Software\\a%255Cb]\n"
                          "\"V\"=dword:00000003\n");
    RegReloadStore();
    {
        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\100%5C%"), ERROR_SUCCESS);
        ASSERT_EQ(key.SetDWORDValue("V", 4), ERROR_SUCCESS);
    }
    const std::string stored = "; Vistrel registry store\n"
                               "\n[Software]\n"
                               "\n[Software\\100%255C%25]\n"
                               "\"V\"=dword:00000004\n"
                               "\n[Software\\a]\n"
                               "\n[Software\\a\\b]\n"
                               "\"V\"=dword:00000001\n"
                               "\n[Software\\a%255Cb]\n"
                               "\"V\"=dword:00000003\n"
                               "\n[Touched]\n";
    for (int load = 0; load < 3; ++load) {
        RegReloadStore();
        const std::vector<std::string> names = SubKeyNames("Software");
        EXPECT_EQ(names, (std::vector<std::string>{"100%5C%", "a", "a%5Cb"})) << "load " << load;
        const std::vector<std::vector<BYTE>> values = {{4, 0, 0, 0}, {}, {3, 0, 0, 0}};
        for (size_t i = 0; i < names.size() && i < values.size(); ++i) {
            DWORD type = 0;
            EXPECT_EQ(Value(("Software\\" + names[i]).c_str(), "V", type), values[i]) << names[i];
            CRegKey listed;
            EXPECT_EQ(listed.Open(HKEY_CURRENT_USER, ("Software\\" + names[i]).c_str(), KEY_READ), ERROR_SUCCESS)
                << names[i];
        }
        TouchStore();
        EXPECT_EQ(ReadText(UserFile()), stored) << "load " << load;
    }
}

TEST_F(RegistryFile, NamesHoldingAZeroByteAreRefusedOnReading)
{
    // No call can name them: a zero-terminated name stops at the zero and would reach another key or value.
    using namespace std::string_literals;
    WriteText(UserFile(), "; Vistrel registry store\n"
                          "\n[Software]\n"
                          "\n[Software\\a%00b]\n"
                          "\"Lost\"=dword:00000001\n"
                          "\n[Software\\a%00b\\deeper]\n"
                          "\n[Software\\raw\0zero]\n"s
                          "\"Lost\"=dword:00000001\n"
                          "\n[Software\\kept]\n"
                          "\"v%00x\"=dword:00000001\n"
                          "\"v\0y\"=dword:00000001\n"s
                          "\"v\"=\"text%00with zero\"\n"
                          "\"w\"=dword:00000004\n");
    RegReloadStore();
    EXPECT_EQ(SubKeyNames("Software"), (std::vector<std::string>{"kept"}));
    DWORD type = 0;
    EXPECT_EQ(Value("Software\\kept", "v", type), (std::vector<BYTE>{'t', 'e', 'x', 't', 0, 'w', 'i', 't', 'h', ' ',
                                                                       'z', 'e', 'r', 'o', 0}))
        << "a zero inside a text is data, not a name";
    TouchStore();
    EXPECT_EQ(ReadText(UserFile()), "; Vistrel registry store\n"
                                    "\n[Software]\n"
                                    "\n[Software\\kept]\n"
                                    "\"v\"=hex(1):74,65,78,74,00,77,69,74,68,20,7a,65,72,6f,00\n"
                                    "\"w\"=dword:00000004\n"
                                    "\n[Touched]\n");
}
