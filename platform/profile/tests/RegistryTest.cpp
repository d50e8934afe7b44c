#include "profile/CRegKey.h"
#include "profile/Registry.h"
#include "profile/SizedValueRead.h"

#include "RegistryTestStore.h"

#include <cstring>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes BytesOf(const char* text, size_t size)
{
    return Bytes(reinterpret_cast<const BYTE*>(text), reinterpret_cast<const BYTE*>(text) + size);
}

HKEY Create(HKEY parent, const char* path, DWORD* disposition = nullptr)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                             disposition), ERROR_SUCCESS) << path;
    return key;
}

LONG Open(HKEY parent, const char* path, REGSAM access, HKEY& key)
{
    return RegOpenKeyEx(parent, path, 0, access, &key);
}

LONG Set(HKEY key, const char* name, DWORD type, const Bytes& data)
{
    return RegSetValueEx(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
}

std::vector<std::string> SubKeyNames(HKEY key)
{
    std::vector<std::string> names;
    char name[64];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return names;
        names.emplace_back(name, size);
    }
}

std::vector<std::string> ValueNames(HKEY key)
{
    std::vector<std::string> names;
    char name[64];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumValue(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return names;
        names.emplace_back(name, size);
    }
}

using Registry = RegistryTestStore;

} // namespace

