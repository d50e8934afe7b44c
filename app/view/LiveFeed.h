// The live picture's path from the camera to the screen. The host's live thread only copies the newest frame into
// a one-slot mailbox as an image (an unread frame is replaced, never queued) and wakes the UI thread once; the UI
// thread takes the image and composes it with the overlay, the grid, the centre cross and the focus square. Nothing
// is drawn on the host's thread, so overlay objects stay UI-thread only, while the one full copy of each frame is
// made on the host's thread.
#pragma once

#include "qvimage/CQvImage.h"
#include "types/WinRecords.h"

#include <QImage>
#include <QSize>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class CLatticer;
class CVistrelDoc;
class IAcquireHost;
class CQvGObjectContainer;
class QObject;

class LiveFrameMailbox
{
public:
    // `receiver` lives on the UI thread; `take` runs there after a frame arrived in an empty slot.
    LiveFrameMailbox(QObject* receiver, std::function<void()> take);

    // Any thread. Converts the frame (a packed DIB) into an image as DIB2QVIMG does and returns; a frame not yet
    // taken is dropped, a DIB the image library refuses is ignored.
    void Post(const BITMAPINFOHEADER* dib);
    // UI thread. Swaps the newest frame into `frame`; the image `frame` held comes back as the buffer a later post
    // writes into (so pointers into it die here). False, `frame` untouched, when none came since the last take.
    bool Take(CQvImage& frame);
    // UI thread, before the receiver goes: frames may still be posted but wake no one.
    void Detach();
    uint64_t Dropped() const;

private:
    mutable std::mutex m_mutex;
    CQvImage m_slot;
    CQvImage m_spare;  // the image the next post writes into, its buffer reused rather than reallocated
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

// The companion module that, while loaded, has the focus square drawn; in the plug-in folder.
constexpr const char* kFocusIndicatorModule = "SharpGauge.so";

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

// The pictures of one live view (UI thread): each frame at the display ratio with everything drawn over it. The
// picture is, pixel for pixel, the whole frame converted to RGB32 and scaled by Qt's fast (nearest) scaling with
// the decorations drawn over it; but the frame is scaled first, reading only the pixels the picture shows, and
// nothing of frame size is allocated or converted. Which frame pixel each picture pixel shows is asked of Qt's
// scaling itself, once per frame and picture size. Two picture buffers take turns: the window keeps showing the
// last picture while the next is composed into the other; a buffer still held elsewhere is never written again but
// replaced by a new one.
class LiveFrameComposer
{
public:
    // Null for an empty frame or a ratio that is not positive.
    QImage Compose(const CQvImage& frame, const LiveDecorations& decorations);

private:
    // Picture column -> byte offset of the frame pixel in its row, picture row -> frame row; empty when Qt's
    // scaling could not be read for this size (the frame is then converted and scaled whole).
    struct Sampling
    {
        QSize frame, picture;
        std::vector<int> columnOffsets, rows;
        int bytesPerPixel = 0;
        bool identityColumns = false;  // picture column i shows frame column i
    };
    const Sampling& SamplingFor(const CQvImage& frame, QSize picture);
    QImage& PictureBuffer(QSize size);

    Sampling m_sampling;
    std::array<QImage, 2> m_pictures;
    int m_next = 0;
};

// The picture's size for a frame at the display ratio (truncated, at least 1 by 1); empty for a ratio that is not
// positive.
QSize LivePictureSize(QSize frame, float ratio);
// Draws the overlay, the grid, the centre cross and the focus square over `picture`, a frame of `frame` pixels
// scaled to the display ratio.
void DrawLiveDecorations(QImage& picture, QSize frame, const LiveDecorations& decorations);

// Gives `doc` a blank colour picture of the frame size the host reports now, so live frames have their canvas;
// nothing changes while the host reports no size.
void SetHostSizedPicture(IAcquireHost& host, CVistrelDoc& doc);
