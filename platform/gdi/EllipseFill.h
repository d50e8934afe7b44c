// The brush fill of an ellipse (internal to the drawing layer): the rows of the ellipse of an integral box, painted
// as spans straight into a 32-bit surface with a solid or hatched brush in the DC's mix mode, clipped to the
// surface. A row ends exactly where the outline PaintEllipseOutline paints for the same box begins, so the two
// together leave no gap, never overlap (a mix mode touches each pixel once) and the fill never reaches past the
// outline. The cost follows the rows that lie on the surface, not the size of the box.
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

enum class EllipseArea
{
    Interior,  // the pixels between the outline's
    Whole,     // those and the outline's own pixels
};

// Whether FillEllipse takes the box: sides of at most 2^30 pixels.
bool FillableEllipseBox(const QRect& box);

// Fills `area` of the ellipse in `box` (inclusive corners, as QRect holds them) with the brush. False, painting
// nothing, when FillableEllipseBox refuses the box.
bool FillEllipse(QImage& surface, const QRect& box, EllipseArea area, const SpanBrush& brush);

}  // namespace gdi_detail
