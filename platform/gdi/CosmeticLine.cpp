#include "gdi/private/CosmeticLine.h"

#include <algorithm>
#include <cstdlib>

namespace gdi_detail {

void PatternOfPenStyle(int style, uint32_t* pattern, int* length)
{
    // Runs of inked and blank pixels of the 1-pixel styled pens, starting inked.
    auto runs = [&](std::initializer_list<int> lengths) {
        uint32_t bits = 0;
        int position = 0;
        bool inked = true;
        for (int run : lengths) {
            for (int i = 0; i < run; ++i, ++position)
                if (inked)
                    bits |= 1u << position;
            inked = !inked;
        }
        *pattern = bits;
        *length = position;
    };
    switch (style) {
    case PS_DASH: runs({18, 6}); break;
    case PS_DOT: runs({3, 3}); break;
    case PS_DASHDOT: runs({9, 6, 3, 6}); break;
    case PS_DASHDOTDOT: runs({9, 3, 3, 3, 3, 3}); break;
    default: runs({1}); break;
    }
}

namespace {

// The pixels i in [first, last) of a line whose pixel i sits at major + i * majorStep and at minor plus the
// nearest whole multiple of i * minorDelta / majorDelta (halves away from the start) times minorStep.
struct Walk
{
    uchar* bits;
    qsizetype stride;
    bool xMajor;
    int major;
    int minor;
    int majorStep;
    int minorStep;
    int64_t majorDelta;  // > 0
    int64_t minorDelta;  // >= 0, <= majorDelta
    int64_t first;
    int64_t last;
    int minorLimit;      // pixels with a minor coordinate outside [0, minorLimit) are skipped
};

template <int Rop, bool Styled>
void Run(const Walk& w, const LineStyle& style, int64_t patternStart)
{
    const int64_t denominator = 2 * w.majorDelta;
    // 128 bits: a line may run far beyond the surface before its first visible pixel.
    const __int128 numerator = static_cast<__int128>(2 * w.first) * w.minorDelta + w.majorDelta;
    // Pixel `first` lies between the segment's ends, so its coordinates fit an int; the steps to it may not.
    int minor = static_cast<int>(w.minor + w.minorStep * static_cast<int64_t>(numerator / denominator));
    int64_t remainder = static_cast<int64_t>(numerator % denominator);
    int major = static_cast<int>(w.major + w.majorStep * w.first);
    int64_t patternIndex = (patternStart + w.first) % style.patternLength;
    for (int64_t i = w.first; i < w.last; ++i) {
        if (minor >= 0 && minor < w.minorLimit) {
            const int x = w.xMajor ? major : minor;
            const int y = w.xMajor ? minor : major;
            QRgb& pixel = reinterpret_cast<QRgb*>(w.bits + y * w.stride)[x];
            if constexpr (Styled) {
                if (style.pattern & (1u << patternIndex))
                    Mix<Rop>(pixel, style.colour);
                else if (style.opaque)
                    Mix<Rop>(pixel, style.background);
                if (++patternIndex == style.patternLength)
                    patternIndex = 0;
            } else {
                Mix<Rop>(pixel, style.colour);
            }
        } else if constexpr (Styled) {
            if (++patternIndex == style.patternLength)
                patternIndex = 0;
        }
        major += w.majorStep;
        remainder += 2 * w.minorDelta;
        if (remainder >= denominator) {
            remainder -= denominator;
            minor += w.minorStep;
        }
    }
}

template <bool Styled>
void RunWithRop(const Walk& w, const LineStyle& style, int64_t patternStart)
{
    switch (style.rop2) {
    case R2_NOT: Run<R2_NOT, Styled>(w, style, patternStart); break;
    case R2_XORPEN: Run<R2_XORPEN, Styled>(w, style, patternStart); break;
    case R2_NOTXORPEN: Run<R2_NOTXORPEN, Styled>(w, style, patternStart); break;
    default: Run<R2_COPYPEN, Styled>(w, style, patternStart); break;
    }
}

}  // namespace

void CosmeticLine::Segment(QPoint from, QPoint to)
{
    const int64_t dx = static_cast<int64_t>(to.x()) - from.x();
    const int64_t dy = static_cast<int64_t>(to.y()) - from.y();
    Walk w{};
    w.xMajor = std::llabs(dx) >= std::llabs(dy);
    w.majorDelta = w.xMajor ? std::llabs(dx) : std::llabs(dy);
    if (w.majorDelta == 0)
        return;
    w.minorDelta = w.xMajor ? std::llabs(dy) : std::llabs(dx);
    w.major = w.xMajor ? from.x() : from.y();
    w.minor = w.xMajor ? from.y() : from.x();
    w.majorStep = (w.xMajor ? dx : dy) < 0 ? -1 : 1;
    w.minorStep = (w.xMajor ? dy : dx) < 0 ? -1 : 1;
    const int majorLimit = w.xMajor ? m_surface.width() : m_surface.height();
    w.minorLimit = w.xMajor ? m_surface.height() : m_surface.width();

    // Only the steps whose major coordinate lies on the surface.
    const int64_t toZero = w.majorStep > 0 ? -static_cast<int64_t>(w.major) : w.major;
    const int64_t toLimit = w.majorStep > 0 ? majorLimit - 1 - static_cast<int64_t>(w.major)
                                            : w.major - static_cast<int64_t>(majorLimit - 1);
    w.first = std::max<int64_t>(0, w.majorStep > 0 ? toZero : toLimit);
    w.last = std::min<int64_t>(w.majorDelta, (w.majorStep > 0 ? toLimit : toZero) + 1);

    const int64_t patternStart = m_patternPosition;
    m_patternPosition = (m_patternPosition + w.majorDelta) % m_style.patternLength;
    if (w.first >= w.last)
        return;
    w.bits = m_surface.bits();
    w.stride = m_surface.bytesPerLine();
    if (m_style.patternLength == 1)
        RunWithRop<false>(w, m_style, patternStart);
    else
        RunWithRop<true>(w, m_style, patternStart);
}

}  // namespace gdi_detail
