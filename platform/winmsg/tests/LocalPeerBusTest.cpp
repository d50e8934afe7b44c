#include "PeerTestFolder.h"

#include "winmsg/LocalPeerBus.h"
#include "winmsg/PeerFolder.h"
#include "winmsg/PeerFrame.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace {

const QString kRecorder = QStringLiteral("Video Recorder");
const QString kMainClass = QStringLiteral("{5C1E5A3B-6D0F-4E7A-9B1C-2F3D4E5A6B7C}");
// How long an answer that must come may take on a busy machine; a healthy one comes at once.
constexpr int kAnswerBoundMs = 20000;

// What a program that died leaves behind: a socket file nobody listens on.
void LeaveStaleSocket(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    ASSERT_LT(static_cast<size_t>(name.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(path));
}

QByteArray Encoded(const PeerFrame& frame)
{
    const std::vector<uint8_t> bytes = EncodePeerFrame(frame);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// The head of a copy-data frame that announces `payload` bytes, and `sent` of them.
QByteArray PartialFrame(uint32_t payload, int sent)
{
    PeerFrame frame;
    frame.kind = PeerFrameKind::CopyData;
    frame.payload.assign(payload, 0x5A);
    return Encoded(frame).left(12 + 24 + sent);
}

std::vector<std::unique_ptr<QLocalSocket>> Connect(const QString& identity, int count)
{
    std::vector<std::unique_ptr<QLocalSocket>> sockets;
    for (int i = 0; i < count; ++i) {
        sockets.push_back(std::make_unique<QLocalSocket>());
        sockets.back()->connectToServer(PeerSocketPath(identity));
        EXPECT_TRUE(sockets.back()->waitForConnected(1000));
    }
    return sockets;
}

int Closed(const std::vector<std::unique_ptr<QLocalSocket>>& sockets)
{
    return static_cast<int>(std::count_if(sockets.begin(), sockets.end(), [](const auto& socket) {
        return socket->state() == QLocalSocket::UnconnectedState;
    }));
}

// Takes every free descriptor number below a lowered limit, as a process that ran out of them; gives them back
// and the limit when it goes.
class DescriptorShortage
{
public:
    DescriptorShortage()
    {
        ::getrlimit(RLIMIT_NOFILE, &m_saved);
        int highest = 0;
        if (DIR* open = ::opendir("/proc/self/fd")) {
            while (const dirent* entry = ::readdir(open))
                highest = std::max(highest, std::atoi(entry->d_name));
            ::closedir(open);
        }
        rlimit lowered = m_saved;
        lowered.rlim_cur = static_cast<rlim_t>(highest) + 32;
        ::setrlimit(RLIMIT_NOFILE, &lowered);
        for (int fd = ::dup(0); fd >= 0; fd = ::dup(0))
            m_taken.push_back(fd);
    }
    ~DescriptorShortage() { End(); }
    // One descriptor back, for the next thing opened.
    void Spare()
    {
        if (!m_taken.empty()) {
            ::close(m_taken.back());
            m_taken.pop_back();
        }
    }
    void End()
    {
        for (const int fd : m_taken)
            ::close(fd);
        m_taken.clear();
        ::setrlimit(RLIMIT_NOFILE, &m_saved);
    }

private:
    rlimit m_saved = {};
    std::vector<int> m_taken;
};

class LocalPeerBusTest : public ::testing::Test
{
protected:
    PeerTestFolder folder;
    LocalPeerBus sender;
    LocalPeerBus receiver;
};

}  // namespace

TEST_F(LocalPeerBusTest, PostedMessageArrivesWithItsAttachment)
{
    ASSERT_TRUE(receiver.Listen(kMainClass));
    QSignalSpy messages(&receiver, &PeerBus::registeredMessage);
    EXPECT_TRUE(sender.PostMessage(kMainClass, "QRX New Doc", -5, 1LL << 40, QByteArray("a\0b", 3)));
    ASSERT_TRUE(messages.wait(kAnswerBoundMs));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0][0].toString(), "QRX New Doc");
    EXPECT_EQ(messages[0][1].toLongLong(), -5);
    EXPECT_EQ(messages[0][2].toLongLong(), 1LL << 40);
    EXPECT_EQ(messages[0][3].toByteArray(), QByteArray("a\0b", 3));

    EXPECT_FALSE(sender.PostMessage(QStringLiteral("nobody"), "QRX New Doc", 0, 0));
    EXPECT_FALSE(sender.PostMessage(kMainClass, QString(), 0, 0)) << "a message without a name";
}

