#include "profile/RegistryHive.h"

#include "inifile/FileBytes.h"
#include "profile/RegistryText.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

void RegistryHive::Open(std::string file)
{
    file_ = std::move(file);
    Read();
}

RegistryHive::FileIdentity RegistryHive::CurrentIdentity() const
{
    struct stat st {};
    if (file_.empty() || ::stat(file_.c_str(), &st) != 0)
        return FileIdentity{};
    return FileIdentity{st.st_dev, st.st_ino, st.st_size,
                        static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

void RegistryHive::Read()
{
    root_.Clear();
    known_ = CurrentIdentity();
    std::string text;
    const bool read = !file_.empty() && ReadFileBytes(file_, text);
    unreadable_ = !read && !file_.empty() && std::filesystem::exists(file_);
    if (read)
        ReadRegistryText(text, root_);
}

void RegistryHive::Refresh()
{
    if (!(CurrentIdentity() == known_))
        Read();
}

bool RegistryHive::Save()
{
    if (!Writable())
        return false;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(file_).parent_path(), ignored);
    const bool written = WriteFileAtomically(file_, WriteRegistryText(root_));
    if (written)
        known_ = CurrentIdentity();
    return written;
}

RegistryHive::WriteLock::WriteLock(const RegistryHive& hive)
{
    if (!hive.Writable())
        return;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(hive.file_).parent_path(), ignored);
    fd_ = ::open((hive.file_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0)
        return;   // without a lock file the change is still made; only a concurrent process could race it
    int rc = 0;
    do
        rc = ::flock(fd_, LOCK_EX);
    while (rc != 0 && errno == EINTR);
}

RegistryHive::WriteLock::~WriteLock()
{
    if (fd_ >= 0)
        ::close(fd_);   // closing releases the lock
}
