#include "capture/LiveFeed.h"

#include "gdi/CDC.h"
#include "gdi/CPen.h"
#include "gobjects/CQvGObjectContainer.h"
#include "latticer/CLatticer.h"
#include "qvimage/QvImageDib.h"

#include <QMetaObject>
#include <QObject>

#include <cmath>
#include <cstring>

LiveFrameMailbox::LiveFrameMailbox(QObject* receiver, std::function<void()> take)
    : m_receiver(receiver), m_take(std::move(take))
{
}

void LiveFrameMailbox::Post(const BITMAPINFOHEADER* dib)
{
    if (!dib)
        return;
    const size_t bytes = QVDibSize(dib);
    if (bytes == 0)
        return;
    // The copy is made outside the lock, into the spare buffer, so that the UI thread's take never waits for a
    // frame's worth of copying; under the lock the buffers only change places.
    std::vector<uint8_t> frame;
    {
        std::lock_guard lock(m_mutex);
        frame.swap(m_spare);
    }
    frame.resize(bytes);
    std::memcpy(frame.data(), dib, bytes);
    std::lock_guard lock(m_mutex);
    if (m_full)
        ++m_dropped;
    frame.swap(m_slot);
    if (m_spare.capacity() < frame.capacity())
        m_spare.swap(frame);
    const bool wake = !m_full && m_receiver;
    m_full = true;
    // Posting an event neither blocks nor runs anything here; under the lock the receiver cannot be detached and
    // destroyed meanwhile. A wake is owed only when the slot was empty: the UI thread takes the newest frame.
    if (wake)
        QMetaObject::invokeMethod(m_receiver, m_take, Qt::QueuedConnection);
}

bool LiveFrameMailbox::Take(std::vector<uint8_t>& frame)
{
    std::lock_guard lock(m_mutex);
    if (!m_full)
        return false;
    frame.swap(m_slot);
    m_full = false;
    // The caller's previous frame buffer comes back as the next post's spare.
    if (m_spare.capacity() < m_slot.capacity())
        m_spare.swap(m_slot);
    return true;
}

void LiveFrameMailbox::Detach()
{
    std::lock_guard lock(m_mutex);
    m_receiver = nullptr;
}

uint64_t LiveFrameMailbox::Dropped() const
{
    std::lock_guard lock(m_mutex);
    return m_dropped;
}

namespace {

std::mutex g_relayMutex;
std::shared_ptr<LiveFrameMailbox> g_mailbox;

}  // namespace

void SetLiveMailbox(std::shared_ptr<LiveFrameMailbox> mailbox)
{
    std::lock_guard lock(g_relayMutex);
    g_mailbox = std::move(mailbox);
}

bool ReleaseLiveMailbox(const LiveFrameMailbox* mailbox)
{
    std::lock_guard lock(g_relayMutex);
    if (!mailbox || g_mailbox.get() != mailbox)
        return false;
    g_mailbox.reset();
    return true;
}

bool IsLiveMailbox(const LiveFrameMailbox* mailbox)
{
    std::lock_guard lock(g_relayMutex);
    return mailbox && g_mailbox.get() == mailbox;
}

bool PostLiveFrame(const BITMAPINFOHEADER* dib)
{
    std::shared_ptr<LiveFrameMailbox> mailbox;
    {
        std::lock_guard lock(g_relayMutex);
        mailbox = g_mailbox;
    }
    if (!mailbox)
        return false;
    mailbox->Post(dib);
    return true;
}

QImage ComposeLiveFrame(const QImage& frame, const LiveDecorations& d)
{
    if (frame.isNull() || !(d.ratio > 0.0f))
        return {};
    const int width = std::max(1, static_cast<int>(frame.width() * d.ratio));
    const int height = std::max(1, static_cast<int>(frame.height() * d.ratio));
    QImage picture = frame.convertToFormat(QImage::Format_RGB32)
                         .scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    picture.setDevicePixelRatio(1.0);
    CDC dc(picture);
    if (CQvGObjectContainer* objects = d.objects) {
        // The overlay draws at the window's zoom and scroll; the picture starts at the image origin.
        const float ratio = objects->GetRatio();
        const CPoint origin = objects->GetRelative();
        const int noRedraw = objects->GetNoRedraw();
        objects->SetNoRedraw(1);
        objects->SetRatio(d.ratio);
        objects->SetRelative(CPoint(0, 0));
        objects->Draw(&dc, CQvGObjectContainer::kDrawAllWithGrips);
        objects->SetRatio(ratio);
        objects->SetRelative(origin);
        objects->SetNoRedraw(noRedraw);
    }
    if (CLatticer* grid = d.grid; grid && grid->IsShow()) {
        grid->Update(grid->GetType(), SIZE{frame.width(), frame.height()}, d.unitsPerPixel, grid->GetGap());
        grid->ShowRuler(1);
        grid->Draw(&dc, POINT{0, 0}, d.ratio, 100);
    }
    if (d.centreCross) {
        const int oldRop = dc.SetROP2(R2_NOT);
        const int midY = static_cast<int>(height * 0.5);
        const int midX = static_cast<int>(width * 0.5);
        dc.MoveTo(0, midY);
        dc.LineTo(width, midY);
        dc.MoveTo(midX, 0);
        dc.LineTo(midX, height);
        dc.SetROP2(oldRop);
    }
    if (d.focusSquare) {
        CPen red(PS_SOLID, 2, RGB(255, 0, 0));
        CPen* old = dc.SelectObject(&red);
        const int cx = width / 2;
        const int cy = height / 2;
        dc.MoveTo(cx - 30, cy - 30);
        dc.LineTo(cx + 30, cy - 30);
        dc.LineTo(cx + 30, cy + 30);
        dc.LineTo(cx - 30, cy + 30);
        dc.LineTo(cx - 30, cy - 31);
        dc.SelectObject(old);
    }
    return picture;
}
