#include "inifile/AtomicWriteTemps.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kTempMarker = ".tmp";

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool AllDigits(const std::string& text)
{
    if (text.empty() || text.size() > 10)
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The writer's pid when `entry` is a temporary name of `fileName` ("<fileName>.tmp<pid>-<serial>"), else -1.
long WriterOf(const std::string& entry, const std::string& fileName)
{
    const std::string prefix = fileName + kTempMarker;
    if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0)
        return -1;
    const std::string rest = entry.substr(prefix.size());
    const size_t dash = rest.find('-');
    if (dash == std::string::npos || !AllDigits(rest.substr(0, dash)) || !AllDigits(rest.substr(dash + 1)))
        return -1;
    return std::strtol(rest.c_str(), nullptr, 10);
}

// A process of that id runs (EPERM: it runs under another user).
bool IsRunning(long pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// Removes one candidate when nobody writes it any more.
bool RemoveIfStale(const std::string& temp, long writer)
{
    if (writer != static_cast<long>(::getpid()) && IsRunning(writer))
        return false;
    const int fd = ::open(temp.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool removed = false;
    struct stat opened {};
    struct stat named {};
    // The lock is held through the unlink: a writer that locks the file after us finds it unlinked and starts a
    // new one. The name must still be the file we locked.
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(temp.c_str(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
        removed = ::unlink(temp.c_str()) == 0;
    ::close(fd);
    return removed;
}

}  // namespace

std::string AtomicWriteTempPath(const std::string& path, long pid, unsigned serial)
{
    return path + kTempMarker + std::to_string(pid) + "-" + std::to_string(serial);
}

int RemoveStaleAtomicWriteTemps(const std::string& path)
{
    const std::string folder = FolderOf(path);
    const std::string fileName = FileNameOf(path);
    if (fileName.empty())
        return 0;
    const int savedErrno = errno;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const long writer = WriterOf(name, fileName);
        if (writer >= 0 && RemoveIfStale(folder + "/" + name, writer))
            ++removed;
    }
    ::closedir(dir);
    errno = savedErrno;
    return removed;
}
