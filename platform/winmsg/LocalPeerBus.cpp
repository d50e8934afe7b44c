#include "winmsg/LocalPeerBus.h"

#include "winmsg/PeerFolder.h"
#include "winmsg/PeerFrame.h"
#include "winmsg/PeerListener.h"

#include <QEventLoop>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <map>
#include <unistd.h>
#include <vector>

namespace {

// How long a posted message may take to leave: a peer that stops reading cannot hold our socket for ever.
constexpr int kPostDeliveryMs = 30000;
// How long taking an identity or clearing a stale one waits for another process doing the same.
constexpr int kIdentityLockMs = 2000;
// What Qt reads ahead of us on one connection; the rest waits in the kernel, and so does its sender.
constexpr qint64 kSocketReadAhead = 1 << 20;

// Guards looking at an identity's socket and replacing it, so that a process clearing a stale socket can never
// remove the one another process has just begun to listen on.
class IdentityLock
{
public:
    explicit IdentityLock(const QString& socketPath, int waitMs) : m_lock(socketPath + QStringLiteral(".lock"))
    {
        m_held = m_lock.tryLock(waitMs);
    }
    bool held() const { return m_held; }

private:
    QLockFile m_lock;
    bool m_held = false;
};

// A connection is taken at once by the kernel when someone listens, without the listener's event loop.
bool IsLive(const QString& path)
{
    QLocalSocket probe;
    probe.connectToServer(path);
    const bool live = probe.state() != QLocalSocket::UnconnectedState;
    probe.abort();
    return live;
}

// A socket nobody listens on is left by a program that died.
void RemoveIfStale(const QString& path)
{
    const IdentityLock lock(path, kIdentityLockMs / 4);
    if (lock.held() && QFile::exists(path) && !IsLive(path))
        QFile::remove(path);
}

QByteArray Encoded(const PeerFrame& frame)
{
    const std::vector<uint8_t> bytes = EncodePeerFrame(frame);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

std::vector<uint8_t> Bytes(const QByteArray& bytes)
{
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// One connection: write the frame, wait for the reply within the time given. Owns nothing of the bus, so the bus
// may even be destroyed by a message it serves while this waits.
PeerReply Exchange(const QString& path, const QByteArray& frame, int timeoutMs)
{
    PeerReply reply;
    if (path.isEmpty() || frame.isEmpty())
        return reply;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (socket.state() == QLocalSocket::UnconnectedState) {
        if (socket.error() == QLocalSocket::ConnectionRefusedError)
            RemoveIfStale(path);
        return reply;
    }

    QEventLoop loop;
    bool finished = false;
    const auto finish = [&] {
        finished = true;
        loop.quit();
    };
    std::vector<uint8_t> received;
    QObject::connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        const QByteArray chunk = socket.readAll();
        received.insert(received.end(), chunk.begin(), chunk.end());
        PeerFrame answer;
        size_t used = 0;
        const PeerFrameStatus status = DecodePeerFrame(received.data(), received.size(), answer, used);
        if (status == PeerFrameStatus::NeedMore)
            return;
        if (status == PeerFrameStatus::Complete && answer.kind == PeerFrameKind::Reply) {
            reply.delivered = true;
            reply.result = answer.result;
        }
        finish();
    });
    QObject::connect(&socket, &QLocalSocket::disconnected, &loop, finish);
    QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop, finish);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, finish);

    if (socket.state() == QLocalSocket::ConnectedState)
        socket.write(frame);
    else
        QObject::connect(&socket, &QLocalSocket::connected, &loop, [&] { socket.write(frame); });
    deadline.start(std::max(0, timeoutMs));
    if (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    QObject::disconnect(&socket, nullptr, &loop, nullptr);
    socket.abort();
    return reply;
}

}  // namespace

// A connection being read. Delivering a message may run a nested event loop (a receiver that sends in turn), so a
// connection being delivered from is never removed underneath: it is only marked, and removed once delivery returns.
struct LocalPeerBus::Inbound
{
    QLocalSocket* socket = nullptr;  // a child of the bus
    QTimer* deadline = nullptr;      // a child of the socket: the next frame must be whole by then
    std::vector<uint8_t> buffer;     // counted in Private::buffered
    bool delivering = false;
    bool finished = false;  // closed by the peer: what was read is still delivered
    bool dropped = false;   // closed by us: nothing more is delivered
};

struct LocalPeerBus::Private
{
    PeerListener* listener = nullptr;  // a child of the bus, while listening
    QTimer* listenCheck = nullptr;     // a child of the bus, while listening
    QString identity;
    QString path;  // the socket listened on
    std::map<QLocalSocket*, Inbound> inbound;
    size_t buffered = 0;  // bytes of unfinished frames, all connections together
    PeerBusLimits limits;
    qint64* reply = nullptr;  // the answer of the send being delivered
};

LocalPeerBus::LocalPeerBus(QObject* parent) : PeerBus(parent), d(std::make_unique<Private>()) {}

LocalPeerBus::~LocalPeerBus()
{
    Close();
}

