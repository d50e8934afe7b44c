#include "view/LiveFeed.h"

#include "core/AppSeams.h"
#include "document/CVistrelDoc.h"
#include "gdi/CDC.h"
#include "gdi/CPen.h"
#include "gobjects/CQvGObjectContainer.h"
#include "latticer/CLatticer.h"
#include "qvimage/QvImageDib.h"
#include "qvimage/QvImageViews.h"

#include <QMetaObject>
#include <QObject>

#include <algorithm>
#include <cmath>
#include <cstring>

LiveFrameMailbox::LiveFrameMailbox(QObject* receiver, std::function<void()> take)
    : m_receiver(receiver), m_take(std::move(take))
{
}

namespace {

size_t PixelBytes(const CQvImage& image)
{
    return image.IsEmpty() ? 0 : static_cast<size_t>(image.GetStride()) * static_cast<size_t>(image.GetHeight());
}

}  // namespace

void LiveFrameMailbox::Post(const BITMAPINFOHEADER* dib)
{
    if (!dib || QVDibSize(dib) == 0)
        return;
    // The conversion runs outside the lock, into the spare image, so that the UI thread's take never waits for a
    // frame's worth of copying; under the lock the images only change places.
    CQvImage frame;
    {
        std::lock_guard lock(m_mutex);
        std::swap(frame, m_spare);
    }
    if (!DIB2QVIMG(dib, &frame, 0))
        return;
    std::lock_guard lock(m_mutex);
    if (m_full)
        ++m_dropped;
    std::swap(frame, m_slot);
    if (PixelBytes(m_spare) < PixelBytes(frame))
        std::swap(m_spare, frame);
    const bool wake = !m_full && m_receiver;
    m_full = true;
    // Posting an event neither blocks nor runs anything here; under the lock the receiver cannot be detached and
    // destroyed meanwhile. A wake is owed only when the slot was empty: the UI thread takes the newest frame.
    if (wake)
        QMetaObject::invokeMethod(m_receiver, m_take, Qt::QueuedConnection);
}