// Both ends live on one thread, as two windows of one program did: the wait serves the receiver.
TEST_F(LocalPeerBusTest, SendWaitsForTheReceiversAnswer)
{
    ASSERT_TRUE(receiver.Listen(kMainClass));
    QByteArray seen;
    QObject::connect(&receiver, &PeerBus::registeredMessage,
                     [&](const QString& name, qint64 w, qint64, const QByteArray& attachment) {
                         seen = attachment;
                         if (name == "TLV COM - NEW")
                             receiver.SetReply(w + 1);
                     });
    const PeerReply answered = sender.SendMessage(kMainClass, "TLV COM - NEW", 41, 0, kAnswerBoundMs, "payload");
    EXPECT_TRUE(answered.delivered);
    EXPECT_EQ(answered.result, 42);
    EXPECT_EQ(seen, "payload");

    const PeerReply unanswered = sender.SendMessage(kMainClass, "MQtoVQ_MSG", 0, 0);
    EXPECT_TRUE(unanswered.delivered);
    EXPECT_EQ(unanswered.result, 0) << "a receiver that sets no reply answers 0";

    const PeerReply toItself = receiver.SendMessage(kMainClass, "TLV COM - NEW", 1, 0, kAnswerBoundMs);
    EXPECT_TRUE(toItself.delivered);
    EXPECT_EQ(toItself.result, 2);

    receiver.SetReply(7);  // outside a delivery: ignored
    EXPECT_FALSE(sender.SendMessage(QStringLiteral("nobody"), "MQtoVQ_MSG", 0, 0).delivered);
}

TEST_F(LocalPeerBusTest, CopyDataNamesItsSender)
{
    ASSERT_TRUE(receiver.Listen(kMainClass));
    ASSERT_TRUE(sender.Listen(QStringLiteral("Image Tiling (64)")));
    QSignalSpy copies(&receiver, &PeerBus::copyData);
    QObject::connect(&receiver, &PeerBus::copyData, [&](quint32 code, const QByteArray&, const QString&) {
        receiver.SetReply(code == 9006 ? 1 : 0);
    });
    const QByteArray path = QByteArray("/images/a.bmp").leftJustified(260, '\0');
    const PeerReply reply = sender.SendCopyData(kMainClass, 9006, path, kAnswerBoundMs);
    EXPECT_TRUE(reply.delivered);
    EXPECT_EQ(reply.result, 1);
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(copies[0][0].toUInt(), 9006u);
    EXPECT_EQ(copies[0][1].toByteArray(), path);
    EXPECT_EQ(copies[0][2].toString(), "Image Tiling (64)");

    // A large block crosses in many reads while both ends share one thread.
    QByteArray image(24 << 20, '\0');
    for (qsizetype i = 0; i < image.size(); i += 4096)
        image[i] = static_cast<char>(i >> 12);
    EXPECT_TRUE(sender.SendCopyData(kMainClass, 9001, image, kAnswerBoundMs * 3).delivered);
    ASSERT_EQ(copies.size(), 2);
    EXPECT_TRUE(copies[1][1].toByteArray() == image);
}

