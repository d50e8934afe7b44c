// Lays FIFOs where a program reads files and makes sure no read waits on one for long: after a grace period, a FIFO
// that a reader holds open is opened for writing, which ends a wait in open(); if a reader of this process still
// holds it a while later (blocked in read(), waiting for data that never comes), it is named as waited on, and
// closing the write end lets the reader see an empty file and go on. A reader that merely looks at the FIFO and
// refuses it has closed it by then, however busy the machine, so it is never named. A test of "never waits on a
// FIFO" thus ends within seconds and names the culprit instead of hanging. The watchdog runs on a thread of its own;
// construct and stop it on the test's thread.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class FifoWatchdog
{
public:
    // The grace period is what a reader that merely looks at the FIFO (and refuses it) may take on a loaded machine.
    static constexpr std::chrono::seconds kDefaultGrace{5};
    // How long a reader must keep the FIFO open after the write end appeared to count as waiting on it.
    static constexpr std::chrono::seconds kStillHeld{2};

    // Makes a FIFO at each path (its folder created as needed); a path that cannot be made is a test failure.
    explicit FifoWatchdog(std::vector<std::string> paths, std::chrono::seconds grace = kDefaultGrace);
    ~FifoWatchdog();
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

    // Stops watching; the FIFOs a reader waited on, each once, in the order they were found.
    std::vector<std::string> Stop();

private:
    void Watch();
    // Whether a descriptor of this process other than `own` refers to the FIFO that `own` has open.
    static bool HeldByAnotherDescriptor(int own);

    std::vector<std::string> m_paths;
    std::chrono::seconds m_grace;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<std::string> m_waitedOn;
    std::thread m_thread;
};

}  // namespace testing_support
