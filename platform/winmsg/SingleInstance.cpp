#include "winmsg/SingleInstance.h"

#include "winmsg/PeerFolder.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>

#include <algorithm>

namespace {

// Between tries while the owner is starting up (it holds the lock but does not listen yet).
constexpr int kRetryMs = 50;

QByteArray JoinPaths(const QStringList& paths)
{
    QByteArray joined;
    for (const QString& path : paths) {
        if (path.isEmpty())
            continue;
        if (!joined.isEmpty())
            joined += '\0';
        joined += QFileInfo(path).absoluteFilePath().toUtf8();
    }
    return joined;
}

QStringList SplitPaths(const QByteArray& joined)
{
    QStringList paths;
    for (const QByteArray& path : joined.split('\0'))
        if (!path.isEmpty())
            paths << QString::fromUtf8(path);
    return paths;
}

}  // namespace

SingleInstance::SingleInstance(const QString& identity, QObject* parent) : QObject(parent), m_identity(identity) {}

SingleInstance::~SingleInstance()
{
    m_bus.reset();  // the socket goes before the lock, so a new owner never finds ours
    m_lock.reset();
}

SingleInstance::Outcome SingleInstance::Claim(const QStringList& openPaths, int timeoutMs)
{
    if (m_bus)
        return Outcome::Owner;
    const QString socket = PeerSocketPath(m_identity);
    if (socket.isEmpty())
        return Outcome::Failed;
    auto lock = std::make_unique<QLockFile>(socket + QStringLiteral(".owner"));
    // The owner keeps the lock as long as it runs; only a dead owner's lock is stale, however old.
    lock->setStaleLockTime(0);
    const QByteArray request = JoinPaths(openPaths);
    LocalPeerBus sender;
    const QDeadlineTimer deadline(std::max(0, timeoutMs));
    for (;;) {
        if (lock->tryLock(0)) {
            if (TakeOverIdentity()) {
                m_lock = std::move(lock);
                return Outcome::Owner;
            }
            // Someone listens without the lock: a start that took the identity over from an owner whose bus was
            // gone. It is the running instance now, and is handed the request as an owner would be.
            lock->unlock();
        } else if (lock->error() == QLockFile::PermissionError || lock->error() == QLockFile::UnknownError) {
            return Outcome::Failed;
        }
        const auto remaining = static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0));
        // Only a listener can be handed anything; between tries the owner may still be starting up.
        const bool listening = sender.FindWindow(m_identity);
        if (listening) {
            // Any answer means the owner took the request: its bus also serves other receivers of the message,
            // which may set the answer's value after it.
            const QString restore = QString::fromLatin1(kRestoreMessage);
            if (sender.SendMessage(m_identity, restore, 0, 0, remaining, request).delivered)
                return Outcome::AnotherInstanceAnswered;
        }
        if (deadline.hasExpired()) {
            if (listening)
                return Outcome::AnotherInstanceSilent;
            return TakeOverIdentity() ? Outcome::Owner : Outcome::Failed;
        }
        QThread::msleep(kRetryMs);
    }
}

bool SingleInstance::TakeOverIdentity()
{
    auto bus = std::make_unique<LocalPeerBus>();
    if (!bus->Listen(m_identity))
        return false;
    connect(bus.get(), &PeerBus::registeredMessage, this, &SingleInstance::OnMessage);
    m_bus = std::move(bus);
    return true;
}

void SingleInstance::OnMessage(const QString& name, qint64, qint64, const QByteArray& attachment)
{
    if (name != QLatin1String(kRestoreMessage))
        return;
    m_bus->SetReply(1);
    emit anotherInstanceStarted(SplitPaths(attachment));
}