// Windows blocked without bound here; a peer that takes the message and never answers costs the timeout only.
TEST_F(LocalPeerBusTest, SendToAPeerThatNeverAnswersTimesOut)
{
    QLocalServer silent;
    ASSERT_TRUE(silent.listen(PeerSocketPath(kRecorder)));
    QElapsedTimer clock;
    clock.start();
    const PeerReply reply = sender.SendMessage(kRecorder, "VQ_ALIVE_REQUEST_MSG", 0, 0, 300);
    EXPECT_FALSE(reply.delivered);
    // It waited for the answer, and gave up in time bounded by the timeout (loosely: the machine may be busy).
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_LT(clock.elapsed(), 20000);
}

TEST_F(LocalPeerBusTest, BroadcastReachesEveryLiveWindowAndClearsTheDead)
{
    LocalPeerBus third;
    ASSERT_TRUE(receiver.Listen(kMainClass));
    ASSERT_TRUE(third.Listen(kRecorder));
    ASSERT_TRUE(sender.Listen(QStringLiteral("PoreScan")));
    LeaveStaleSocket(PeerSocketPath(QStringLiteral("Died")));
    QSignalSpy atReceiver(&receiver, &PeerBus::registeredMessage);
    QSignalSpy atThird(&third, &PeerBus::registeredMessage);
    QSignalSpy atSender(&sender, &PeerBus::registeredMessage);

    EXPECT_EQ(sender.Broadcast("VQ_ALIVE_RESPONSE_MSG", 0, 0), 3);
    EXPECT_TRUE(WaitUntil([&] { return atReceiver.size() == 1 && atThird.size() == 1 && atSender.size() == 1; }));
    EXPECT_EQ(atThird[0][0].toString(), "VQ_ALIVE_RESPONSE_MSG");
    EXPECT_FALSE(QFile::exists(PeerSocketPath(QStringLiteral("Died"))));
    EXPECT_EQ(PeerSocketPaths().size(), 3);
}

TEST_F(LocalPeerBusTest, FindWindowSeesOnlyLiveListenersAndAStaleIdentityIsTakenOver)
{
    EXPECT_FALSE(sender.FindWindow(kRecorder));
    LeaveStaleSocket(PeerSocketPath(kRecorder));
    EXPECT_FALSE(sender.FindWindow(kRecorder));
    EXPECT_FALSE(QFile::exists(PeerSocketPath(kRecorder))) << "the dead program's socket is removed";

    LeaveStaleSocket(PeerSocketPath(kRecorder));
    ASSERT_TRUE(receiver.Listen(kRecorder));
    EXPECT_TRUE(sender.FindWindow(kRecorder));
    EXPECT_EQ(receiver.Identity(), kRecorder);

    LocalPeerBus rival;
    EXPECT_FALSE(rival.Listen(kRecorder)) << "a live identity is never taken";
    EXPECT_TRUE(sender.FindWindow(kRecorder));

    receiver.Close();
    EXPECT_FALSE(sender.FindWindow(kRecorder));
    EXPECT_TRUE(rival.Listen(kRecorder));
}

TEST_F(LocalPeerBusTest, IdentitiesTooLongForASocketAddressAreHashed)
{
    const QString longA = QString(300, QChar(u'\uAC00'));
    const QString longB = longA + 'b';
    const QString pathA = PeerSocketPath(longA);
    ASSERT_FALSE(pathA.isEmpty());
    EXPECT_LE(QFile::encodeName(pathA).size(), 107);
    EXPECT_NE(pathA, PeerSocketPath(longB));
    EXPECT_TRUE(PeerSocketPath(kRecorder).endsWith("/Video%20Recorder"));

    ASSERT_TRUE(receiver.Listen(longA));
    EXPECT_TRUE(sender.FindWindow(longA));
    EXPECT_FALSE(sender.FindWindow(longB));
    QSignalSpy messages(&receiver, &PeerBus::registeredMessage);
    EXPECT_TRUE(sender.PostMessage(longA, "External Capture", 0, 0));
    EXPECT_TRUE(messages.wait(kAnswerBoundMs));
}

