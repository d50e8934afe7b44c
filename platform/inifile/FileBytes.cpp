#include "inifile/FileBytes.h"

#include "inifile/AtomicWriteTemps.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The rename only survives a power cut once the folder entry itself is on disk.
void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Notes the first failure's errno; gives `ok`.
bool Succeeded(bool ok, int& error)
{
    if (!ok && error == 0)
        error = errno;
    return ok;
}

// Creates the temporary file of a write of `path`, locked for as long as it stays open (see AtomicWriteTemps.h);
// its descriptor, or -1 with errno set.
int CreateLockedTemp(const std::string& path, mode_t mode, std::string& temp)
{
    static std::atomic<unsigned> serial{0};
    // A name still taken (a leftover of an earlier process of the same id) is passed over, and so is a file that
    // another thread's sweep removed between its creation and its lock.
    constexpr int kAttempts = 16;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        temp = AtomicWriteTempPath(path, static_cast<long>(::getpid()), serial++);
        const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return -1;
        }
        struct stat st {};
        if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &st) != 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            errno = error;
            return -1;
        }
        if (st.st_nlink > 0)
            return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

// A descriptor on the path when it is a regular file of at most `maxBytes`, else -1.
int OpenRegularDescriptor(const std::string& path, size_t maxBytes)
{
    // Not blocking: opening a FIFO nobody writes to would wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st {};
    int refusal = 0;
    if (::fstat(fd, &st) != 0)
        refusal = errno;
    else if (!S_ISREG(st.st_mode))
        refusal = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
    else if (static_cast<uintmax_t>(st.st_size) > maxBytes)
        refusal = EFBIG;
    if (refusal != 0) {
        ::close(fd);
        errno = refusal;
        return -1;
    }
    return fd;
}

} // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes)
{
    return ReadFileBytes(path, bytes, kMaxSettingsFileBytes);
}

bool ReadFileBytes(const std::string& path, std::string& bytes, size_t maxBytes)
{
    bytes.clear();
    const int fd = OpenRegularDescriptor(path, maxBytes);
    if (fd < 0)
        return false;
    bool ok = true;
    char chunk[65536];
    // The size is checked again while reading: a file may grow, and some (under /proc) report none.
    while (ok) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes.append(chunk, static_cast<size_t>(n));
        ok = bytes.size() <= maxBytes;
    }
    ::close(fd);
    if (!ok)
        bytes.clear();
    return ok;
}

FILE* OpenRegularFile(const std::string& path, size_t maxBytes)
{
    const int fd = OpenRegularDescriptor(path, maxBytes);
    if (fd < 0)
        return nullptr;
    // Reads of a regular file never wait, so the stream may keep the descriptor non-blocking.
    FILE* file = ::fdopen(fd, "rb");
    if (!file)
        ::close(fd);
    return file;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    return WriteFileAtomically(path, [bytes](FILE* file) {
        return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    });
}

bool WriteFileAtomically(const std::string& path, const std::function<bool(FILE*)>& write)
{
    // What earlier writes of this file left when they were cut short goes first: each may be as large as the file.
    RemoveStaleAtomicWriteTemps(path);

    mode_t mode = 0666;
    struct stat existing {};
    const bool replacing = ::stat(path.c_str(), &existing) == 0;
    if (replacing)
        mode = existing.st_mode & 07777;

    std::string temp;
    const int fd = CreateLockedTemp(path, mode, temp);
    if (fd < 0)
        return false;
    FILE* file = ::fdopen(fd, "w+b");
    if (!file) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        errno = error;
        return false;
    }
    int error = 0;
    bool ok = false;
    try {
        errno = 0;
        ok = write(file);
    } catch (...) {
        std::fclose(file);
        ::unlink(temp.c_str());
        throw;
    }
    if (!ok)
        error = errno;
    ok = ok && Succeeded(std::fflush(file) == 0 && !std::ferror(file), error);
    if (ok && replacing)
        ok = Succeeded(::fchmod(fd, mode) == 0, error);  // open() applied the umask; a replaced file keeps its mode
    // A rename that reached the disk ahead of the data would leave an empty file after a power cut.
    ok = ok && Succeeded(::fsync(fd) == 0, error);
    ok = Succeeded(std::fclose(file) == 0, error) && ok;  // closing lets go of the lock
    ok = ok && Succeeded(::rename(temp.c_str(), path.c_str()) == 0, error);
    if (!ok) {
        ::unlink(temp.c_str());
        errno = error;
        return false;
    }
    SyncFolder(FolderOf(path));
    return true;
}
