// A listening local socket that outlasts a shortage of descriptors: when a connection cannot be accepted (the
// process or the system ran out of descriptors or memory) accepting pauses for a moment and resumes, and the waiting
// connections stay queued. The socket and its file are kept all the while; QLocalServer closes for good there and
// removes its file.
//
// Thread: the thread the object lives on. Accepted descriptors are non-blocking and close-on-exec; whoever receives
// one owns it.
#pragma once

#include <QObject>
#include <QString>

#include <sys/types.h>

class QSocketNotifier;
class QTimer;

class PeerListener : public QObject
{
    Q_OBJECT

public:
    explicit PeerListener(QObject* parent = nullptr);
    ~PeerListener() override;

    // Binds `path` (which must not exist) and listens on it. False when that fails; nothing is left then.
    bool Listen(const QString& path);
    // Stops listening and removes the socket file, unless someone else's file has taken its place.
    void Close();
    bool IsListening() const { return m_descriptor >= 0; }
    // True while the file at the path is the socket this object listens on (not removed, not replaced).
    bool HoldsItsPath() const;

    // How long accepting pauses after running out of descriptors.
    void SetRetryInterval(int milliseconds) { m_retryMs = milliseconds; }

signals:
    void connectionAccepted(int descriptor);

private:
    void AcceptPending();

    int m_descriptor = -1;
    QString m_path;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_resume = nullptr;
    int m_retryMs = 250;
};
