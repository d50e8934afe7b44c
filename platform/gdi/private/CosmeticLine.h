// The 1-pixel lines of the drawing layer (internal): each segment paints its first pixel and leaves its last, the
// pixels nearest the ideal line along the major axis, with the pen's dash pattern (background colour in the gaps
// when opaque) and the DC's mix mode. Written directly into the surface, clipped to it.
#pragma once

#include "gdi/GdiDefs.h"

#include <QImage>
#include <QPoint>

#include <cstdint>

namespace gdi_detail {

struct LineStyle
{
    QRgb colour = 0xFF000000;
    QRgb background = 0xFFFFFFFF;
    bool opaque = false;     // paint the pattern's gaps with the background colour
    int rop2 = R2_COPYPEN;
    uint32_t pattern = 1;    // bit i set: pixel i of the pattern is inked
    int patternLength = 1;   // 1 for a solid pen
};

// The dash pattern of a 1-pixel pen style, in the form LineStyle keeps it.
void PatternOfPenStyle(int style, uint32_t* pattern, int* length);

// A pixel of a 1-pixel figure in `colour` under the mix mode Rop; the result is opaque.
template <int Rop>
inline void Mix(QRgb& pixel, QRgb colour)
{
    constexpr QRgb kOpaque = 0xFF000000;
    if constexpr (Rop == R2_NOT)
        pixel = ~pixel | kOpaque;
    else if constexpr (Rop == R2_XORPEN)
        pixel = (pixel ^ colour) | kOpaque;
    else if constexpr (Rop == R2_NOTXORPEN)
        pixel = ~(pixel ^ colour) | kOpaque;
    else
        pixel = colour;
}

class CosmeticLine
{
public:
    CosmeticLine(QImage& surface, const LineStyle& style) : m_surface(surface), m_style(style) {}

    // Paints from `from` up to, not including, `to`; the dash pattern continues from the previous segment.
    void Segment(QPoint from, QPoint to);

private:
    QImage& m_surface;
    const LineStyle& m_style;
    int64_t m_patternPosition = 0;
};

}  // namespace gdi_detail
