#include "winmsg/PeerListener.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Connections the kernel queues while the receiver is busy or paused.
constexpr int kBacklog = 64;
// Accepted at one go before the event loop gets its turn again.
constexpr int kAcceptBatch = 16;

}  // namespace

PeerListener::PeerListener(QObject* parent) : QObject(parent)
{
    m_resume = new QTimer(this);
    m_resume->setSingleShot(true);
    connect(m_resume, &QTimer::timeout, this, [this] {
        if (m_notifier)
            m_notifier->setEnabled(true);
        AcceptPending();
    });
}

PeerListener::~PeerListener()
{
    Close();
}

bool PeerListener::Listen(const QString& path)
{
    Close();
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || static_cast<size_t>(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));

    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (descriptor < 0)
        return false;
    struct stat info = {};
    if (::bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(descriptor);
        return false;
    }
    if (::listen(descriptor, kBacklog) != 0 || ::stat(name.constData(), &info) != 0) {
        ::close(descriptor);
        ::unlink(name.constData());
        return false;
    }
    m_descriptor = descriptor;
    m_path = path;
    m_device = info.st_dev;
    m_inode = info.st_ino;
    m_notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PeerListener::AcceptPending);
    return true;
}

void PeerListener::Close()
{
    m_resume->stop();
    delete m_notifier;
    m_notifier = nullptr;
    if (m_descriptor < 0)
        return;
    if (HoldsItsPath())
        ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_descriptor);
    m_descriptor = -1;
    m_path.clear();
}

bool PeerListener::HoldsItsPath() const
{
    struct stat info = {};
    return m_descriptor >= 0 && ::lstat(QFile::encodeName(m_path).constData(), &info) == 0 && S_ISSOCK(info.st_mode)
           && info.st_dev == m_device && info.st_ino == m_inode;
}

void PeerListener::AcceptPending()
{
    for (int i = 0; i < kAcceptBatch && m_descriptor >= 0; ++i) {
        const int connection = ::accept4(m_descriptor, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (connection >= 0) {
            emit connectionAccepted(connection);  // may close this listener
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED || errno == EPROTO)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return;
        // Out of descriptors or memory (EMFILE, ENFILE, ENOBUFS, ENOMEM) or anything else we cannot mend here: the
        // waiting connection stays queued; the notifier would fire again at once, so it rests until the retry.
        if (m_notifier)
            m_notifier->setEnabled(false);
        m_resume->start(m_retryMs);
        return;
    }
}
