#include "inifile/FileBytes.h"

#include "IniTestFolder.h"
#include "inifile/AtomicWriteTemps.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <future>
#include <set>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(FileBytes, ReplacesContentsKeepsModeAndLeavesNoTemporaryFile)
{
    IniTestFolder folder;
    const std::string file = folder.File("settings.ini");
    const std::string bytes("a\0b\r\n\xFF", 6);
    ASSERT_TRUE(WriteFileAtomically(file, "old contents that are longer"));
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);

    ASSERT_TRUE(WriteFileAtomically(file, bytes));
    std::string read;
    ASSERT_TRUE(ReadFileBytes(file, read));
    EXPECT_EQ(read, bytes);
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(FileBytes, FailuresReportAndCreateNothing)
{
    IniTestFolder folder;
    std::string read = "stale";
    EXPECT_FALSE(ReadFileBytes(folder.File("missing.ini"), read));
    EXPECT_TRUE(read.empty());
    EXPECT_FALSE(WriteFileAtomically(folder.File("no-such-folder/x.ini"), "x"));
    EXPECT_FALSE(std::filesystem::exists(folder.File("no-such-folder")));
}

TEST(FileBytes, ReadsEndOnWhatCannotBeASettingsFile)
{
    // A file past the size limit (sparse, so the test writes nothing), a FIFO nobody writes to and an endless
    // device: each must fail at once instead of blocking or reading without end.
    IniTestFolder folder;
    const std::string large = folder.File("large.ini");
    IniTestFolder::Write(large, "[S]\n");
    ASSERT_EQ(truncate(large.c_str(), static_cast<off_t>(kMaxSettingsFileBytes) + 1), 0);
    const std::string fifo = folder.File("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {large, fifo, std::string("/dev/zero"), folder.Path().string()}) {
        std::string read = "stale";
        EXPECT_FALSE(ReadFileBytes(path, read)) << path;
        EXPECT_TRUE(read.empty()) << path;
        EXPECT_EQ(OpenRegularFile(path), nullptr) << path;
    }
}

TEST(FileBytes, StreamOpensARegularFileWithinItsLimit)
{
    IniTestFolder folder;
    const std::string file = folder.File("last.cal");
    IniTestFolder::Write(file, "12345678");
    FILE* stream = OpenRegularFile(file, 8);
    ASSERT_NE(stream, nullptr);
    char read[9] = {};
    EXPECT_EQ(std::fread(read, 1, sizeof read, stream), 8u);
    EXPECT_STREQ(read, "12345678");
    std::fclose(stream);
    EXPECT_EQ(OpenRegularFile(file, 7), nullptr);
    std::string bytes;
    EXPECT_FALSE(ReadFileBytes(file, bytes, 7));
    EXPECT_TRUE(ReadFileBytes(file, bytes, 8));
}

namespace {

// A process id that no process has (a child that has ended and been reaped).
pid_t EndedProcess()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return child;
}

std::set<std::string> Names(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

}  // namespace

TEST(FileBytes, AWriteCutShortLeavesItsTemporaryFileAndTheNextWriteRemovesIt)
{
    IniTestFolder folder;
    const std::string file = folder.File("doc.qrx");
    ASSERT_TRUE(WriteFileAtomically(file, "first"));
    // The program killed in the middle of a save.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        WriteFileAtomically(file, [](FILE* f) {
            std::fputs("half of a large document", f);
            std::fflush(f);
            raise(SIGKILL);
            return true;
        });
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    std::set<std::string> names = Names(folder.Path());
    ASSERT_EQ(names.size(), 2u);
    ASSERT_EQ(names.erase("doc.qrx"), 1u);
    const std::string left = *names.begin();
    EXPECT_EQ(left.rfind("doc.qrx.tmp" + std::to_string(child) + "-", 0), 0u) << left;
    EXPECT_EQ(IniTestFolder::Read(folder.File(left)), "half of a large document");

    ASSERT_TRUE(WriteFileAtomically(file, "second"));
    EXPECT_EQ(Names(folder.Path()), std::set<std::string>{"doc.qrx"});
    EXPECT_EQ(IniTestFolder::Read(file), "second");
}

