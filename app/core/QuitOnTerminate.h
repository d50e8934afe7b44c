// Ends the event loop when the session or the user asks the process to stop (SIGTERM, SIGINT, SIGHUP), so that
// shut-down still writes the calibrations and the profile instead of the process dying with them unsaved. The
// signal only writes a byte to a pipe; `quit` runs on the UI thread. Install once, on the UI thread, after the
// QApplication exists; the returned object undoes it.
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QuitOnTerminate
{
public:
    explicit QuitOnTerminate(std::function<void()> quit);
    ~QuitOnTerminate();
    QuitOnTerminate(const QuitOnTerminate&) = delete;
    QuitOnTerminate& operator=(const QuitOnTerminate&) = delete;

    bool IsInstalled() const { return m_installed; }

private:
    struct Private;
    std::unique_ptr<Private> d;
    bool m_installed = false;
};
