#include "artray/ArtMessageWindow.h"

ArtMessageWindow::ArtMessageWindow(Handler handler) : m_handler(std::move(handler)), m_target{{&PostThunk}, this}
{
    m_thread = std::thread([this] { Run(); });
}

ArtMessageWindow::~ArtMessageWindow()
{
    {
        std::lock_guard lock(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

int ArtMessageWindow::Handled() const
{
    std::lock_guard lock(m_lock);
    return m_handled;
}

void ArtMessageWindow::PostThunk(ArtMessageTarget* target, uint32_t message, uintptr_t wParam, intptr_t)
{
    if (target && target->post == &PostThunk)
        reinterpret_cast<Slot*>(target)->window->Post(message, wParam);
}

void ArtMessageWindow::Post(uint32_t message, uintptr_t wParam)
{
    if (message != kArtFrameMessage)
        return;
    {
        std::lock_guard lock(m_lock);
        (wParam ? m_completePending : m_incompletePending) = true;
    }
    m_wake.notify_one();
}

void ArtMessageWindow::Run()
{
    std::unique_lock lock(m_lock);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_completePending || m_incompletePending; });
        if (m_stop)
            return;
        const uintptr_t wParam = m_completePending ? 1 : 0;
        m_completePending = false;
        m_incompletePending = false;
        lock.unlock();
        m_handler(kArtFrameMessage, wParam);
        lock.lock();
        ++m_handled;
    }
}
