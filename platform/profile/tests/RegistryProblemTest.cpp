#include "profile/CRegKey.h"
#include "profile/Registry.h"
#include "profile/private/RegistryHive.h"

#include "RegistryTestStore.h"

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

void PrintTo(const RegistryStoreProblem& problem, std::ostream* out)
{
    *out << "{kind " << problem.kind << ", " << problem.file << ", copy \"" << problem.copy << "\"}";
}

namespace {

using RegistryProblems = RegistryTestStore;

DWORD DwordValue(const char* path, const char* name)
{
    CRegKey key;
    DWORD value = 0;
    if (key.Open(HKEY_CURRENT_USER, path, KEY_READ) != ERROR_SUCCESS || key.QueryDWORDValue(name, value) != ERROR_SUCCESS)
        return 0xFFFFFFFF;
    return value;
}

const char kGoodPart[] = "; Vistrel registry store\n"
                         "\n[Software]\n"
                         "\n[Software\\Good]\n"
                         "\"A\"=dword:00000001\n";

} // namespace

TEST_F(RegistryProblems, ADamagedFileIsKeptAsACopyRewrittenAndReportedOnce)
{
    struct Case
    {
        const char* what;
        std::string damaged;
        std::string rewritten;
    };
    const std::string good = kGoodPart;
    const std::vector<Case> cases = {
        {"garbled", good + "\x01\x02\xFF junk\n\"B\"=dword:00000002\n",
         good + "\"B\"=dword:00000002\n"},
        {"cut short", good + "\"B\"=dword:000000", good},
        {"one broken section header", good + "\n[Software\\Bad%G1]\n\"Lost\"=dword:00000003\n\n[Next]\n",
         "; Vistrel registry store\n\n[Next]\n" + good.substr(good.find('\n') + 1)},
        {"a key name no call can ask for", good + "\n[Software\\a%5Cb]\n\"Lost\"=dword:00000003\n", good},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(UserFile() + ".bak");
        WriteText(UserFile(), c.damaged);
        RegReloadStore();
        EXPECT_EQ(RegTakeStoreProblems(),
                  (std::vector<RegistryStoreProblem>{{RegistryStoreProblem::Damaged, UserFile(), UserFile() + ".bak"}}))
            << c.what;
        EXPECT_EQ(ReadText(UserFile() + ".bak"), c.damaged) << c.what;
        EXPECT_EQ(ReadText(UserFile()), c.rewritten) << c.what << ": written again from what could be read";
        EXPECT_EQ(DwordValue("Software\\Good", "A"), 1u) << c.what;

        EXPECT_TRUE(RegTakeStoreProblems().empty()) << c.what << ": told once";
        RegReloadStore();
        EXPECT_TRUE(RegTakeStoreProblems().empty()) << c.what << ": the next start finds the file whole";
        EXPECT_FALSE(std::filesystem::exists(UserFile() + ".bak2")) << c.what;
    }
}

TEST_F(RegistryProblems, AnEarlierCopyIsNeverReplaced)
{
    WriteText(UserFile() + ".bak", "earlier copy");
    WriteText(UserFile(), std::string(kGoodPart) + "junk\n");
    RegReloadStore();
    EXPECT_EQ(RegTakeStoreProblems(),
              (std::vector<RegistryStoreProblem>{{RegistryStoreProblem::Damaged, UserFile(), UserFile() + ".bak2"}}));
    EXPECT_EQ(ReadText(UserFile() + ".bak"), "earlier copy");
    EXPECT_EQ(ReadText(UserFile() + ".bak2"), std::string(kGoodPart) + "junk\n");
}

TEST_F(RegistryProblems, ADamagedFileWithoutRoomForACopyIsLeftAsItIs)
{
    for (int n = 1; n <= kMaxDamagedStoreCopies; ++n)
        WriteText(UserFile() + ".bak" + (n == 1 ? std::string() : std::to_string(n)), "copy");
    const std::string damaged = std::string(kGoodPart) + "junk\n";
    WriteText(UserFile(), damaged);
    RegReloadStore();
    EXPECT_EQ(RegTakeStoreProblems(),
              (std::vector<RegistryStoreProblem>{{RegistryStoreProblem::Damaged, UserFile(), ""}}));
    EXPECT_EQ(DwordValue("Software\\Good", "A"), 1u);
    CRegKey key;
    EXPECT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\New"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ReadText(UserFile()), damaged);
}

TEST_F(RegistryProblems, AFileThatIsNoRegularFileIsReportedAndNeverWritten)
{
    std::filesystem::create_directories(std::filesystem::path(UserFile()).parent_path());
    ASSERT_EQ(::mkfifo(UserFile().c_str(), 0600), 0);
    RegReloadStore();   // would wait for a writer if the FIFO were opened for reading
    EXPECT_EQ(RegTakeStoreProblems(),
              (std::vector<RegistryStoreProblem>{{RegistryStoreProblem::Unreadable, UserFile(), ""}}));
    CRegKey key;
    EXPECT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\New"), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(std::filesystem::is_fifo(UserFile()));
}

TEST_F(RegistryProblems, AFailedWriteIsReportedEachTimeAfterItWasTaken)
{
    WriteText(UserFile(), kGoodPart);
    RegReloadStore();
    // The store's folder becomes a plain file: no write can go there (even for root).
    const std::filesystem::path folder = std::filesystem::path(UserFile()).parent_path();
    std::filesystem::remove_all(folder);
    WriteText(folder.string(), "in the way");

    const BYTE one[4] = {1, 0, 0, 0};
    EXPECT_EQ(RegSetValueEx(HKEY_CURRENT_USER, "V", 0, REG_DWORD, one, 4), ERROR_SUCCESS) << "kept in memory";
    const BYTE two[4] = {2, 0, 0, 0};
    RegSetValueEx(HKEY_CURRENT_USER, "V", 0, REG_DWORD, two, 4);
    const std::vector<RegistryStoreProblem> once = {{RegistryStoreProblem::NotWritten, UserFile(), ""}};
    EXPECT_EQ(RegTakeStoreProblems(), once);
    EXPECT_TRUE(RegTakeStoreProblems().empty());
    RegSetValueEx(HKEY_CURRENT_USER, "V", 0, REG_DWORD, one, 4);
    EXPECT_EQ(RegTakeStoreProblems(), once);
    std::filesystem::remove(folder);
}
