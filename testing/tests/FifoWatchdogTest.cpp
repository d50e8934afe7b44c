// The watchdog names a reader that waits on a FIFO and never one that opens it only to look and refuse it, however
// often and however late such a look comes.
#include "testing/FifoWatchdog.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using testing_support::FifoWatchdog;

TEST(FifoWatchdog, NamesAWaitingReaderAndNeverOneThatOnlyLooks)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string waited = folder.filePath("waited").toStdString();
    const std::string looked = folder.filePath("looked").toStdString();
    FifoWatchdog fifos({looked, waited}, std::chrono::seconds(0));

    // Looks at its FIFO without blocking and refuses it, as a careful reader does, but is held up so long between
    // the two (a busy machine) that the watchdog finds it holding the FIFO.
    std::atomic<bool> holding{false};
    std::thread looker([&] {
        const int fd = ::open(looked.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        holding = true;
        struct stat st {};
        if (fd >= 0) {
            ::fstat(fd, &st);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            ::close(fd);
        }
    });
    while (!holding)
        std::this_thread::yield();
    // Opens and reads as if a writer were to come.
    std::thread waiter([&] {
        std::ifstream in(waited, std::ios::binary);
        std::string text;
        std::getline(in, text);
    });
    waiter.join();
    looker.join();
    EXPECT_EQ(fifos.Stop(), std::vector<std::string>{waited});
}
