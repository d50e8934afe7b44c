// Internal to platform/ui: runs a modal prompt on the UI thread, finds its owner window, and keeps the hooks that
// tests install. A call from another thread blocks until the UI thread has run it, so the UI thread must be
// processing events and must not be waiting for the calling thread.
#pragma once

#include <QApplication>
#include <QMetaObject>
#include <QThread>
#include <QWidget>

#include <mutex>
#include <type_traits>
#include <utility>

namespace ui_detail {

template <typename Function>
std::invoke_result_t<Function> RunOnUiThread(Function function)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() == application->thread())
        return function();
    std::invoke_result_t<Function> result{};
    QMetaObject::invokeMethod(application, [&] { result = function(); }, Qt::BlockingQueuedConnection);
    return result;
}

// The window a prompt belongs to: the open modal dialog, else the active window (UI thread).
inline QWidget* DialogOwner()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// One replaceable handler; read by copy so a handler may be replaced while another thread runs the old one.
template <typename Handler>
class HookSlot
{
public:
    void Set(Handler handler)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_handler = std::move(handler);
    }
    Handler Get() const
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_handler;
    }

private:
    mutable std::mutex m_mutex;
    Handler m_handler;
};

}  // namespace ui_detail
