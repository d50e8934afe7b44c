#include "gdi/GlyphMask.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gdi_detail {
namespace {

// Each 8-bit channel of x times a / 255, rounded as Qt's raster engine rounds it.
inline uint32_t ByteMul(uint32_t x, uint32_t a)
{
    uint64_t t = ((uint64_t{x} | (uint64_t{x} << 24)) & 0x00FF00FF00FF00FFull) * a;
    t = (t + ((t >> 8) & 0x00FF00FF00FF00FFull) + 0x0080008000800080ull) >> 8;
    t &= 0x00FF00FF00FF00FFull;
    return static_cast<uint32_t>(t) | static_cast<uint32_t>(t >> 24);
}

// Qt's blend of an opaque colour at coverage c; at 0 and 255 it leaves the pixel and writes the colour, as Qt's
// shortcuts for them do.
inline QRgb BlendPixel(QRgb pixel, uint32_t c, QRgb colour)
{
    const uint32_t source = ByteMul(colour, c);
    return source + ByteMul(pixel, qAlpha(~source));
}

#if defined(__SSE2__)
// ByteMul on eight 16-bit lanes holding bytes.
inline __m128i ByteMulLanes(__m128i x, __m128i a)
{
    __m128i t = _mm_mullo_epi16(x, a);
    t = _mm_add_epi16(t, _mm_srli_epi16(t, 8));
    t = _mm_add_epi16(t, _mm_set1_epi16(0x80));
    return _mm_srli_epi16(t, 8);
}

// BlendPixel on four pixels at once. The colour is opaque, so the source's alpha is c itself and the sum of
// source and weighted pixel never carries from one channel into the next.
inline void BlendFour(QRgb* pixels, uint32_t fourCoverages, QRgb colour)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i colourLanes = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), zero);
    const __m128i coverage16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(fourCoverages)), zero);
    const __m128i coveragePairs = _mm_unpacklo_epi16(coverage16, coverage16);
    const __m128i coverageLow = _mm_unpacklo_epi32(coveragePairs, coveragePairs);   // pixels 0 and 1
    const __m128i coverageHigh = _mm_unpackhi_epi32(coveragePairs, coveragePairs);  // pixels 2 and 3
    const __m128i full = _mm_set1_epi16(255);
    const __m128i target = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
    const __m128i low = _mm_add_epi16(ByteMulLanes(colourLanes, coverageLow),
                                      ByteMulLanes(_mm_unpacklo_epi8(target, zero), _mm_sub_epi16(full, coverageLow)));
    const __m128i high = _mm_add_epi16(
        ByteMulLanes(colourLanes, coverageHigh),
        ByteMulLanes(_mm_unpackhi_epi8(target, zero), _mm_sub_epi16(full, coverageHigh)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm_packus_epi16(low, high));
}
#else
inline void BlendFour(QRgb* pixels, uint32_t fourCoverages, QRgb colour)
{
    for (int i = 0; i < 4; ++i)
        pixels[i] = BlendPixel(pixels[i], (fourCoverages >> (8 * i)) & 0xFF, colour);
}
#endif

}  // namespace

