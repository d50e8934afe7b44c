// The live picture's path from the camera to the screen. The host's live thread only copies the newest frame into
// a one-slot mailbox (an unread frame is replaced, never queued) and wakes the UI thread once; the UI thread takes
// the frame and composes it with the overlay, the grid, the centre cross and the focus square. Nothing is drawn
// on the host's thread, so overlay objects stay UI-thread only.
#pragma once

#include "types/WinRecords.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class CLatticer;
class CQvGObjectContainer;
class QObject;

class LiveFrameMailbox
{
public:
    // `receiver` lives on the UI thread; `take` runs there after a frame arrived in an empty slot.
    LiveFrameMailbox(QObject* receiver, std::function<void()> take);

    // Any thread. Copies the frame (a packed DIB) and returns; a frame not yet taken is dropped.
    void Post(const BITMAPINFOHEADER* dib);
    // UI thread. Moves the newest frame into `frame`; false when none came since the last take.
    bool Take(std::vector<uint8_t>& frame);
    // UI thread, before the receiver goes: frames may still be posted but wake no one.
    void Detach();
    uint64_t Dropped() const;

private:
    mutable std::mutex m_mutex;
    std::vector<uint8_t> m_slot;
    std::vector<uint8_t> m_spare;  // the buffer the next post copies into, reused rather than reallocated
    bool m_full = false;
    uint64_t m_dropped = 0;
    QObject* m_receiver;
    std::function<void()> m_take;
};

// Where the host's frames go now: the live view's mailbox, or nowhere. Any thread.
void SetLiveMailbox(std::shared_ptr<LiveFrameMailbox> mailbox);
// Frames stop going to `mailbox` if they still do; another view's mailbox stays. True when it was the current one.
bool ReleaseLiveMailbox(const LiveFrameMailbox* mailbox);
bool IsLiveMailbox(const LiveFrameMailbox* mailbox);
// Posts to the current mailbox; false when there is none.
bool PostLiveFrame(const BITMAPINFOHEADER* dib);

// What is drawn over a live frame.
struct LiveDecorations
{
    float ratio = 1.0f;                         // display ratio of the window
    CQvGObjectContainer* objects = nullptr;     // the document's measurements
    CLatticer* grid = nullptr;                  // drawn when shown
    double unitsPerPixel = 1.0;
    bool centreCross = false;
    bool focusSquare = false;                   // the focus indicator module is loaded
};

// The picture of one frame at the display ratio with everything drawn over it (UI thread). Null for a null frame
// or a ratio that is not positive.
QImage ComposeLiveFrame(const QImage& frame, const LiveDecorations& decorations);
