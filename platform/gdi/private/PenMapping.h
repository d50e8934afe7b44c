// Conversions of colours, pens and brushes to their Qt equivalents (internal to the drawing layer).
#pragma once

#include "gdi/GdiDefs.h"
#include "types/WinRecords.h"

#include <QBrush>
#include <QColor>
#include <QPen>

namespace gdi_detail {

// The high byte (palette flags) is ignored.
QColor ToQColor(COLORREF colour);

// Width 0 or 1: a 1-pixel cosmetic pen with the Windows dash pattern of its style and flat caps, so a line's end
// pixel stays unpainted. Wider: solid with round caps and joins whatever the style. PS_NULL: no pen.
QPen ToQPen(const LOGPEN& pen);

// Hatches are 8 x 8 patterns aligned to the surface's origin; BS_NULL gives no brush.
QBrush ToQBrush(const LOGBRUSH& brush);

}  // namespace gdi_detail
