#include "QvNearestBlit.h"

#include "QvZoomMapping.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "a 24-bit pixel read as a word is 0x..RRGGBB only on little-endian");

namespace {

bool IsDirect32(const QImage& surface)
{
    const QImage::Format f = surface.format();
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied;
}

// The part of rect that lies on the surface; empty when none does.
CRect OnSurface(const QImage& surface, const CRect& rect)
{
    CRect area;
    area.IntersectRect(rect, CRect(0, 0, surface.width(), surface.height()));
    return area;
}

// Screen colours of the 256 byte values of a one-byte-per-pixel image.
std::array<QRgb, 256> ByteColours(const CQvImage& image)
{
    std::array<QRgb, 256> colours{};
    const RGBQUAD* palette = image.GetPalette();
    if (!palette)
    {
        for (int level = 0; level < 256; ++level)
            colours[level] = qRgb(level, level, level);
        return colours;
    }
    colours.fill(qRgb(0, 0, 0));
    const int count = std::min(image.GetPaletteCount(), 256);
    for (int i = 0; i < count; ++i)
        colours[i] = qRgb(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue);
    return colours;
}

// For each window coordinate in [first, last), the image coordinate shown there times `scale`.
std::vector<int> SourceIndices(int first, int last, float ratio, int origin, int scale)
{
    std::vector<int> indices(static_cast<size_t>(last - first));
    for (int window = first; window < last; ++window)
        indices[static_cast<size_t>(window - first)] = qvzoom::Real(window, ratio, origin) * scale;
    return indices;
}

// `wordSafe`: how many of the columns may be read as a whole 4-byte word (the rest lie too near the end of the
// image's buffer for a 24-bit pixel's fourth byte to exist).
void ConvertRow(const BYTE* source, const std::vector<int>& columns, size_t wordSafe, int bytesPerPixel,
                const std::array<QRgb, 256>& byteColours, QRgb* target)
{
    const size_t count = columns.size();
    if (bytesPerPixel == 1)
    {
        for (size_t i = 0; i < count; ++i)
            target[i] = byteColours[source[columns[i]]];
        return;
    }
    // B, G, R first in both the 24-bit and the 32-bit layout, so on a little-endian machine the word at the pixel
    // is 0x..RRGGBB: one load, and the fourth byte (alpha, or the next pixel's blue) replaced by opaque.
    for (size_t i = 0; i < wordSafe; ++i)
    {
        uint32_t word;
        std::memcpy(&word, source + columns[i], sizeof(word));
        target[i] = 0xFF000000u | (word & 0x00FFFFFFu);
    }
    for (size_t i = wordSafe; i < count; ++i)
    {
        const BYTE* p = source + columns[i];
        target[i] = 0xFF000000u | (QRgb(p[2]) << 16) | (QRgb(p[1]) << 8) | QRgb(p[0]);
    }
}

// How many threads may draw the rows of `area`.
int ThreadCount(const CRect& area, int threads)
{
    const int rows = area.Height();
    if (threads == 1 || rows < 2)
        return 1;
    if (threads > 1)
        return std::min({threads, kQvBlitMaxThreads, rows});
    const long long pixels = static_cast<long long>(area.Width()) * rows;
    if (pixels < kQvBlitSplitPixels)
        return 1;
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return std::min({kQvBlitMaxThreads, cores, rows});
}

// One draw's bands, taken one at a time by whichever thread is free: the drawing thread starts at once, and a
// worker that wakes late finds fewer bands left, or none, so a draw never waits for a thread to wake.
struct BandQueue
{
    using Draw = std::function<void(int band, int bands)>;

    BandQueue(const Draw& d, int count) : draw(&d), bands(count) {}

    // Draws bands until none is left. `draw` is called only for a band not yet finished, so only while the
    // drawing thread still waits in WaitForAll and its function exists.
    void Help()
    {
        for (;;)
        {
            const int band = next.fetch_add(1);
            if (band >= bands)
                return;
            (*draw)(band, bands);
            if (finished.fetch_add(1) + 1 == bands)
            {
                std::lock_guard<std::mutex> lock(mutex);
                allFinished.notify_all();
            }
        }
    }

    void WaitForAll()
    {
        std::unique_lock<std::mutex> lock(mutex);
        allFinished.wait(lock, [this] { return finished.load() == bands; });
    }

    const Draw* draw;
    const int bands;
    std::atomic<int> next{0};
    std::atomic<int> finished{0};
    std::mutex mutex;
    std::condition_variable allFinished;
};

// Threads kept for the blit, so that a draw pays for waking them, not for starting them. One draw at a time uses
// them; a draw that finds them busy (another thread drawing) draws alone. Made on first use and never destroyed:
// they wait idle until the process ends, and no static destructor can find them gone.
class BlitWorkers
{
public:
    static BlitWorkers& Instance()
    {
        static BlitWorkers* workers = new BlitWorkers;
        return *workers;
    }

