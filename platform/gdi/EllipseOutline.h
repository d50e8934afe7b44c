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
// mode; the style's dash pattern is not used. False, painting nothing, for boxes too large for its exact integer
// arithmetic (wider or taller than 2^20); the caller then draws another way.
bool PaintEllipseOutline(QImage& surface, const QRect& box, const LineStyle& style);

}  // namespace gdi_detail
