#include "profile/private/RegistryHive.h"

#include "inifile/FileBytes.h"
#include "profile/private/RegistryText.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

RegistryHive::~RegistryHive()
{
    DropLockFile();
}

void RegistryHive::Open(std::string file)
{
    Flush();
    DropLockFile();
    problems_.clear();   // of the file left behind
    file_ = std::move(file);
    Read();
    if (lockHolders_ > 0)
        TakeLockFile();   // a batch still open goes on under the new file's lock
}

RegistryHive::FileIdentity RegistryHive::CurrentIdentity() const
{
    struct stat st {};
    if (file_.empty() || ::stat(file_.c_str(), &st) != 0)
        return FileIdentity{};
    return FileIdentity{st.st_dev, st.st_ino, st.st_size,
                        static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

namespace {

// "<file>.bak", or .bak2, .bak3, ... beside copies kept before: an earlier damaged file is never replaced. Empty
// when no free name is found.
std::string FreeCopyPath(const std::string& file)
{
    for (int n = 1; n <= kMaxDamagedStoreCopies; ++n) {
        const std::string copy = file + ".bak" + (n == 1 ? std::string() : std::to_string(n));
        struct stat st {};
        if (::lstat(copy.c_str(), &st) != 0 && errno == ENOENT)
            return copy;
    }
    return {};
}

} // namespace

void RegistryHive::Read()
{
    root_.Clear();
    known_ = CurrentIdentity();
    keepsDamaged_ = false;
    std::string text;
    const bool read = !file_.empty() && ReadFileBytes(file_, text);
    std::error_code error;
    // A file that cannot even be looked at may exist: it is not written over either.
    unreadable_ = !read && !file_.empty() && (std::filesystem::exists(file_, error) || error);
    if (unreadable_)
        Report(RegistryStoreProblem::Unreadable);
    if (read && !ReadRegistryText(text, root_))
        KeepDamaged(text);
}

void RegistryHive::KeepDamaged(const std::string& text)
{
    if (!writable_)
        return;   // never written, so nothing of it is lost
    const WriteLock lock(*this);
    const std::string copy = FreeCopyPath(file_);
    if (copy.empty() || !WriteFileAtomically(copy, text)) {
        keepsDamaged_ = true;
        Report(RegistryStoreProblem::Damaged);
        return;
    }
    Report(RegistryStoreProblem::Damaged, copy);
    // Written again now, not at the first change: a run that changes nothing would leave the damage for the next
    // start to find, copy and report once more.
    Save();
}

void RegistryHive::Report(RegistryStoreProblem::Kind kind, std::string copy)
{
    if (!writable_)
        return;
    for (const RegistryStoreProblem& problem : problems_)
        if (problem.kind == kind && problem.file == file_)
            return;
    problems_.push_back(RegistryStoreProblem{kind, file_, std::move(copy)});
}

std::vector<RegistryStoreProblem> RegistryHive::TakeProblems()
{
    return std::exchange(problems_, {});
}

void RegistryHive::Refresh()
{
    if (!waiting_ && !(CurrentIdentity() == known_))
        Read();
}

bool RegistryHive::Save()
{
    if (!Writable())
        return false;
    std::string text;
    try {
        text = WriteRegistryText(root_);
    } catch (const std::bad_alloc&) {
        Report(RegistryStoreProblem::NotWritten);
        return false;   // as a failed write: a batch's end must still release the lock
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(file_).parent_path(), ignored);
    const bool written = WriteFileAtomically(file_, text);
    if (written)
        known_ = CurrentIdentity();
    else
        Report(RegistryStoreProblem::NotWritten);
    return written;
}

void RegistryHive::Changed()
{
    if (openBatches_ > 0)
        waiting_ = true;
    else
        Save();   // a file that cannot be written keeps the change in memory for this run
}

bool RegistryHive::Flush()
{
    if (!waiting_)
        return true;
    waiting_ = false;
    return Save();
}

void RegistryHive::BeginBatch()
{
    HoldFileLock();
    if (openBatches_++ == 0)
        Refresh();   // what other processes wrote before the lock was taken
}

void RegistryHive::EndBatch()
{
    if (--openBatches_ == 0)
        Flush();
    ReleaseFileLock();
}

void RegistryHive::HoldFileLock()
{
    if (lockHolders_++ == 0)
        TakeLockFile();
}

void RegistryHive::ReleaseFileLock()
{
    if (--lockHolders_ == 0)
        DropLockFile();
}

void RegistryHive::TakeLockFile()
{
    if (!Writable())
        return;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(file_).parent_path(), ignored);
    lockFd_ = ::open((file_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (lockFd_ < 0)
        return;   // without a lock file the change is still made; only a concurrent process could race it
    int rc = 0;
    do
        rc = ::flock(lockFd_, LOCK_EX);
    while (rc != 0 && errno == EINTR);
}

void RegistryHive::DropLockFile()
{
    if (lockFd_ >= 0)
        ::close(lockFd_);   // closing releases the lock
    lockFd_ = -1;
}

RegistryHive::WriteLock::WriteLock(RegistryHive& hive) : hive_(hive)
{
    hive_.HoldFileLock();
}

RegistryHive::WriteLock::~WriteLock()
{
    hive_.ReleaseFileLock();
}
