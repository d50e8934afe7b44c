// The 1-pixel solid outline of an ellipse (internal to the drawing layer): the pixels of the midpoint ellipse that
// touches every edge of an integral box, written straight into a 32-bit surface with the pen's colour and mix
// mode, each pixel once, clipped to the surface. It draws overlay circles and target rings several times faster
// than the painter, and the same pixels in every mix mode, so a rubber band covers the shape it becomes.
#pragma once

#include "CosmeticLine.h"

#include <QImage>
#include <QRect>

namespace gdi_detail {

// Paints the outline of the ellipse in `box` (inclusive corners, as QRect holds them) with style's colour and mix
// mode; the style's dash pattern is not used. The error terms are exact: 64-bit for sides up to 2^17, 128-bit up
// to 2^31. An ellipse much larger than the surface is walked only where it meets the surface (the pixels are
// those of the whole walk), so the cost follows the surface, not the ellipse. False, painting nothing, for boxes
// wider or taller than 2^31 - 8; the caller then draws another way.
bool PaintEllipseOutline(QImage& surface, const QRect& box, const LineStyle& style);

}  // namespace gdi_detail