TEST_F(Registry, NamesMatchIgnoringCaseAndKeepTheSpellingTheyWereCreatedWith)
{
    DWORD disposition = 0;
    HKEY created = Create(HKEY_CURRENT_USER, "SOFTWARE\\QRX", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    ASSERT_EQ(Set(created, "VQ_PRODUCT", REG_SZ, BytesOf("Vistrel Lite", 13)), ERROR_SUCCESS);

    HKEY again = Create(HKEY_CURRENT_USER, "software\\qrx\\", &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    ASSERT_EQ(Set(again, "vq_product", REG_SZ, BytesOf("Other", 6)), ERROR_SUCCESS);

    HKEY opened = nullptr;
    ASSERT_EQ(Open(HKEY_CURRENT_USER, "\\Software\\\\Qrx", KEY_READ, opened), ERROR_SUCCESS);
    char text[16];
    DWORD size = sizeof text;
    ASSERT_EQ(RegQueryValueEx(opened, "Vq_Product", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(text, "Other");
    EXPECT_EQ(ValueNames(opened), std::vector<std::string>{"VQ_PRODUCT"});

    HKEY software = nullptr;
    ASSERT_EQ(Open(HKEY_CURRENT_USER, "software", KEY_READ, software), ERROR_SUCCESS);
    EXPECT_EQ(SubKeyNames(software), std::vector<std::string>{"QRX"});
    for (HKEY key : {created, again, opened, software})
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, OpenNeverCreatesAndFailsOnMissingKeys)
{
    HKEY key = reinterpret_cast<HKEY>(uintptr_t{1});
    EXPECT_EQ(Open(HKEY_CURRENT_USER, "Software\\QRX", KEY_ALL_ACCESS, key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(SubKeyNames(HKEY_CURRENT_USER), std::vector<std::string>{});
    EXPECT_FALSE(std::filesystem::exists(UserFile()));

    RegCloseKey(Create(HKEY_CURRENT_USER, "Software"));
    const std::string before = ReadText(UserFile());
    for (const char* missing : {"Software\\QRX", "Software\\QRX\\Deeper", "Other"})
        EXPECT_EQ(Open(HKEY_CURRENT_USER, missing, KEY_ALL_ACCESS, key), ERROR_FILE_NOT_FOUND) << missing;
    EXPECT_EQ(ReadText(UserFile()), before);

    CRegKey helper;
    EXPECT_EQ(helper.Open(HKEY_CURRENT_USER, "Software\\QRX"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(helper.Handle(), nullptr);
}

TEST_F(Registry, ValuesKeepTheirTypeAndExactBytesAcrossAReload)
{
    Bytes blob(1944);
    for (size_t i = 0; i < blob.size(); ++i)
        blob[i] = static_cast<BYTE>(i * 7 % 256);   // every byte value, zeros included
    struct Case { const char* name; DWORD type; Bytes data; };
    const std::vector<Case> cases = {
        {"Terminated", REG_SZ, BytesOf("C:\\Vistrel\\", 12)},
        {"Unterminated", REG_SZ, BytesOf("Vistrel Lite", 12)},     // written without the zero, read back so
        {"Empty text", REG_SZ, {}},
        {"Inner zero", REG_SZ, BytesOf("a\0b", 4)},
        {"Flag", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
        {"Short dword", REG_DWORD, {0x01, 0x02}},
        {"_GAP", REG_BINARY, {0x00, 0x00, 0x20, 0x42}},
        {"GO Property", REG_BINARY, blob},
        {"Nothing", REG_BINARY, {}},
        {"", REG_SZ, BytesOf("unnamed", 8)},
        {"Custom type", 0x1234, {0xFF, 0x00}},
    };
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\QRX\\Types");
    for (const Case& c : cases)
        ASSERT_EQ(Set(key, c.name, c.type, c.data), ERROR_SUCCESS) << c.name;

    for (const bool reloaded : {false, true}) {
        if (reloaded)
            RegReloadStore();
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (reloaded ? " after reload" : ""));
            DWORD type = 0;
            DWORD size = 0;
            ASSERT_EQ(RegQueryValueEx(key, c.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
            EXPECT_EQ(type, c.type);
            EXPECT_EQ(size, c.data.size());
            Bytes read(c.data.size() + 1, 0xEE);
            if (!c.data.empty()) {
                DWORD shortSize = size - 1;
                type = 0;
                EXPECT_EQ(RegQueryValueEx(key, c.name, nullptr, &type, read.data(), &shortSize), ERROR_MORE_DATA);
                EXPECT_EQ(shortSize, size);
                EXPECT_EQ(type, c.type);
            }
            DWORD fullSize = static_cast<DWORD>(read.size());
            ASSERT_EQ(RegQueryValueEx(key, c.name, nullptr, &type, read.data(), &fullSize), ERROR_SUCCESS);
            EXPECT_EQ(fullSize, c.data.size());
            EXPECT_EQ(Bytes(read.begin(), read.begin() + fullSize), c.data);
            EXPECT_EQ(read.back(), 0xEE) << "wrote past the value";
        }
    }
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(key, "Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueEx(key, nullptr, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);   // unnamed value
    EXPECT_EQ(size, 8u);
    RegCloseKey(key);
}

TEST_F(Registry, LocalMachineIsReadOnly)
{
    WriteText(MachineFile(),
              "[SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\StillImage\\Registered Applications]\n"
              "\"Existing\"=\"x\"\n");
    RegReloadStore();
    const char* still = "Software\\Microsoft\\Windows\\CurrentVersion\\StillImage\\Registered Applications";
    const std::string before = ReadText(MachineFile());

    HKEY key = nullptr;
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, still, KEY_ALL_ACCESS, key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, still, KEY_WRITE, key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, still, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                             nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Set(HKEY_LOCAL_MACHINE, "Root value", REG_SZ, BytesOf("x", 2)), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE"), ERROR_ACCESS_DENIED);

    ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, still, KEY_READ, key), ERROR_SUCCESS);
    char text[4];
    DWORD size = sizeof text;
    ASSERT_EQ(RegQueryValueEx(key, "EXISTING", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(text, "x");
    EXPECT_EQ(Set(key, "Nuvex WDM Capture A/P", REG_SZ, BytesOf("x", 1)), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValue(key, "Existing"), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    EXPECT_EQ(ReadText(MachineFile()), before);
}

TEST_F(Registry, HandlesOpenedForReadingRefuseWrites)
{
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\QRX"));
    HKEY reader = nullptr;
    ASSERT_EQ(Open(HKEY_CURRENT_USER, "Software\\QRX", KEY_READ, reader), ERROR_SUCCESS);
    HKEY child = nullptr;
    EXPECT_EQ(Set(reader, "v", REG_DWORD, {1, 0, 0, 0}), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyEx(reader, "Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
              ERROR_ACCESS_DENIED);
    RegCloseKey(reader);
}

TEST_F(Registry, DeletingValuesAndKeys)
{
    HKEY app = Create(HKEY_CURRENT_USER, "Software\\QRX\\App");
    RegCloseKey(Create(app, "Layouts\\Bar1"));
    RegCloseKey(Create(app, "Empty"));
    ASSERT_EQ(Set(app, "Keep", REG_DWORD, {1, 0, 0, 0}), ERROR_SUCCESS);
    ASSERT_EQ(Set(app, "Drop", REG_DWORD, {2, 0, 0, 0}), ERROR_SUCCESS);

    EXPECT_EQ(RegDeleteValue(app, "DROP"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(app, "Drop"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ValueNames(app), std::vector<std::string>{"Keep"});

    EXPECT_EQ(RegDeleteKey(app, "layouts"), ERROR_ACCESS_DENIED);   // it still has a sub-key
    EXPECT_EQ(RegDeleteKey(app, "EMPTY"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(app, "Empty"), ERROR_FILE_NOT_FOUND);

    HKEY bar = nullptr;
    ASSERT_EQ(Open(app, "Layouts\\Bar1", KEY_READ, bar), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTree(app, "Layouts"), ERROR_SUCCESS);
    EXPECT_EQ(SubKeyNames(app), std::vector<std::string>{});
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(bar, "x", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);

    RegReloadStore();
    EXPECT_EQ(ValueNames(app), std::vector<std::string>{"Keep"});
    EXPECT_EQ(SubKeyNames(app), std::vector<std::string>{});
    RegCloseKey(bar);
    RegCloseKey(app);
}

TEST_F(Registry, EnumerationOrderAndShortNameBuffers)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Enum");
    for (const char* name : {"beta", "Alpha", "GAMMA"})
        RegCloseKey(Create(key, name));
    for (const char* name : {"z", "a", "m"})
        Set(key, name, REG_DWORD, {0, 0, 0, 0});
    EXPECT_EQ(SubKeyNames(key), (std::vector<std::string>{"Alpha", "beta", "GAMMA"}));   // sorted ignoring case
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"z", "a", "m"}));              // in creation order

    char name[5];
    DWORD size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    size = 6;
    char roomy[6];
    EXPECT_EQ(RegEnumKeyEx(key, 2, roomy, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(RegEnumKeyEx(key, 3, roomy, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
}

TEST_F(Registry, UnknownAndClosedHandlesAreRefused)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software");
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    int notAKey = 0;
    for (HKEY bad : {key, reinterpret_cast<HKEY>(&notAKey), HKEY(nullptr)}) {
        DWORD size = 0;
        EXPECT_EQ(RegCloseKey(bad), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegQueryValueEx(bad, "x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
        EXPECT_EQ(Set(bad, "x", REG_DWORD, {0, 0, 0, 0}), ERROR_INVALID_HANDLE);
    }
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);   // the roots are never closed
}

TEST_F(Registry, ChangesByAnotherProcessAreSeenAtTheNextCall)
{
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\QRX");
    ASSERT_EQ(Set(key, "Mine", REG_DWORD, {1, 0, 0, 0}), ERROR_SUCCESS);
    // What another process's store leaves: its own rename over the file.
    const std::string replacement = UserFile() + ".other";
    WriteText(replacement, "[Software\\QRX]\n\"Theirs\"=dword:00000002\n");
    std::filesystem::rename(replacement, UserFile());

    EXPECT_EQ(ValueNames(key), std::vector<std::string>{"Theirs"});
    ASSERT_EQ(Set(key, "Mine", REG_DWORD, {3, 0, 0, 0}), ERROR_SUCCESS);
    RegReloadStore();
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"Theirs", "Mine"}));
    RegCloseKey(key);
}

namespace {

// "<prefix><writer>_<index>". Built by appending: gcc 12 at -O3 warns falsely (-Wrestrict) on "k" + text.
std::string WriterKey(const char* prefix, int writer, int index)
{
    std::string key = prefix;
    key += std::to_string(writer);
    key += '_';
    key += std::to_string(index);
    return key;
}

}  // namespace

TEST_F(Registry, ConcurrentWritersLoseNothing)
{
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([t] {
            CRegKey key;
            ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\QRX\\Threads"), ERROR_SUCCESS);
            for (DWORD i = 0; i < 25; ++i)
                key.SetDWORDValue(WriterKey("t", t, i).c_str(), i);
        });
    for (std::thread& w : writers)
        w.join();
    RegReloadStore();
    CRegKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\QRX\\Threads", KEY_READ), ERROR_SUCCESS);
    for (int t = 0; t < 4; ++t)
        for (DWORD i = 0; i < 25; ++i) {
            DWORD value = 99;
            EXPECT_EQ(key.QueryDWORDValue(WriterKey("t", t, i).c_str(), value),
                      ERROR_SUCCESS);
            EXPECT_EQ(value, i);
        }
}

TEST_F(Registry, KeyHelperReadsAndWritesTypedValues)
{
    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\Korvelt\\Camix300"), ERROR_SUCCESS);
    const BYTE dimension[8] = {0x00, 0x05, 0, 0, 0xC0, 0x03, 0, 0};   // 1280 x 960, little-endian ints
    ASSERT_EQ(key.SetBinaryValue("Dimension", dimension, sizeof dimension), ERROR_SUCCESS);
    ASSERT_EQ(key.SetDWORDValue("Align Enable", 0xA1B2C3D4), ERROR_SUCCESS);
    ASSERT_EQ(key.SetStringValue("Path", "/opt/vistrel/"), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key.Handle(), "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3),
              ERROR_SUCCESS);

    CRegKey reader(std::move(key));
    EXPECT_EQ(key.Handle(), nullptr);
    Bytes bytes;
    EXPECT_EQ(reader.QueryBinaryValue("dimension", bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, Bytes(dimension, dimension + 8));
    DWORD number = 0;
    EXPECT_EQ(reader.QueryDWORDValue("Align Enable", number), ERROR_SUCCESS);
    EXPECT_EQ(number, 0xA1B2C3D4u);
    std::string text;
    EXPECT_EQ(reader.QueryStringValue("Path", text), ERROR_SUCCESS);
    EXPECT_EQ(text, "/opt/vistrel/");
    EXPECT_EQ(reader.QueryStringValue("Bare", text), ERROR_SUCCESS);
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(reader.QueryStringValue("Dimension", text), ERROR_INVALID_DATA);
    EXPECT_EQ(reader.QueryDWORDValue("Path", number), ERROR_INVALID_DATA);
    EXPECT_EQ(reader.QueryBinaryValue("Missing", bytes), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reader.Flush(), ERROR_SUCCESS);
}

TEST_F(Registry, AStoreThatCannotBeReadIsNeverReplaced)
{
    std::filesystem::create_directories(UserFile());   // exists, but reading it fails
    RegReloadStore();
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(Set(HKEY_CURRENT_USER, "v", REG_DWORD, {1, 0, 0, 0}), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(std::filesystem::is_directory(UserFile()));
}

TEST(SizedValueRead, AValueThatKeepsGrowingEndsInAnErrorInsteadOfAHang)
{
    // The planted fault: between the size query and the read the value grows, once or for ever.
    struct Case { int growths; LONG result; size_t size; };
    for (const Case& c : {Case{1, ERROR_SUCCESS, 2}, Case{1000000, ERROR_MORE_DATA, 0}}) {
        DWORD stored = 1;
        int calls = 0;
        const auto query = [&](BYTE* data, DWORD* size) {
            if (++calls > 10000) {
                ADD_FAILURE() << "still retrying";
                return ERROR_INVALID_DATA;
            }
            const bool fits = *size >= stored;
            if (data && fits)
                std::memset(data, 'x', stored);
            *size = stored;
            const LONG result = !data || fits ? ERROR_SUCCESS : ERROR_MORE_DATA;
            if (!data && c.growths > calls / 2)
                ++stored;   // grows right after its size was taken
            return result;
        };
        std::vector<BYTE> bytes{1, 2, 3};
        EXPECT_EQ(ReadSizedValue(query, bytes), c.result) << c.growths;
        EXPECT_EQ(bytes.size(), c.size) << c.growths;
        EXPECT_LE(calls, 2 * kSizedReadAttempts) << c.growths;
    }
}
