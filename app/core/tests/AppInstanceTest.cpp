#include "core/BusInstanceGate.h"
#include "core/StartupStrings.h"
#include "core/tests/AppFakes.h"

#include "testing/MessageBoxRecorder.h"
#include "winmsg/LocalPeerBus.h"
#include "winmsg/PeerFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLockFile>

#include <algorithm>

using namespace app_fakes;
using testing_support::MessageBoxes;

namespace {

bool Contains(const Log& log, const std::string& entry)
{
    return std::find(log.begin(), log.end(), entry) != log.end();
}

// The documents as far as start-up uses them: which paths it asked to open.
class RecordingDocuments : public IDocumentHost
{
public:
    explicit RecordingDocuments(Log& log) : m_log(log) {}
    CVistrelDoc* OpenDocumentFile(const std::string& path) override
    {
        m_log.push_back("Open " + path);
        return nullptr;
    }
    CVistrelDoc* NewDocument(const std::string&) override { return nullptr; }
    CVistrelView* FindLiveView() override { return nullptr; }
    void ClearAllSelections() override {}
    std::vector<OpenTitleEntry> GetOpenTitles(CVistrelDoc*) override { return {}; }

private:
    Log& m_log;
};

// A first instance as a second start finds it: it holds the owner's lock (and, when asked, its socket, on which it
// takes connections and never answers, as a hung or stopped program does).
class FirstInstance
{
public:
    FirstInstance(const QString& identity, bool listening) : m_lock(PeerSocketPath(identity) + ".owner")
    {
        m_lock.setStaleLockTime(0);
        m_locked = m_lock.tryLock(0);
        if (listening)
            m_listening = m_hung.listen(PeerSocketPath(identity));
    }
    bool Ready(bool listening) const { return m_locked && m_listening == listening; }

private:
    QLockFile m_lock;
    QLocalServer m_hung;
    bool m_locked = false;
    bool m_listening = false;
};

// A short wait for the first instance: the outcome, not the time, is what the tests look at.
constexpr int kHandOverMs = 500;

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
    EXPECT_EQ(thirdGate.Claim({}, nullptr), InstanceClaim::Owner);
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

// A first instance that takes the connection and never answers cannot be handed the file: the user is told, and the
// start fails, rather than ending as if the file had opened.
TEST_F(AppInstanceTest, SecondStartThatTheFirstDoesNotTakeSaysSoAndFails)
{
    const QString identity = QStringLiteral("{vistrel-test-hung-%1}").arg(QCoreApplication::applicationPid());
    const FirstInstance hung(identity, true);
    ASSERT_TRUE(hung.Ready(true));
    MessageBoxes().Reset();
    BusInstanceGate gate(identity, kHandOverMs);
    std::unique_ptr<CVistrelApp> second =
        NewApp(&gate, {QStringLiteral("--open"), QStringLiteral("/images/a.png")});
    EXPECT_FALSE(second->InitInstance());
    EXPECT_FALSE(Contains(log, "LoadFrame"));
    ASSERT_EQ(MessageBoxes().Boxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().Boxes()[0].text, StartupString(startstr::IDS_INSTANCE_DID_NOT_ANSWER));
    EXPECT_FALSE(MessageBoxes().Boxes()[0].text.empty());
    EXPECT_NE(second->ExitInstance(), 0);
}

// A first instance whose bus is gone holds the lock but nobody listens: the second start runs and opens the file.
TEST_F(AppInstanceTest, SecondStartOpensTheFileItselfWhenNoFirstInstanceListens)
{
    const QString identity = QStringLiteral("{vistrel-test-deaf-%1}").arg(QCoreApplication::applicationPid());
    const FirstInstance deaf(identity, false);
    ASSERT_TRUE(deaf.Ready(false));
    MessageBoxes().Reset();
    RecordingDocuments recorded(log);
    documents = &recorded;
    BusInstanceGate gate(identity, kHandOverMs);
    std::unique_ptr<CVistrelApp> second =
        NewApp(&gate, {QStringLiteral("--open"), QStringLiteral("/images/a.png")});
    ASSERT_TRUE(second->InitInstance());
    EXPECT_TRUE(Contains(log, "Open /images/a.png"));
    EXPECT_TRUE(MessageBoxes().Boxes().empty());
    ASSERT_NE(gate.Bus(), nullptr) << "it listens as the program from now on";

    // A third start is handed to it.
    BusInstanceGate thirdGate(identity, 3000);
    EXPECT_EQ(thirdGate.Claim({}, nullptr), InstanceClaim::HandedOver);
    EXPECT_EQ(second->ExitInstance(), 0);
    documents = nullptr;
}
