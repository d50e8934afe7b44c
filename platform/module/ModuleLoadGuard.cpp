#include "module/ModuleLoadGuard.h"

#include "inifile/FileBytes.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <thread>
#include <vector>

namespace {

constexpr char kMarkerTag[] = "Vistrel module load marker 1";
constexpr size_t kMaxMarkerBytes = 64 * 1024;

// The module file as it is now: a marker of another file (replaced, updated) at the same path does not count.
std::string FileIdentity(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return "missing";
    return std::to_string(st.st_dev) + " " + std::to_string(st.st_ino) + " " + std::to_string(st.st_size) + " " +
           std::to_string(static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos)
            break;   // a last line without its break was cut off
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Whether a process holds the marker's lock: its load is running now, whatever the marker says.
bool BeingLoaded(const std::string& marker)
{
    const int fd = ::open(marker.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string DefaultModuleMarkerFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string folder;
    if (state && state[0] == '/') {
        folder = state;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !home[0]) {
            const passwd* user = ::getpwuid(::getuid());
            home = user ? user->pw_dir : "/tmp";
        }
        folder = std::string(home) + "/.local/state";
    }
    return folder + "/QRX/module-loading/";
}

ModuleLoadGuard::ModuleLoadGuard(std::string markerFolder, std::string kind)
    : m_folder(std::move(markerFolder)), m_kind(std::move(kind))
{
}

std::string ModuleLoadGuard::MarkerPath(const std::string& modulePath) const
{
    if (m_folder.empty())
        return {};
    std::string folder = m_folder;
    if (folder.back() != '/')
        folder += '/';
    return folder + m_kind + "-" + FileNameOf(modulePath);
}

void ModuleLoadGuard::WriteMarker(const std::string& modulePath, const std::string& step, bool told,
                                  int descriptor) const
{
    const std::string marker = MarkerPath(modulePath);
    if (marker.empty())
        return;
    const std::string text = std::string(kMarkerTag) + "\n" + modulePath + "\n" + FileIdentity(modulePath) + "\n" +
                             step + "\n" + (told ? "told" : "untold") + "\n";
    // No fsync: the marker has to outlive a crash of the program, which the page cache does; waiting for the disk
    // at every module would slow every start.
    int fd = descriptor;
    if (fd < 0) {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(marker).parent_path(), ignored);
        fd = ::open(marker.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (fd < 0)
            return;
    } else if (::ftruncate(fd, 0) != 0) {
        return;
    }
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::pwrite(fd, text.data() + written, text.size() - written, static_cast<off_t>(written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<size_t>(n);
    }
    if (descriptor < 0)
        ::close(fd);
}

bool ModuleLoadGuard::MayLoad(const std::string& modulePath, const TellFunc& tell)
{
    if (m_skipped.count(modulePath))
        return false;
    const std::string marker = MarkerPath(modulePath);
    if (marker.empty())
        return true;
    if (BeingLoaded(marker))
        return true;
    std::string text;
    if (!ReadFileBytes(marker, text, kMaxMarkerBytes)) {
        // Nothing there, or something no marker is (a folder, a FIFO): the module loads, and its own marker is
        // written in place of a file.
        std::error_code ignored;
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(marker, ignored)))
            std::filesystem::remove(marker, ignored);
        return true;
    }
    const std::vector<std::string> lines = Lines(text);
    const bool ours = lines.size() == 5 && lines[0] == kMarkerTag && lines[1] == modulePath &&
                      lines[2] == FileIdentity(modulePath);
    if (!ours) {
        std::error_code ignored;
        std::filesystem::remove(marker, ignored);
        return true;
    }
    m_skipped.insert(modulePath);
    if (lines[4] != "told") {
        if (tell && tell(Crash{modulePath, lines[3]})) {
            std::error_code ignored;
            std::filesystem::remove(marker, ignored);
        } else {
            WriteMarker(modulePath, lines[3], true);
        }
    }
    return false;
}

ModuleLoadGuard::Scope::Scope(const ModuleLoadGuard& guard, std::string modulePath, std::string step)
    : m_guard(guard), m_modulePath(std::move(modulePath))
{
    const std::string marker = m_guard.MarkerPath(m_modulePath);
    if (!marker.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(marker).parent_path(), ignored);
        m_marker = ::open(marker.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        // Another start that looks whether this module is being loaded holds the lock for a moment; a load of the
        // same module in another process holds it throughout, and this load then writes into that marker unlocked:
        // the other's lock already tells that a load runs.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        while (m_marker >= 0 && ::flock(m_marker, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK &&
               std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    m_guard.WriteMarker(m_modulePath, step, false, m_marker);
}

ModuleLoadGuard::Scope::~Scope()
{
    const std::string marker = m_guard.MarkerPath(m_modulePath);
    if (marker.empty())
        return;
    if (m_marker < 0) {
        ::unlink(marker.c_str());
        return;
    }
    // Only our own marker goes: a load elsewhere that started after ours ended may have made a new one at the name.
    struct stat mine {};
    struct stat there {};
    if (::fstat(m_marker, &mine) == 0 && ::lstat(marker.c_str(), &there) == 0 && mine.st_dev == there.st_dev &&
        mine.st_ino == there.st_ino)
        ::unlink(marker.c_str());
    ::close(m_marker);
}

void ModuleLoadGuard::Scope::Step(std::string step)
{
    m_guard.WriteMarker(m_modulePath, step, false, m_marker);
}
