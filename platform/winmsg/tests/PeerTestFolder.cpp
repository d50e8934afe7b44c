#include "PeerTestFolder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

PeerTestFolder::PeerTestFolder()
    : m_previous(qgetenv("XDG_RUNTIME_DIR")), m_hadPrevious(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
{
    qputenv("XDG_RUNTIME_DIR", m_dir.path().toLocal8Bit());
}

PeerTestFolder::~PeerTestFolder()
{
    if (m_hadPrevious)
        qputenv("XDG_RUNTIME_DIR", m_previous);
    else
        qunsetenv("XDG_RUNTIME_DIR");
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return done();
}
