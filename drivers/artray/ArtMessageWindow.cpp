#include "artray/ArtMessageWindow.h"

ArtMessageWindow::ArtMessageWindow(Handler handler) : m_handler(std::move(handler)), m_target{{&SendThunk}, this}
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

intptr_t ArtMessageWindow::SendThunk(ArtMessageTarget* target, uint32_t message, uintptr_t wParam, intptr_t)
{
    if (target && target->send == &SendThunk)
        return reinterpret_cast<Slot*>(target)->window->Send(message, wParam);
    return 0;
}

int ArtMessageWindow::Send(uint32_t message, uintptr_t wParam)
{
    if (message != kArtFrameMessage)
        return 0;
    std::unique_lock lock(m_lock);
    if (m_stop)
        return 0;
    (wParam ? m_completePending : m_incompletePending) = true;
    const uint64_t ticket = ++m_sent;
    m_wake.notify_all();
    m_wake.wait(lock, [&] { return m_stop || m_done >= ticket; });
    return m_done >= ticket ? m_lastAnswer : 0;
}

void ArtMessageWindow::Run()
{
    std::unique_lock lock(m_lock);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_completePending || m_incompletePending; });
        if (m_stop)
            break;
        const uintptr_t wParam = m_completePending ? 1 : 0;
        m_completePending = false;
        m_incompletePending = false;
        m_taken = m_sent;
        lock.unlock();
        const int answer = m_handler(kArtFrameMessage, wParam);
        lock.lock();
        ++m_handled;
        m_lastAnswer = answer;
        m_done = m_taken;
        m_wake.notify_all();
    }
    // A sender still waiting is let go: nothing will handle its message now.
    m_wake.notify_all();
}
