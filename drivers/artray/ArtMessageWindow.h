// The driver's hidden notification window: the target the camera library posts its frame messages to, and one
// thread of ours that owns the handler and runs it for each message in turn. Made once per camera object and kept
// until the object goes, however often the camera is opened.
//
// Threads: Send from any thread but the window's own; it returns when a handling that began after it has ended (or
// the window closes). The handler runs on the window's own thread only. Frame messages from several senders that
// wait together are handled once for all of them (the handler copies the newest frame anyway).
#pragma once

#include "artray/ArtCamApi.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class ArtMessageWindow
{
public:
    // Answers a message: 0 or 1, as a window procedure would.
    using Handler = std::function<int(uint32_t message, uintptr_t wParam)>;

    explicit ArtMessageWindow(Handler handler);
    ~ArtMessageWindow();
    ArtMessageWindow(const ArtMessageWindow&) = delete;
    ArtMessageWindow& operator=(const ArtMessageWindow&) = delete;

    ArtMessageTarget* Target() { return &m_target.target; }
    // Messages handled since the window was made.
    int Handled() const;

private:
    struct Slot
    {
        ArtMessageTarget target;
        ArtMessageWindow* window;
    };
    static intptr_t SendThunk(ArtMessageTarget* target, uint32_t message, uintptr_t wParam, intptr_t lParam);
    int Send(uint32_t message, uintptr_t wParam);
    void Run();

    Handler m_handler;
    Slot m_target;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_completePending = false;
    bool m_incompletePending = false;
    int m_handled = 0;
    // Messages sent so far, those the running or last handling took, and those whose handling has ended.
    uint64_t m_sent = 0;
    uint64_t m_taken = 0;
    uint64_t m_done = 0;
    int m_lastAnswer = 0;
    std::thread m_thread;
};
