#include "core/QuitOnTerminate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <csignal>

TEST(QuitOnTerminateTest, TerminationRequestReachesTheUiThreadAndIsUndoneAfterwards)
{
    int quits = 0;
    {
        const QuitOnTerminate guard([&quits] { ++quits; });
        ASSERT_TRUE(guard.IsInstalled());
        // Only one may be installed at a time.
        EXPECT_FALSE(QuitOnTerminate([] {}).IsInstalled());
        std::raise(SIGTERM);
        std::raise(SIGHUP);
        QElapsedTimer waited;
        waited.start();
        while (quits == 0 && waited.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_GE(quits, 1);
    }
    // The previous handling is back: ignoring the signal now is the test's own choice.
    struct sigaction current = {};
    sigaction(SIGTERM, nullptr, &current);
    EXPECT_EQ(current.sa_handler, SIG_DFL);
}