bool LocalPeerBus::Listen(const QString& identity)
{
    Close();
    const QString path = PeerSocketPath(identity);
    if (path.isEmpty())
        return false;
    const IdentityLock lock(path, kIdentityLockMs);
    if (!lock.held() || IsLive(path))
        return false;
    QFile::remove(path);
    auto* listener = new PeerListener(this);
    listener->SetRetryInterval(d->limits.acceptRetryMs);
    if (!listener->Listen(path)) {
        delete listener;
        return false;
    }
    connect(listener, &PeerListener::connectionAccepted, this, &LocalPeerBus::Accept);
    d->listener = listener;
    d->identity = identity;
    d->path = path;
    d->listenCheck = new QTimer(this);
    connect(d->listenCheck, &QTimer::timeout, this, &LocalPeerBus::CheckListening);
    d->listenCheck->start(std::max(1, d->limits.listenCheckMs));
    return true;
}

// The socket file can go while we listen (someone cleared the folder, or took a busy moment for a dead program):
// nobody could find us then, so the identity is taken again unless another program now holds it.
void LocalPeerBus::CheckListening()
{
    if (!d->listener || d->listener->HoldsItsPath())
        return;
    const IdentityLock lock(d->path, kIdentityLockMs / 4);
    if (!lock.held() || IsLive(d->path))
        return;
    QFile::remove(d->path);
    d->listener->Listen(d->path);  // tried again at the next check when it fails
}

void LocalPeerBus::Close()
{
    delete d->listenCheck;
    d->listenCheck = nullptr;
    if (d->listener) {
        d->listener->Close();  // removes the socket
        delete d->listener;
        d->listener = nullptr;
    }
    d->identity.clear();
    d->path.clear();
    for (auto it = d->inbound.begin(); it != d->inbound.end();) {
        Inbound& inbound = it->second;
        inbound.dropped = true;
        if (inbound.delivering) {  // removed by its delivery once that returns
            inbound.socket->abort();
            ++it;
            continue;
        }
        d->buffered -= inbound.buffer.size();
        inbound.socket->disconnect(this);
        inbound.socket->abort();
        inbound.socket->deleteLater();
        it = d->inbound.erase(it);
    }
}

QString LocalPeerBus::Identity() const
{
    return d->identity;
}

void LocalPeerBus::SetLimits(const PeerBusLimits& limits)
{
    d->limits = limits;
}

int LocalPeerBus::InboundCount() const
{
    return static_cast<int>(d->inbound.size());
}

void LocalPeerBus::Accept(int descriptor)
{
    // Over the limit the connection is refused rather than queued: its sender sees the close at once.
    if (static_cast<int>(d->inbound.size()) >= d->limits.maxConnections) {
        ::close(descriptor);
        return;
    }
    auto* socket = new QLocalSocket(this);
    if (!socket->setSocketDescriptor(descriptor, QLocalSocket::ConnectedState, QIODevice::ReadWrite)) {
        ::close(descriptor);
        delete socket;
        return;
    }
    socket->setReadBufferSize(kSocketReadAhead);
    Inbound& inbound = d->inbound[socket];
    inbound.socket = socket;
    inbound.deadline = new QTimer(socket);
    inbound.deadline->setSingleShot(true);
    connect(inbound.deadline, &QTimer::timeout, this, [this, socket] {
        const auto found = d->inbound.find(socket);
        // A connection being delivered from is not waiting on its peer; its deadline starts again afterwards.
        if (found != d->inbound.end() && !found->second.delivering)
            Remove(found->second);
    });
    inbound.deadline->start(d->limits.frameTimeoutMs);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        const auto found = d->inbound.find(socket);
        if (found != d->inbound.end())
            Pump(found->second);
    });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
        const auto found = d->inbound.find(socket);
        if (found == d->inbound.end())
            return;
        found->second.finished = true;
        Pump(found->second);  // what arrived before the close is still delivered
    });
    Pump(inbound);
}

void LocalPeerBus::Pump(Inbound& inbound)
{
    if (inbound.delivering)
        return;
    inbound.delivering = true;
    const QPointer<LocalPeerBus> alive(this);
    bool malformed = false;
    for (;;) {
        const QByteArray chunk = inbound.socket->readAll();
        if (d->buffered + static_cast<size_t>(chunk.size()) > d->limits.maxBufferedBytes) {
            malformed = true;  // the peers together hold more unfinished bytes than we keep for them
            break;
        }
        inbound.buffer.insert(inbound.buffer.end(), chunk.begin(), chunk.end());
        d->buffered += static_cast<size_t>(chunk.size());
        PeerFrame frame;
        size_t used = 0;
        const PeerFrameStatus status = DecodePeerFrame(inbound.buffer.data(), inbound.buffer.size(), frame, used);
        if (status == PeerFrameStatus::NeedMore)
            break;
        if (status == PeerFrameStatus::Malformed || frame.kind == PeerFrameKind::Reply) {
            malformed = true;
            break;
        }
        inbound.buffer.erase(inbound.buffer.begin(), inbound.buffer.begin() + static_cast<ptrdiff_t>(used));
        d->buffered -= used;
        if (inbound.buffer.empty())
            inbound.buffer.shrink_to_fit();  // a large frame's room is not kept for a connection that lingers
        Deliver(inbound, frame);
        if (!alive)
            return;
        if (inbound.dropped)
            break;
        inbound.deadline->start(d->limits.frameTimeoutMs);
    }
    inbound.delivering = false;
    if (malformed || inbound.finished || inbound.dropped)
        Remove(inbound);
}

