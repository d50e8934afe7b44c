#include "PeerTestFolder.h"

#include "winmsg/PeerFolder.h"
#include "winmsg/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kClass = QStringLiteral("{5C1E5A3B-6D0F-4E7A-9B1C-2F3D4E5A6B7C}");

std::unique_ptr<QProcess> StartProbe(int requests, int stayMs, const QStringList& paths = {})
{
    auto probe = std::make_unique<QProcess>();
    probe->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe->start(QStringLiteral(INSTANCE_PROBE),
                 QStringList{kClass, QString::number(requests), QString::number(stayMs)} + paths);
    return probe;
}

QStringList OutputLines(QProcess& probe)
{
    EXPECT_TRUE(probe.waitForFinished(15000)) << "the probe did not end";
    return QString::fromUtf8(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

class SingleInstanceTest : public ::testing::Test
{
protected:
    PeerTestFolder folder;
};

}  // namespace

TEST_F(SingleInstanceTest, SecondStartHandsItsPathsToTheFirst)
{
    SingleInstance first(kClass);
    ASSERT_EQ(first.Claim(), SingleInstance::Outcome::Owner);
    ASSERT_NE(first.GetBus(), nullptr);
    EXPECT_TRUE(first.GetBus()->FindWindow(kClass));
    QSignalSpy started(&first, &SingleInstance::anotherInstanceStarted);

    SingleInstance second(kClass);
    EXPECT_EQ(second.Claim({"relative/a.bmp", "/abs/b \xea\xb0\x80.jpg"}, 3000),
              SingleInstance::Outcome::AnotherInstanceAnswered);
    EXPECT_EQ(second.GetBus(), nullptr);
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0][0].toStringList(),
              (QStringList{QDir::current().absoluteFilePath("relative/a.bmp"), "/abs/b \xea\xb0\x80.jpg"}))
        << "relative paths are made absolute where the start was made";

    SingleInstance third(kClass);
    EXPECT_EQ(third.Claim(), SingleInstance::Outcome::AnotherInstanceAnswered);
    ASSERT_EQ(started.size(), 2);
    EXPECT_TRUE(started[1][0].toStringList().isEmpty());
}

TEST_F(SingleInstanceTest, OwnershipPassesOnWhenTheOwnerEnds)
{
    {
        SingleInstance first(kClass);
        ASSERT_EQ(first.Claim(), SingleInstance::Outcome::Owner);
    }
    SingleInstance next(kClass);
    EXPECT_EQ(next.Claim(), SingleInstance::Outcome::Owner);
}

// An owner killed outright leaves its lock and socket behind; the next start takes both over.
TEST_F(SingleInstanceTest, OwnerThatDiedLeavesNothingInTheWay)
{
    const auto owner = StartProbe(100, 20000);
    ASSERT_TRUE(owner->waitForReadyRead(10000));
    ASSERT_EQ(owner->readLine().trimmed(), "owner");
    owner->kill();
    ASSERT_TRUE(owner->waitForFinished(5000));
    ASSERT_TRUE(QFile::exists(PeerSocketPath(kClass)));
    ASSERT_TRUE(QFile::exists(PeerSocketPath(kClass) + ".owner")) << "the dead owner's lock";

    SingleInstance next(kClass);
    EXPECT_EQ(next.Claim({}, 3000), SingleInstance::Outcome::Owner);
}

// Three programs started at the same moment: exactly one runs, and it hears from the other two.
TEST_F(SingleInstanceTest, SimultaneousStartsLeaveExactlyOneOwner)
{
    std::vector<std::unique_ptr<QProcess>> probes;
    for (int i = 0; i < 3; ++i)
        probes.push_back(StartProbe(2, 10000, {QStringLiteral("/images/%1.bmp").arg(i)}));
    int owners = 0;
    int answered = 0;
    QStringList handedOver;
    for (const auto& probe : probes) {
        const QStringList lines = OutputLines(*probe);
        ASSERT_FALSE(lines.isEmpty());
        if (lines[0] == "owner") {
            ++owners;
            for (const QString& line : lines.mid(1))
                handedOver << line;
        } else {
            EXPECT_EQ(lines[0], "answered");
            ++answered;
        }
        EXPECT_EQ(probe->exitCode(), 0);
    }
    EXPECT_EQ(owners, 1);
    EXPECT_EQ(answered, 2);
    EXPECT_EQ(handedOver.size(), 2) << handedOver.join(", ").toStdString();
}

// An owner that holds the lock but cannot be handed anything: with nobody listening this start takes the identity
// over; an owner that takes the connection and never answers is reported. An owner's answer counts whatever its
// value: other receivers on its bus may set it.
TEST_F(SingleInstanceTest, AnOwnerThatCannotTakeTheRequestIsTakenOverOrReported)
{
    enum class FirstHas { NoListener, SilentListener, ListenerAnsweringZero };
    const struct
    {
        const char* what;
        FirstHas first;
        SingleInstance::Outcome expected;
    } cases[] = {
        {"bus gone", FirstHas::NoListener, SingleInstance::Outcome::Owner},
        {"hung", FirstHas::SilentListener, SingleInstance::Outcome::AnotherInstanceSilent},
        {"answering 0", FirstHas::ListenerAnsweringZero, SingleInstance::Outcome::AnotherInstanceAnswered},
    };
    for (const auto& c : cases) {
        QLockFile ownerLock(PeerSocketPath(kClass) + ".owner");
        ownerLock.setStaleLockTime(0);
        ASSERT_TRUE(ownerLock.tryLock(0)) << c.what;
        QLocalServer silent;
        LocalPeerBus answering;
        if (c.first == FirstHas::SilentListener) {
            ASSERT_TRUE(silent.listen(PeerSocketPath(kClass)));
        }
        if (c.first == FirstHas::ListenerAnsweringZero) {
            ASSERT_TRUE(answering.Listen(kClass));
            QObject::connect(&answering, &PeerBus::registeredMessage, [&] { answering.SetReply(0); });
        }
        SingleInstance second(kClass);
        EXPECT_EQ(second.Claim({"/images/a.bmp"}, 500), c.expected) << c.what;
        EXPECT_EQ(second.GetBus() != nullptr, c.expected == SingleInstance::Outcome::Owner) << c.what;
        if (second.GetBus()) {
            // It is the instance now, also once the first has gone and its lock with it.
            QSignalSpy started(&second, &SingleInstance::anotherInstanceStarted);
            SingleInstance third(kClass);
            EXPECT_EQ(third.Claim({}, 3000), SingleInstance::Outcome::AnotherInstanceAnswered) << c.what;
            ownerLock.unlock();
            SingleInstance fourth(kClass);
            EXPECT_EQ(fourth.Claim({}, 3000), SingleInstance::Outcome::AnotherInstanceAnswered) << c.what;
            EXPECT_EQ(started.size(), 2) << c.what;
        }
    }
}
