// The driver's hidden notification window: the target the camera library posts its frame messages to, and one
// thread of ours that owns the handler and runs it for each message in turn. Made once per camera object and kept
// until the object goes, however often the camera is opened.
//
// Threads: Post from any thread, never blocking; the handler runs on the window's own thread only. Frame messages
// still waiting when a newer one comes are merged into one (the handler copies the newest frame anyway).
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
    static void PostThunk(ArtMessageTarget* target, uint32_t message, uintptr_t wParam, intptr_t lParam);
    void Post(uint32_t message, uintptr_t wParam);
    void Run();

    Handler m_handler;
    Slot m_target;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_completePending = false;
    bool m_incompletePending = false;
    int m_handled = 0;
    std::thread m_thread;
};
