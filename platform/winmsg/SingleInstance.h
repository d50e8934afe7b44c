// The rule that a program runs once per user: the first start owns the program's identity (its main window class
// name) and listens on it; a later start hands its request to the owner and ends. A lock file in the peer folder
// decides between two starts at the same moment; the owner's lock and socket go when it ends or dies.
//
// The owner's bus (GetBus) is also its findable main window for every other message. UI thread.
#pragma once

#include "winmsg/LocalPeerBus.h"

#include <QObject>
#include <QStringList>

#include <memory>

class QLockFile;

class VISTREL_EXPORT SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Outcome
    {
        Owner,                    // this start runs
        AnotherInstanceAnswered,  // the running one took the request: end this start (exit code 0)
        AnotherInstanceSilent,    // one runs and takes connections but did not answer within the time given
        Failed,                   // no peer folder, or the identity could not be listened on
    };

    // The message the owner receives from a later start; its attachment holds the paths, NUL-separated UTF-8.
    static constexpr const char* kRestoreMessage = "restore";

    explicit SingleInstance(const QString& identity, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the owner, or hands `openPaths` to the owner (made absolute against this process's folder, since the
    // owner's current folder differs). Waits at most `timeoutMs` for an owner that is still starting up.
    // An owner that holds the lock but has had nobody listening for all that time (its bus is gone) cannot be
    // handed anything: this start then takes the identity over and becomes an owner itself, without the lock.
    Outcome Claim(const QStringList& openPaths = {}, int timeoutMs = kPeerSendTimeoutMs);

    // The owner's listening bus; null unless Claim returned Owner.
    LocalPeerBus* GetBus() const { return m_bus.get(); }

signals:
    // A later start asked to be shown (restore and raise the main window) and to open `paths` (may be empty).
    void anotherInstanceStarted(const QStringList& paths);

private:
    // Listens as the identity; false when another listens already or there is no peer folder.
    bool TakeOverIdentity();
    void OnMessage(const QString& name, qint64 wParam, qint64 lParam, const QByteArray& attachment);

    QString m_identity;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<LocalPeerBus> m_bus;
};
