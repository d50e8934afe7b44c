#include "profile/CAppProfile.h"
#include "profile/CRegKey.h"
#include "profile/Registry.h"
#include "profile/RegistryWriteBatch.h"

#include "RegistryTestStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <thread>

namespace {

// Counts how often the store file is replaced: every write renames a new file over it, and its folder says so. The
// temporary file's leaving is watched too: the kernel merges an event with an equal one queued right before it.
class FileReplacements
{
public:
    explicit FileReplacements(const std::string& file)
        : name_(std::filesystem::path(file).filename().string()), fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        const std::filesystem::path folder = std::filesystem::path(file).parent_path();
        std::filesystem::create_directories(folder);
        EXPECT_GE(inotify_add_watch(fd_, folder.c_str(), IN_MOVED_FROM | IN_MOVED_TO), 0);
    }
    ~FileReplacements() { close(fd_); }
    FileReplacements(const FileReplacements&) = delete;
    FileReplacements& operator=(const FileReplacements&) = delete;

    // Replacements since the last call.
    int Take()
    {
        int count = 0;
        alignas(inotify_event) char buffer[8192];
        ssize_t n = 0;
        while ((n = read(fd_, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if ((event->mask & IN_MOVED_TO) && event->len > 0 && name_ == event->name)
                    ++count;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return count;
    }

private:
    std::string name_;
    int fd_;
};

class RegistryWrites : public RegistryTestStore
{
protected:
    void SetUp() override
    {
        RegistryTestStore::SetUp();
        replacements_.emplace(UserFile());
    }
    void TearDown() override
    {
        replacements_.reset();
        RegistryTestStore::TearDown();
    }
    int Rewrites() { return replacements_->Take(); }
    // Whether another process could take the store's file lock now.
    bool LockIsFree() const
    {
        const int fd = open((UserFile() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
        close(fd);
        return free;
    }

    CAppProfile profile_{"QRX", "Vistrel"};

private:
    std::optional<FileReplacements> replacements_;
};

std::string Entry(int i)
{
    return "v" + std::to_string(i);
}

} // namespace

TEST_F(RegistryWrites, OnlyAChangeRewritesTheFile)
{
    const std::vector<BYTE> two = {2, 0, 0, 0};
    struct Step { const char* what; std::function<void()> act; int rewrites; };
    const Step steps[] = {
        {"create a key", [] { CRegKey().Create(HKEY_CURRENT_USER, "Software\\QRX\\Vistrel\\GRID"); }, 1},
        {"create it again", [] { CRegKey().Create(HKEY_CURRENT_USER, "software\\qrx\\vistrel\\grid"); }, 0},
        {"a new value", [&] { profile_.WriteProfileInt("GRID", "SHOW", 1); }, 1},
        {"the same value", [&] { profile_.WriteProfileInt("grid", "show", 1); }, 0},
        {"another number", [&] { profile_.WriteProfileInt("GRID", "SHOW", 2); }, 1},
        {"the same bytes as binary", [&] { profile_.WriteProfileBinary("GRID", "SHOW", two.data(), 4); }, 1},
        {"a value in a new section", [&] { profile_.WriteProfileString("AppPath", "Path", "/opt/"); }, 1},
        {"the same text", [&] { profile_.WriteProfileString("AppPath", "Path", "/opt/"); }, 0},
        {"delete a missing value", [&] { profile_.WriteProfileString("GRID", "None", nullptr); }, 0},
        {"delete a value", [&] { profile_.WriteProfileString("GRID", "SHOW", nullptr); }, 1},
        {"empty an empty key", [] {
             CRegKey grid;
             ASSERT_EQ(grid.Open(HKEY_CURRENT_USER, "Software\\QRX\\Vistrel\\GRID"), ERROR_SUCCESS);
             EXPECT_EQ(RegDeleteTree(grid.Handle(), nullptr), ERROR_SUCCESS);
         }, 0},
        {"delete a missing key", [] { RegDeleteTree(HKEY_CURRENT_USER, "Software\\None"); }, 0},
        {"delete a section", [&] { profile_.WriteProfileString("GRID", nullptr, nullptr); }, 1},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(Rewrites(), step.rewrites) << step.what;
    }
}

TEST_F(RegistryWrites, ABatchWritesOnceWhenItsOutermostScopeEnds)
{
    {
        RegistryWriteBatch outer;
        for (int i = 0; i < 100; ++i)
            profile_.WriteProfileInt("Batch", Entry(i).c_str(), i);
        {
            RegistryWriteBatch inner;
            profile_.WriteProfileString("Batch", "Text", "inner");
            std::thread([this] { profile_.WriteProfileInt("Other thread", "n", 7); }).join();
        }
        EXPECT_EQ(Rewrites(), 0) << "nothing is written before the outermost batch ends";
        EXPECT_EQ(profile_.GetProfileInt("Other thread", "n", 0), 7) << "changes are seen at once";
        EXPECT_FALSE(LockIsFree()) << "other processes' writes wait for the batch";
    }
    EXPECT_EQ(Rewrites(), 1);
    EXPECT_TRUE(LockIsFree());
    RegReloadStore();
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(profile_.GetProfileInt("Batch", Entry(i).c_str(), -1), i);
    EXPECT_EQ(profile_.GetProfileString("Batch", "Text"), "inner");

    {
        RegistryWriteBatch unchanged;
        profile_.WriteProfileInt("Batch", "v0", 0);
    }
    EXPECT_EQ(Rewrites(), 0);
    {
        RegistryWriteBatch flushed;
        profile_.WriteProfileInt("Batch", "v0", 10);
        EXPECT_EQ(RegFlushKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
        EXPECT_EQ(Rewrites(), 1) << "a flush writes at once";
    }
    EXPECT_EQ(Rewrites(), 0) << "and leaves nothing more to write";
}

TEST_F(RegistryWrites, AScopeLeftByAnExceptionStillWritesWhatItChanged)
{
    try {
        RegistryWriteBatch outer;
        profile_.WriteProfileInt("Left", "first", 1);
        RegistryWriteBatch inner;
        profile_.WriteProfileInt("Left", "second", 2);
        throw std::runtime_error("the settings save failed half way");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Rewrites(), 1);
    EXPECT_TRUE(LockIsFree());
    RegReloadStore();
    EXPECT_EQ(profile_.GetProfileInt("Left", "first", 0), 1);
    EXPECT_EQ(profile_.GetProfileInt("Left", "second", 0), 2);
    profile_.WriteProfileInt("Left", "after", 3);
    EXPECT_EQ(Rewrites(), 1) << "a write after the batches is written at once";
}
