#include "FifoWatchdog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testing_support {

FifoWatchdog::FifoWatchdog(std::vector<std::string> paths, std::chrono::seconds grace)
    : m_paths(std::move(paths)), m_grace(grace)
{
    for (const std::string& path : m_paths) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
        std::filesystem::remove(path, error);
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0) << path << ": " << std::strerror(errno);
    }
    m_thread = std::thread([this] { Watch(); });
}

FifoWatchdog::~FifoWatchdog()
{
    Stop();
}

std::vector<std::string> FifoWatchdog::Stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard lock(m_mutex);
    return m_waitedOn;
}

void FifoWatchdog::Watch()
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + m_grace;
    while (!m_stop) {
        std::this_thread::sleep_for(milliseconds(20));
        if (steady_clock::now() < deadline)
            continue;
        for (const std::string& path : m_paths) {
            // Opening the write end without blocking succeeds only while a reader has the FIFO open.
            const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0)
                continue;
            std::this_thread::sleep_for(kStillHeld);
            const bool waited = HeldByAnotherDescriptor(fd);
            ::close(fd);   // a reader still there now reads an end of file
            if (!waited)
                continue;
            std::lock_guard lock(m_mutex);
            if (std::find(m_waitedOn.begin(), m_waitedOn.end(), path) == m_waitedOn.end())
                m_waitedOn.push_back(path);
        }
    }
}

bool FifoWatchdog::HeldByAnotherDescriptor(int own)
{
    struct stat fifo {};
    if (::fstat(own, &fifo) != 0)
        return false;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const std::string name = entry.path().filename().string();
        struct stat target {};
        if (name == std::to_string(own) || ::stat(entry.path().c_str(), &target) != 0)
            continue;
        if (target.st_dev == fifo.st_dev && target.st_ino == fifo.st_ino)
            return true;
    }
    return false;
}

}  // namespace testing_support
