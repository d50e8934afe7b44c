#include "inifile/FileBytes.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
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

// A descriptor on the path when it is a regular file of at most `maxBytes`, else -1.
int OpenRegularDescriptor(const std::string& path, size_t maxBytes)
{
    // Not blocking: opening a FIFO nobody writes to would wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uintmax_t>(st.st_size) > maxBytes) {
        ::close(fd);
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
    static std::atomic<unsigned> serial{0};
    const std::string temp = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(serial++);

    mode_t mode = 0666;
    struct stat existing {};
    const bool replacing = ::stat(path.c_str(), &existing) == 0;
    if (replacing)
        mode = existing.st_mode & 07777;

    const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    FILE* file = ::fdopen(fd, "w+b");
    if (!file) {
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    bool ok = write(file);
    ok = ok && std::fflush(file) == 0 && !std::ferror(file);
    if (ok && replacing)
        ok = ::fchmod(fd, mode) == 0;  // open() applied the umask; a replaced file keeps the mode it had
    // A rename that reached the disk ahead of the data would leave an empty file after a power cut.
    ok = ok && ::fsync(fd) == 0;
    ok = (std::fclose(file) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(FolderOf(path));
    return true;
}