    // Draws every band of `bands`, with the help of up to `helpers` kept threads; returns when all are drawn.
    void Run(int bands, int helpers, const BandQueue::Draw& draw)
    {
        std::unique_lock<std::mutex> caller(m_callerLock, std::try_to_lock);
        if (!caller || !Start(helpers))
        {
            for (int band = 0; band < bands; ++band)
                draw(band, bands);
            return;
        }
        const auto queue = std::make_shared<BandQueue>(draw, bands);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_queue = queue;
            ++m_generation;
        }
        m_wake.notify_all();
        queue->Help();
        queue->WaitForAll();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.reset();
    }

private:
    // Up to `wanted` threads (never fewer than before); false when none could be started. Called by the drawing
    // thread only, which alone changes the generation.
    bool Start(int wanted)
    {
        while (static_cast<int>(m_threads.size()) < wanted)
        {
            try
            {
                // A thread added for this draw must not take the last draw's generation for a new one.
                m_threads.emplace_back(&BlitWorkers::Work, this, m_generation);
            }
            catch (const std::system_error&)
            {
                break;
            }
        }
        return !m_threads.empty();
    }

    void Work(unsigned long long seen)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;)
        {
            m_wake.wait(lock, [&] { return m_generation != seen; });
            seen = m_generation;
            // Held by the worker, the queue outlives a draw that finished without it.
            const std::shared_ptr<BandQueue> queue = m_queue;
            if (!queue)
                continue;
            lock.unlock();
            queue->Help();
            lock.lock();
        }
    }

    std::mutex m_callerLock;  // held by the draw that uses the threads
    std::mutex m_mutex;       // guards what follows
    std::condition_variable m_wake;
    unsigned long long m_generation = 0;
    std::shared_ptr<BandQueue> m_queue;
    std::vector<std::thread> m_threads;
};

}  // namespace

void BlitNearest(const CQvImage& image, float ratio, CPoint origin, const CRect& clip, QImage& surface,
                 int threads)
{
    if (image.IsEmpty() || !(ratio > 0.0f) || !IsDirect32(surface))
        return;
    const CRect drawn(qvzoom::Zoomed(0, ratio, origin.x), qvzoom::Zoomed(0, ratio, origin.y),
                      qvzoom::Zoomed(image.GetWidth(), ratio, origin.x),
                      qvzoom::Zoomed(image.GetHeight(), ratio, origin.y));
    CRect visible;
    if (!visible.IntersectRect(drawn, clip))
        return;
    const CRect area = OnSurface(surface, visible);
    if (area.IsRectEmpty())
        return;

    const int bytesPerPixel = image.GetBitsPerPixel() / 8;
    const std::vector<int> columns = SourceIndices(area.left, area.right, ratio, origin.x, bytesPerPixel);
    const std::vector<int> rows = SourceIndices(area.top, area.bottom, ratio, origin.y, 1);
    const std::array<QRgb, 256> byteColours =
        bytesPerPixel == 1 ? ByteColours(image) : std::array<QRgb, 256>{};

    // Every row but the last has a next row after it; in the last, only words that end within its stride.
    size_t lastRowWordSafe = columns.size();
    while (lastRowWordSafe > 0 && columns[lastRowWordSafe - 1] + 4 > image.GetStride())
        --lastRowWordSafe;
    const int lastRow = image.GetHeight() - 1;

    // bits() may detach the surface: called once, here, before any band writes into it.
    BYTE* surfaceBits = surface.bits();
    const qsizetype surfaceStride = surface.bytesPerLine();
    const BYTE* pixels = image.GetBuffer();
    const size_t rowBytes = columns.size() * sizeof(QRgb);
    // Window rows [first, last) of the area; bands share nothing they write.
    const auto drawRows = [&](int first, int last) {
        for (int y = first; y < last; ++y)
        {
            QRgb* target = reinterpret_cast<QRgb*>(surfaceBits + y * surfaceStride) + area.left;
            const size_t row = static_cast<size_t>(y - area.top);
            // Zoomed in, consecutive window rows show the same image row: convert it once (within the band, so
            // that a band never reads a row another band is writing).
            if (y > first && rows[row] == rows[row - 1])
                std::memcpy(target, reinterpret_cast<const BYTE*>(target) - surfaceStride, rowBytes);
            else
                ConvertRow(pixels + static_cast<qsizetype>(rows[row]) * image.GetStride(), columns,
                           rows[row] == lastRow ? lastRowWordSafe : columns.size(), bytesPerPixel, byteColours,
                           target);
        }
    };

    const int threadCount = ThreadCount(area, threads);
    if (threadCount == 1)
    {
        drawRows(area.top, area.bottom);
        return;
    }
    // A few bands a thread, so that threads that start late still share the work.
    const int bands = std::min(area.Height(), threadCount * 4);
    BlitWorkers::Instance().Run(bands, threadCount - 1, [&](int band, int count) {
        const auto start = [&](int b) {
            return area.top + static_cast<int>(static_cast<long long>(area.Height()) * b / count);
        };
        drawRows(start(band), start(band + 1));
    });
}

void FillSurfaceRect(QImage& surface, const CRect& rect, QRgb colour)
{
    if (!IsDirect32(surface))
        return;
    const CRect area = OnSurface(surface, rect);
    if (area.IsRectEmpty())
        return;
    const QRgb value = 0xFF000000u | colour;
    for (int y = area.top; y < area.bottom; ++y)
    {
        QRgb* target = reinterpret_cast<QRgb*>(surface.scanLine(y)) + area.left;
        std::fill_n(target, area.Width(), value);
    }
}