void LocalPeerBus::Deliver(Inbound& inbound, PeerFrame& frame)
{
    const QString name = QString::fromStdString(frame.name);
    const QByteArray payload(reinterpret_cast<const char*>(frame.payload.data()),
                             static_cast<qsizetype>(frame.payload.size()));
    if (frame.kind == PeerFrameKind::Post) {
        emit registeredMessage(name, frame.wParam, frame.lParam, payload);
        return;
    }
    qint64 result = 0;
    qint64* const outer = d->reply;
    d->reply = &result;
    const QPointer<LocalPeerBus> alive(this);
    const QPointer<QLocalSocket> socket(inbound.socket);
    if (frame.kind == PeerFrameKind::Send)
        emit registeredMessage(name, frame.wParam, frame.lParam, payload);
    else
        emit copyData(frame.copyDataCode, payload, name);
    if (!alive)
        return;
    d->reply = outer;
    if (!socket || socket->state() != QLocalSocket::ConnectedState)
        return;
    PeerFrame answer;
    answer.kind = PeerFrameKind::Reply;
    answer.result = result;
    socket->write(Encoded(answer));
}

void LocalPeerBus::Remove(Inbound& inbound)
{
    QLocalSocket* const socket = inbound.socket;
    d->buffered -= inbound.buffer.size();
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    d->inbound.erase(socket);
}

void LocalPeerBus::SetReply(qint64 result)
{
    if (d->reply)
        *d->reply = result;
}

bool LocalPeerBus::FindWindow(const QString& identity)
{
    const QString path = PeerSocketPath(identity);
    if (path.isEmpty() || !QFile::exists(path))
        return false;
    if (IsLive(path))
        return true;
    RemoveIfStale(path);
    return false;
}

bool LocalPeerBus::Post(const QString& path, const QByteArray& frame)
{
    if (path.isEmpty() || frame.isEmpty())
        return false;
    auto* socket = new QLocalSocket(this);
    socket->connectToServer(path);
    if (socket->state() == QLocalSocket::UnconnectedState) {
        const bool refused = socket->error() == QLocalSocket::ConnectionRefusedError;
        delete socket;
        if (refused)
            RemoveIfStale(path);
        return false;
    }
    const auto discard = [socket] {
        socket->disconnect();
        socket->abort();
        socket->deleteLater();
    };
    // Closing after the write lets the bytes drain first; the close is what frees the socket.
    const auto send = [socket, frame] {
        socket->write(frame);
        socket->disconnectFromServer();
    };
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::errorOccurred, socket, discard);
    QTimer::singleShot(kPostDeliveryMs, socket, discard);
    if (socket->state() == QLocalSocket::ConnectedState)
        send();
    else
        connect(socket, &QLocalSocket::connected, socket, send);
    return true;
}

bool LocalPeerBus::PostMessage(const QString& peer, const QString& name, qint64 wParam, qint64 lParam,
                               const QByteArray& attachment)
{
    PeerFrame frame;
    frame.kind = PeerFrameKind::Post;
    frame.name = name.toStdString();
    frame.wParam = wParam;
    frame.lParam = lParam;
    frame.payload = Bytes(attachment);
    return Post(PeerSocketPath(peer), Encoded(frame));
}

int LocalPeerBus::Broadcast(const QString& name, qint64 wParam, qint64 lParam, const QByteArray& attachment)
{
    PeerFrame frame;
    frame.kind = PeerFrameKind::Post;
    frame.name = name.toStdString();
    frame.wParam = wParam;
    frame.lParam = lParam;
    frame.payload = Bytes(attachment);
    const QByteArray bytes = Encoded(frame);
    if (bytes.isEmpty())
        return 0;
    int reached = 0;
    for (const QString& path : PeerSocketPaths())
        reached += Post(path, bytes) ? 1 : 0;
    return reached;
}

PeerReply LocalPeerBus::SendMessage(const QString& peer, const QString& name, qint64 wParam, qint64 lParam,
                                    int timeoutMs, const QByteArray& attachment)
{
    PeerFrame frame;
    frame.kind = PeerFrameKind::Send;
    frame.name = name.toStdString();
    frame.wParam = wParam;
    frame.lParam = lParam;
    frame.payload = Bytes(attachment);
    return Exchange(PeerSocketPath(peer), Encoded(frame), timeoutMs);
}

PeerReply LocalPeerBus::SendCopyData(const QString& peer, quint32 code, const QByteArray& bytes, int timeoutMs)
{
    PeerFrame frame;
    frame.kind = PeerFrameKind::CopyData;
    frame.name = d->identity.toStdString();
    frame.copyDataCode = code;
    frame.payload = Bytes(bytes);
    return Exchange(PeerSocketPath(peer), Encoded(frame), timeoutMs);
}