TEST(FileBytes, OnlyLeftoversNobodyWritesAreRemoved)
{
    IniTestFolder folder;
    const std::string file = folder.File("doc.qrx");
    const pid_t ended = EndedProcess();
    const std::string stale = AtomicWriteTempPath(file, ended, 3);
    const std::string staleOfOurs = AtomicWriteTempPath(file, getpid(), 999999);  // an earlier process of our id
    const std::string running = AtomicWriteTempPath(file, getppid(), 1);  // an older writer that took no lock
    const std::string locked = AtomicWriteTempPath(file, getpid(), 888888);
    const std::string otherFile = AtomicWriteTempPath(folder.File("other.qrx"), ended, 1);
    const std::string linked = AtomicWriteTempPath(file, ended, 4);
    for (const std::string& path : {stale, staleOfOurs, running, locked, otherFile})
        IniTestFolder::Write(path, "leftover");
    for (const char* name : {"doc.qrx.tmp", "doc.qrx.tmpx-1", "doc.qrx.tmp1-", "doc.qrx.tmp12-3.bak", "doc.qrx.bak"})
        IniTestFolder::Write(folder.File(name), "the user's");
    ASSERT_EQ(symlink(otherFile.c_str(), linked.c_str()), 0);
    const int held = open(locked.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);  // a save under way in this process

    EXPECT_EQ(RemoveStaleAtomicWriteTemps(file), 2);
    close(held);
    for (const std::string& gone : {stale, staleOfOurs})
        EXPECT_FALSE(std::filesystem::exists(gone)) << gone;
    for (const std::string& kept : {running, locked, otherFile, linked})
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(kept))) << kept;
    EXPECT_EQ(Names(folder.Path()).size(), 9u) << "the user's five files and the four kept above";
}

TEST(FileBytes, ASaveUnderWayKeepsItsTemporaryFileWhileAnotherIsWritten)
{
    IniTestFolder folder;
    const std::string file = folder.File("doc.qrx");
    std::promise<void> writing;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::thread slow([&] {
        EXPECT_TRUE(WriteFileAtomically(file, [&](FILE* f) {
            std::fputs("slow", f);
            writing.set_value();
            released.wait();
            return true;
        }));
    });
    writing.get_future().wait();
    // A second save of the same file meanwhile: the first one's temporary file is held, so it stays.
    EXPECT_TRUE(WriteFileAtomically(file, "quick"));
    EXPECT_EQ(Names(folder.Path()).size(), 2u);
    release.set_value();
    slow.join();
    EXPECT_EQ(Names(folder.Path()), std::set<std::string>{"doc.qrx"});
    EXPECT_EQ(IniTestFolder::Read(file), "slow");
}

TEST(FileBytes, AFailedWriteSaysWhyAndAThrowingWriterLeavesNothing)
{
    IniTestFolder folder;
    errno = 0;
    EXPECT_FALSE(WriteFileAtomically(folder.File("no-such-folder/x.qrx"), "x"));
    EXPECT_EQ(errno, ENOENT);

    // A file larger than the process may write: the write fails with the system's reason.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit small{4096, saved.rlim_max};
    void (*handler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    errno = 0;
    const bool written = WriteFileAtomically(folder.File("big.qrx"), std::string(8192, 'x'));
    const int error = errno;
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, handler);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, EFBIG);

    EXPECT_THROW(WriteFileAtomically(folder.File("thrown.qrx"),
                                     [](FILE*) -> bool { throw std::runtime_error("writer failed"); }),
                 std::runtime_error);
    EXPECT_TRUE(Names(folder.Path()).empty());
}