std::optional<GlyphMask> GlyphMask::Make(const QList<QGlyphRun>& glyphs, int advance, int cellHeight)
{
    qsizetype count = 0;
    for (const QGlyphRun& run : glyphs) {
        if (run.underline() || run.strikeOut() || run.overline())
            return std::nullopt;  // decorations are drawn as lines, not glyphs
        count += run.glyphIndexes().size();
    }
    // Every glyph gets a band of its own on a black scratch image, drawn in white: its pixels are its coverage.
    const int margin = std::max(cellHeight, 4);
    const int width = std::max(advance, 0) + 2 * margin;
    const int band = cellHeight + 2 * margin;
    if (count == 0 || static_cast<int64_t>(width) * band * count > kMaxScratchPixels)
        return count == 0 ? std::optional<GlyphMask>(GlyphMask()) : std::nullopt;
    QImage scratch(width, band * static_cast<int>(count), QImage::Format_RGB32);
    scratch.fill(Qt::black);
    {
        QPainter painter(&scratch);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(Qt::white);
        int index = 0;
        for (const QGlyphRun& run : glyphs) {
            // Whole-pixel shifts keep each glyph's sub-pixel position, so it is rendered as on the surface.
            QList<QPointF> positions = run.positions();
            for (QPointF& p : positions)
                p += QPointF(margin, margin + band * index++);
            QGlyphRun spread = run;
            spread.setPositions(positions);
            painter.drawGlyphRun(QPointF(0, 0), spread);
        }
    }

    // Per pixel of the cell area, the latest layer that covers it (-1: none yet).
    std::vector<int> topLayer(static_cast<size_t>(width) * band, -1);
    std::vector<std::vector<uint8_t>> layers;
    std::vector<QRect> boxes;
    for (int glyph = 0; glyph < count; ++glyph) {
        auto bandRow = [&](int y) { return reinterpret_cast<const QRgb*>(scratch.constScanLine(glyph * band + y)); };
        int layer = 0;
        for (int y = 0; y < band; ++y) {
            const QRgb* row = bandRow(y);
            for (int x = 0; x < width; ++x) {
                const QRgb pixel = row[x] & 0x00FFFFFF;
                if (pixel == 0)
                    continue;
                if (qRed(pixel) != qBlue(pixel) || qGreen(pixel) != qBlue(pixel))
                    return std::nullopt;  // sub-pixel coverage blends otherwise
                if (x == 0 || y == 0 || x == width - 1 || y == band - 1)
                    return std::nullopt;  // the glyph may reach further than the band
                layer = std::max(layer, topLayer[static_cast<size_t>(y) * width + x] + 1);
            }
        }
        if (layer == static_cast<int>(layers.size())) {
            layers.emplace_back(static_cast<size_t>(width) * band, uint8_t{0});
            boxes.emplace_back();
        }
        for (int y = 0; y < band; ++y) {
            const QRgb* row = bandRow(y);
            for (int x = 0; x < width; ++x) {
                const int coverage = qBlue(row[x]);
                if (coverage == 0)
                    continue;
                const size_t at = static_cast<size_t>(y) * width + x;
                layers[layer][at] = static_cast<uint8_t>(coverage);
                topLayer[at] = layer;
                boxes[layer] |= QRect(x, y, 1, 1);
            }
        }
    }

    GlyphMask mask;
    int64_t bytes = 0;
    for (size_t i = 0; i < layers.size(); ++i) {
        const QRect& box = boxes[i];
        bytes += static_cast<int64_t>(box.width()) * box.height();
        if (bytes > kMaxMaskBytes)
            return std::nullopt;
        Layer& layer = i == 0 ? mask.m_first : mask.m_further.emplace_back();
        layer.box = box.translated(-margin, -margin);
        layer.offset = mask.m_coverage.size();
        for (int y = box.top(); y <= box.bottom(); ++y) {
            const auto row = layers[i].begin() + static_cast<std::ptrdiff_t>(y) * width;
            mask.m_coverage.insert(mask.m_coverage.end(), row + box.left(), row + box.right() + 1);
        }
    }
    return mask;
}

bool GlyphMask::CanBlendOnto(const QPainter& painter, const QImage& surface)
{
    const QImage::Format format = surface.format();
    return (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied) &&
           surface.devicePixelRatio() == 1.0 && painter.deviceTransform().isIdentity() && painter.opacity() == 1.0 &&
           painter.testRenderHint(QPainter::TextAntialiasing);
}

void GlyphMask::Blend(QImage& surface, QPoint cell, QRgb colour, const QRect& clip) const
{
    if (m_coverage.empty())
        return;
    __builtin_prefetch(m_coverage.data());
    const QRect bounds = clip.intersected(surface.rect());
    uchar* const bits = surface.bits();
    const qsizetype stride = surface.bytesPerLine();
    colour |= 0xFF000000;
    BlendLayer(m_first, bits, stride, cell, colour, bounds);
    for (const Layer& layer : m_further)
        BlendLayer(layer, bits, stride, cell, colour, bounds);
}

void GlyphMask::BlendLayer(const Layer& layer, uchar* bits, qsizetype stride, QPoint cell, QRgb colour,
                           const QRect& bounds) const
{
    const QRect placed = layer.box.translated(cell);
    const QRect area = placed.intersected(bounds);
    if (area.isEmpty())
        return;
    // Labels lie anywhere on a large surface, so their rows are rarely cached: ask for all of them at once rather
    // than waiting for each in turn.
    for (int y = area.top(); y <= area.bottom(); ++y) {
        __builtin_prefetch(bits + y * stride + area.left() * 4, 1);
        __builtin_prefetch(bits + y * stride + area.right() * 4, 1);
    }
    const int maskWidth = layer.box.width();
    const int width = area.width();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uint8_t* coverage = m_coverage.data() + layer.offset +
                                  static_cast<size_t>(y - placed.top()) * maskWidth + (area.left() - placed.left());
        QRgb* target = reinterpret_cast<QRgb*>(bits + y * stride) + area.left();
        int x = 0;
        for (; x + 4 <= width; x += 4) {
            uint32_t four = 0;
            std::memcpy(&four, coverage + x, sizeof four);
            if (four != 0)  // skips the gaps between and around glyphs
                BlendFour(target + x, four, colour);
        }
        for (; x < width; ++x)
            target[x] = BlendPixel(target[x], coverage[x], colour);
    }
}

}  // namespace gdi_detail
