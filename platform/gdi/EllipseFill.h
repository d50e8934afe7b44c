// A filled ellipse (internal to the drawing layer): the rows of the ellipse of an integral box, painted as spans
// straight into a 32-bit surface with a solid or hatched brush and the pen's 1-pixel outline in the DC's mix mode,
// clipped to the surface. The rows come from the same walk as PaintEllipseOutline's, taken row by row in one pass,
// so the outline is that of a hollow ellipse and the brush fills exactly the pixels between: no gap, nothing past
// the outline, no pixel mixed twice. The cost follows the rows that lie on the surface, not the size of the box.
#pragma once

#include "gdi/GdiDefs.h"

#include <QImage>
#include <QRect>

#include <cstdint>

namespace gdi_detail {

struct SpanBrush
{
    QRgb colour = 0xFF000000;
    QRgb background = 0xFFFFFFFF;  // the gaps of a hatch, when opaque
    bool opaque = false;
    int rop2 = R2_COPYPEN;
    // A hatch: 8 rows of 8 bits, bit (x mod 8) of row (y mod 8) set where the hatch inks surface pixel (x, y);
    // null for a solid brush.
    const uint8_t* hatch = nullptr;
};

// The hatch of a painter hatch style (Qt::HorPattern .. Qt::DiagCrossPattern) as the painter tiles it from the
// surface's origin; null for any other style.
const uint8_t* HatchRows(Qt::BrushStyle style);

// Whether the ellipse walks take the box: sides of at most 2^30 pixels, where their arithmetic is exact.
bool WalkableEllipseBox(const QRect& box);

// Paints the ellipse in `box` (inclusive corners, as QRect holds them) in the brush's mix mode. With an outline
// colour: the 1-pixel outline, the very pixels PaintEllipseOutline paints for the box, in that colour and the brush
// between them, each pixel once. Without: the brush over the outline's pixels and those between. False, painting
// nothing, when WalkableEllipseBox refuses the box.
bool PaintFilledEllipse(QImage& surface, const QRect& box, const SpanBrush& brush, const QRgb* outline);

}  // namespace gdi_detail
