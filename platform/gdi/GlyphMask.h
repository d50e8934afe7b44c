// The coverage of one shaped line of text as Qt draws it (internal to the drawing layer), for writing the line
// again without Qt's per-glyph work: finding each glyph in the font engine's cache, clipping it and setting up a
// blend for it cost several times the blending itself on short labels.
//
// Contract: a mask reproduces Qt exactly. Qt blends each glyph's 8-bit coverage into the surface in turn, so the
// glyphs are kept in layers: no two glyphs of a layer cover the same pixel, and a glyph lies in a later layer than
// every earlier glyph it overlaps. Blending layer after layer, pixel by pixel with Qt's formula, then blends every
// pixel's glyphs in Qt's order. A line with per-channel (sub-pixel) coverage, decorations, or glyphs reaching past
// the margins measured here gets no mask. Writing needs an untransformed, unclipped (or rectangle-clipped) RGB32
// or ARGB32_Premultiplied surface, full opacity and an opaque colour; CanBlendOnto says when that holds.
#pragma once

#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

namespace gdi_detail {

class GlyphMask
{
public:
    // Larger lines keep being drawn by Qt: a mask costs memory and making one costs a scratch image this large.
    static constexpr int kMaxScratchPixels = 1 << 20;
    static constexpr int kMaxMaskBytes = 4096;

    // The glyphs are placed for a cell at (0, 0) whose line is `cellHeight` high; nullopt when no exact mask exists.
    static std::optional<GlyphMask> Make(const QList<QGlyphRun>& glyphs, int advance, int cellHeight);

    static bool CanBlendOnto(const QPainter& painter, const QImage& surface);

    // Blends `colour` (0xRRGGBB; it is drawn opaque) through the mask into the surface with the cell at `cell`, inside
    // `clip` (surface coordinates).
    void Blend(QImage& surface, QPoint cell, QRgb colour, const QRect& clip) const;

    // The memory the mask holds.
    size_t Bytes() const { return m_coverage.size() + (1 + m_further.size()) * sizeof(Layer); }

private:
    struct Layer
    {
        QRect box;          // relative to the cell
        size_t offset = 0;  // of its box.width() x box.height() coverage bytes, row by row, in m_coverage
    };

    void BlendLayer(const Layer& layer, uchar* bits, qsizetype stride, QPoint cell, QRgb colour,
                    const QRect& bounds) const;

    // Usually one layer: it is held in place, so a label's write reaches its bytes in a single step.
    Layer m_first;
    std::vector<Layer> m_further;
    std::vector<uint8_t> m_coverage;
};

}  // namespace gdi_detail
