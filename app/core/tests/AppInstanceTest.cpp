#include "core/BusInstanceGate.h"
#include "core/tests/AppFakes.h"

#include "winmsg/LocalPeerBus.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>

using namespace app_fakes;

namespace {

bool Contains(const Log& log, const std::string& entry)
{
    return std::find(log.begin(), log.end(), entry) != log.end();
}

}  // namespace

using AppInstanceTest = AppFixture;

TEST_F(AppInstanceTest, SecondStartRestoresTheFirstOverTheBusAndEnds)
{
    const QString identity = QStringLiteral("{vistrel-test-%1}").arg(QCoreApplication::applicationPid());
    BusInstanceGate firstGate(identity), secondGate(identity);
    std::unique_ptr<CVistrelApp> first = NewApp(&firstGate);
    ASSERT_TRUE(first->InitInstance());
    ASSERT_NE(firstGate.Bus(), nullptr);

    log.clear();
    std::unique_ptr<CVistrelApp> second =
        NewApp(&secondGate, {QStringLiteral("--open"), QStringLiteral("/images/a.png")});
    EXPECT_FALSE(second->InitInstance());
    EXPECT_FALSE(Contains(log, "LoadFrame"));
    second->ExitInstance();
    QElapsedTimer waited;
    waited.start();
    while (!Contains(log, "RestoreAndRaise") && waited.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(Contains(log, "RestoreAndRaise"));

    first->ExitInstance();
    // The first one gave the identity up: the next start runs.
    BusInstanceGate thirdGate(identity);
    EXPECT_TRUE(thirdGate.Claim({}, nullptr));
    EXPECT_NE(thirdGate.Bus(), nullptr);
}

TEST_F(AppInstanceTest, VideoRecorderIsFoundOnTheBus)
{
    LocalPeerBus recorder;
    ASSERT_TRUE(recorder.Listen(QStringLiteral("Video Recorder")));
    BusInstanceGate gateOnBus(QStringLiteral("{vistrel-test-recorder-%1}").arg(QCoreApplication::applicationPid()));
    std::unique_ptr<CVistrelApp> vistrel = NewApp(&gateOnBus);
    ASSERT_TRUE(vistrel->InitInstance());
    EXPECT_FALSE(Contains(log, "SetInstClient"));
    recorder.Close();
    EXPECT_FALSE(gateOnBus.FindWindowByTitle("Video Recorder"));
    vistrel->ExitInstance();
}