// A stranger's frame closes its connection and never reaches the window; the window goes on serving others.
TEST_F(LocalPeerBusTest, MalformedOrOversizeFrameClosesItsConnectionOnly)
{
    ASSERT_TRUE(receiver.Listen(kMainClass));
    QSignalSpy messages(&receiver, &PeerBus::registeredMessage);
    QSignalSpy copies(&receiver, &PeerBus::copyData);

    PeerFrame oversize;
    oversize.kind = PeerFrameKind::CopyData;
    QByteArray head = Encoded(oversize);
    head[12 + 20] = 0x01;  // payload length 64 MiB + 1: announced, never sent
    head[12 + 23] = 0x04;
    PeerFrame reply;
    reply.kind = PeerFrameKind::Reply;
    const QByteArray strangers[] = {QByteArray("GET / HTTP/1.0\r\n\r\n"), head, Encoded(reply)};
    for (const QByteArray& bytes : strangers) {
        QLocalSocket stranger;
        stranger.connectToServer(PeerSocketPath(kMainClass));
        ASSERT_TRUE(stranger.waitForConnected(1000));
        stranger.write(bytes);
        EXPECT_TRUE(WaitUntil([&] { return stranger.state() == QLocalSocket::UnconnectedState; }))
            << bytes.left(8).toHex().toStdString();
    }
    EXPECT_EQ(messages.size(), 0);
    EXPECT_EQ(copies.size(), 0);

    EXPECT_TRUE(sender.PostMessage(kMainClass, "External Capture", 0, 0));
    EXPECT_TRUE(messages.wait(kAnswerBoundMs));
}

// A receiver may delete its window while it handles a sent message; the sender gets no answer, and nothing breaks.
TEST_F(LocalPeerBusTest, ReceiverDestroyedWhileDeliveringASend)
{
    auto* doomed = new LocalPeerBus;
    ASSERT_TRUE(doomed->Listen(kMainClass));
    QObject::connect(doomed, &PeerBus::registeredMessage, [doomed] { delete doomed; });
    EXPECT_FALSE(sender.SendMessage(kMainClass, "TLV COM - NEW", 1, 0, 1000).delivered);
    EXPECT_FALSE(sender.FindWindow(kMainClass));
}

// Connections beyond the limit are closed at once; the ones within it are served.
TEST_F(LocalPeerBusTest, ConnectionsBeyondTheLimitAreClosed)
{
    PeerBusLimits limits;
    limits.maxConnections = 3;
    receiver.SetLimits(limits);
    ASSERT_TRUE(receiver.Listen(kMainClass));
    const auto idle = Connect(kMainClass, 5);
    EXPECT_TRUE(WaitUntil([&] { return Closed(idle) == 2; }));
    EXPECT_EQ(receiver.InboundCount(), 3);

    for (const auto& socket : idle)
        socket->abort();
    EXPECT_TRUE(WaitUntil([&] { return receiver.InboundCount() == 0; }));
    QSignalSpy messages(&receiver, &PeerBus::registeredMessage);
    EXPECT_TRUE(sender.PostMessage(kMainClass, "External Capture", 0, 0));
    EXPECT_TRUE(messages.wait(kAnswerBoundMs));
}

