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

    std::atomic<bool> done{false};
    // Looks at its FIFO without blocking and refuses it, over and over, as a careful reader does when the machine is
    // so busy that it is often caught holding it.
    std::thread looker([&] {
        while (!done) {
            const int fd = ::open(looked.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            struct stat st {};
            if (fd >= 0) {
                ::fstat(fd, &st);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    // Opens and reads as if a writer were to come.
    std::thread waiter([&] {
        std::ifstream in(waited, std::ios::binary);
        std::string text;
        std::getline(in, text);
        done = true;
    });
    waiter.join();
    looker.join();
    EXPECT_EQ(fifos.Stop(), std::vector<std::string>{waited});
}
