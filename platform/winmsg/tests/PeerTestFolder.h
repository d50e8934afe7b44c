// A private runtime folder for one test: XDG_RUNTIME_DIR points into a temporary folder while the object lives, so
// tests never meet the user's real peers or each other's. Also a bounded wait that runs the event loop.
#pragma once

#include <QByteArray>
#include <QTemporaryDir>

#include <functional>

class PeerTestFolder
{
public:
    PeerTestFolder();
    ~PeerTestFolder();
    PeerTestFolder(const PeerTestFolder&) = delete;
    PeerTestFolder& operator=(const PeerTestFolder&) = delete;

    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious = false;
};

// Runs the event loop until `done` holds or `timeoutMs` passed; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 3000);