// A peer that connects and says nothing, or starts a frame and never ends it, is closed after the frame time-out.
TEST_F(LocalPeerBusTest, IdleConnectionsAndUnfinishedFramesTimeOut)
{
    PeerBusLimits limits;
    limits.frameTimeoutMs = 200;
    receiver.SetLimits(limits);
    ASSERT_TRUE(receiver.Listen(kMainClass));
    QSignalSpy copies(&receiver, &PeerBus::copyData);
    auto strangers = Connect(kMainClass, 2);
    strangers[1]->write(PartialFrame(1000, 10));
    EXPECT_TRUE(WaitUntil([&] { return Closed(strangers) == 2; }, 10000));
    EXPECT_EQ(copies.size(), 0);

    // A peer that keeps to the time is served as before, one frame after another on one connection.
    QSignalSpy messages(&receiver, &PeerBus::registeredMessage);
    PeerFrame post;
    post.kind = PeerFrameKind::Post;
    post.name = "External Capture";
    const auto steady = Connect(kMainClass, 1);
    steady[0]->write(Encoded(post) + Encoded(post));
    EXPECT_TRUE(WaitUntil([&] { return messages.size() == 2; }));
}

// Unfinished frames together may hold only so many bytes; the connection that would go beyond is closed.
TEST_F(LocalPeerBusTest, BytesHeldForUnfinishedFramesAreBounded)
{
    PeerBusLimits limits;
    limits.maxBufferedBytes = 1 << 20;
    receiver.SetLimits(limits);
    ASSERT_TRUE(receiver.Listen(kMainClass));
    auto strangers = Connect(kMainClass, 3);
    for (const auto& socket : strangers)
        socket->write(PartialFrame(900 << 10, 600 << 10));
    EXPECT_TRUE(WaitUntil([&] { return Closed(strangers) >= 2; }, 10000));
    EXPECT_LT(Closed(strangers), 3);

    QSignalSpy messages(&receiver, &PeerBus::registeredMessage);
    EXPECT_TRUE(sender.PostMessage(kMainClass, "External Capture", 0, 0));
    EXPECT_TRUE(messages.wait(kAnswerBoundMs));
}

// A process out of descriptors cannot take a connection for a while; the window stays findable and takes it later.
TEST_F(LocalPeerBusTest, RunningOutOfDescriptorsPausesTheWindowButDoesNotEndIt)
{
    PeerBusLimits limits;
    limits.acceptRetryMs = 50;
    receiver.SetLimits(limits);
    ASSERT_TRUE(receiver.Listen(kMainClass));
    QSignalSpy messages(&receiver, &PeerBus::registeredMessage);
    // The sanitizers' type check needs descriptors of its own the first time it meets a type: it meets the ones used
    // below (a post, a resting socket notifier) while there are some.
    ASSERT_TRUE(sender.PostMessage(kMainClass, "External Capture", 0, 0));
    ASSERT_TRUE(messages.wait(kAnswerBoundMs));
    QSocketNotifier resting(0, QSocketNotifier::Read);
    resting.setEnabled(false);
    {
        DescriptorShortage shortage;
        shortage.Spare();  // the sender's own socket
        ASSERT_TRUE(sender.PostMessage(kMainClass, "External Capture", 0, 0));
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();  // the window tries to take the connection and cannot
        EXPECT_TRUE(QFile::exists(PeerSocketPath(kMainClass)));
    }
    EXPECT_TRUE(WaitUntil([&] { return messages.size() == 2; }, 5000));
    EXPECT_TRUE(sender.FindWindow(kMainClass));
}

// Someone removed the window's socket file: it listens again and can be found.
TEST_F(LocalPeerBusTest, ASocketFileThatWentAwayIsListenedOnAgain)
{
    PeerBusLimits limits;
    limits.listenCheckMs = 50;
    receiver.SetLimits(limits);
    ASSERT_TRUE(receiver.Listen(kMainClass));
    ASSERT_TRUE(QFile::remove(PeerSocketPath(kMainClass)));
    EXPECT_TRUE(WaitUntil([&] { return sender.FindWindow(kMainClass); }, 5000));
    QSignalSpy messages(&receiver, &PeerBus::registeredMessage);
    EXPECT_TRUE(sender.PostMessage(kMainClass, "External Capture", 0, 0));
    EXPECT_TRUE(messages.wait(kAnswerBoundMs));
    EXPECT_EQ(receiver.Identity(), kMainClass);
}