bool LiveFrameMailbox::Take(CQvImage& frame)
{
    std::lock_guard lock(m_mutex);
    if (!m_full)
        return false;
    std::swap(frame, m_slot);
    m_full = false;
    // The caller's previous image comes back as the next post's spare.
    if (PixelBytes(m_spare) < PixelBytes(m_slot))
        std::swap(m_spare, m_slot);
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

QSize LivePictureSize(QSize frame, float ratio)
{
    if (frame.isEmpty() || !(ratio > 0.0f))
        return {};
    return QSize(std::max(1, static_cast<int>(frame.width() * ratio)),
                 std::max(1, static_cast<int>(frame.height() * ratio)));
}

namespace {

// Past this side Qt's scaling may take another road than the one the sampling strips show (its fixed-point
// steps run out of precision): such frames are converted and scaled whole.
constexpr int kLargestSampledSide = 16384;

// The frame as Qt sees it: the view the rest of the program draws it through, converted to RGB32.
QImage WholeFrameRgb32(const CQvImage& frame)
{
    return QvImageToQImage(const_cast<CQvImage&>(frame)).convertToFormat(QImage::Format_RGB32);
}

// For each of `target` pixels along one side, the source pixel Qt's fast scaling from `source` pixels shows; empty
// when a target pixel shows none. A strip of two rows (or columns) of pixels that carry their own index is scaled
// to one: the other side's scale is no identity, so Qt draws the strip just as it draws a frame whose size
// changes, and the two sides of a scaling are independent of each other.
std::vector<int> QtNearestIndices(int source, int target, bool columns)
{
    QImage strip(columns ? QSize(source, 2) : QSize(2, source), QImage::Format_RGB32);
    for (int i = 0; i < source; ++i) {
        const QRgb index = 0xFF000000u | static_cast<QRgb>(i);
        if (columns) {
            reinterpret_cast<QRgb*>(strip.scanLine(0))[i] = index;
            reinterpret_cast<QRgb*>(strip.scanLine(1))[i] = index;
        } else {
            std::fill_n(reinterpret_cast<QRgb*>(strip.scanLine(i)), 2, index);
        }
    }
    const QImage scaled = columns ? strip.scaled(target, 1, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                  : strip.scaled(1, target, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (scaled.format() != QImage::Format_RGB32 || scaled.width() * scaled.height() != target)
        return {};
    std::vector<int> indices(static_cast<size_t>(target));
    for (int i = 0; i < target; ++i) {
        const QRgb pixel = columns ? scaled.pixel(i, 0) : scaled.pixel(0, i);
        const int index = static_cast<int>(pixel & 0x00FFFFFFu);
        if (qAlpha(pixel) != 0xFF || index >= source)
            return {};
        indices[static_cast<size_t>(i)] = index;
    }
    return indices;
}

// The RGB32 colour Qt's conversion gives each byte value of a one-byte-per-pixel frame (its grey level or palette
// colour), asked of the conversion itself.
std::array<QRgb, 256> ByteColours(const CQvImage& frame)
{
    CQvImage probe;
    probe.Create(frame.GetColorModel(), 256, 1, 0);
    if (frame.GetPaletteCount() > 0)
        probe.SetPalette(frame.GetPalette(), frame.GetPaletteCount());
    for (int level = 0; level < 256; ++level)
        probe.GetBuffer()[level] = static_cast<BYTE>(level);
    const QImage colours = WholeFrameRgb32(probe);
    std::array<QRgb, 256> table{};
    for (int level = 0; level < 256; ++level)
        table[static_cast<size_t>(level)] = colours.pixel(level, 0);
    return table;
}

// One picture row from one frame row. `identity`: picture column i shows frame column i. `wordSafe`: how many
// columns may be read as a whole 4-byte word (a 24-bit pixel's fourth byte is the next pixel's, or padding; at the
// end of the frame's buffer it may not exist).
void SampleRow(const BYTE* source, const std::vector<int>& offsets, bool identity, size_t wordSafe,
               int bytesPerPixel, const std::array<QRgb, 256>& byteColours, QRgb* target)
{
    const size_t count = offsets.size();
    if (bytesPerPixel == 4 && identity) {
        // 1:1 across: a plain pass the compiler vectorises.
        for (size_t i = 0; i < count; ++i) {
            uint32_t word;
            std::memcpy(&word, source + 4 * i, sizeof word);
            target[i] = 0xFF000000u | word;
        }
        return;
    }
    if (bytesPerPixel == 1) {
        for (size_t i = 0; i < count; ++i)
            target[i] = byteColours[source[offsets[i]]];
        return;
    }
    // B, G, R first in both the 24-bit and the 32-bit layout: on a little-endian machine the word at the pixel is
    // 0x..RRGGBB, and RGB32 takes it with the fourth byte opaque, as Qt's conversions to RGB32 give it.
    for (size_t i = 0; i < wordSafe; ++i) {
        uint32_t word;
        std::memcpy(&word, source + offsets[i], sizeof word);
        target[i] = 0xFF000000u | (word & 0x00FFFFFFu);
    }
    for (size_t i = wordSafe; i < count; ++i) {
        const BYTE* p = source + offsets[i];
        target[i] = 0xFF000000u | (QRgb(p[2]) << 16) | (QRgb(p[1]) << 8) | QRgb(p[0]);
    }
}

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "a pixel read as a word is 0x..RRGGBB only on little-endian");

}  // namespace

const LiveFrameComposer::Sampling& LiveFrameComposer::SamplingFor(const CQvImage& frame, QSize picture)
{
    const QSize size(frame.GetWidth(), frame.GetHeight());
    const int bytesPerPixel = frame.GetBitsPerPixel() / 8;
    if (m_sampling.frame == size && m_sampling.picture == picture && m_sampling.bytesPerPixel == bytesPerPixel)
        return m_sampling;
    m_sampling = Sampling{size, picture, {}, {}, bytesPerPixel};
    if (std::max({size.width(), size.height(), picture.width(), picture.height()}) > kLargestSampledSide)
        return m_sampling;
    std::vector<int> columns = QtNearestIndices(size.width(), picture.width(), true);
    std::vector<int> rows = QtNearestIndices(size.height(), picture.height(), false);
    if (columns.empty() || rows.empty())
        return m_sampling;
    m_sampling.identityColumns = true;
    for (size_t i = 0; i < columns.size(); ++i) {
        m_sampling.identityColumns = m_sampling.identityColumns && columns[i] == static_cast<int>(i);
        columns[i] *= bytesPerPixel;
    }
    m_sampling.columnOffsets = std::move(columns);
    m_sampling.rows = std::move(rows);
    return m_sampling;
}

QImage& LiveFrameComposer::PictureBuffer(QSize size)
{
    QImage& picture = m_pictures[static_cast<size_t>(m_next)];
    m_next = 1 - m_next;
    // A buffer still shown elsewhere is not written into: a new one is made rather than a copy detached.
    if (picture.size() != size || !picture.isDetached())
        picture = QImage(size, QImage::Format_RGB32);
    return picture;
}

QImage LiveFrameComposer::Compose(const CQvImage& frame, const LiveDecorations& d)
{
    const QSize frameSize(frame.GetWidth(), frame.GetHeight());
    const QSize size = LivePictureSize(frameSize, d.ratio);
    if (frame.IsEmpty() || size.isEmpty() || !frame.GetBuffer())
        return {};
    const Sampling& sampling = SamplingFor(frame, size);
    if (sampling.rows.empty()) {
        QImage picture = WholeFrameRgb32(frame).scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        picture.setDevicePixelRatio(1.0);
        DrawLiveDecorations(picture, frameSize, d);
        return picture;
    }
    QImage& picture = PictureBuffer(size);
    const int bytesPerPixel = sampling.bytesPerPixel;
    const std::array<QRgb, 256> byteColours = bytesPerPixel == 1 ? ByteColours(frame) : std::array<QRgb, 256>{};
    const std::vector<int>& offsets = sampling.columnOffsets;
    // Every frame row but the last has a next row after it; in the last, only words that end within its stride.
    size_t lastRowWordSafe = offsets.size();
    while (lastRowWordSafe > 0 && offsets[lastRowWordSafe - 1] + 4 > frame.GetStride())
        --lastRowWordSafe;
    const int lastRow = frame.GetHeight() - 1;
    const BYTE* pixels = frame.GetBuffer();
    const size_t rowBytes = offsets.size() * sizeof(QRgb);
    BYTE* bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
    for (int y = 0; y < size.height(); ++y) {
        QRgb* target = reinterpret_cast<QRgb*>(bits + y * stride);
        const int row = sampling.rows[static_cast<size_t>(y)];
        // Zoomed in, consecutive picture rows show the same frame row: it is sampled once.
        if (y > 0 && row == sampling.rows[static_cast<size_t>(y - 1)])
            std::memcpy(target, bits + (y - 1) * stride, rowBytes);
        else
            SampleRow(pixels + static_cast<qsizetype>(row) * frame.GetStride(), offsets, sampling.identityColumns,
                      row == lastRow ? lastRowWordSafe : offsets.size(), bytesPerPixel, byteColours, target);
    }
    DrawLiveDecorations(picture, frameSize, d);
    return picture;
}

void DrawLiveDecorations(QImage& picture, QSize frame, const LiveDecorations& d)
{
    const int width = picture.width();
    const int height = picture.height();
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
}

void SetHostSizedPicture(IAcquireHost& host, CVistrelDoc& doc)
{
    int width = 0, height = 0;
    host.GetWidth(width);
    host.GetHeight(height);
    if (width > 0 && height > 0) {
        CQvImage image;
        image.Create(QV_RGB24, width, height, 0);
        doc.SetImage(std::string(), &image);
    }
}
