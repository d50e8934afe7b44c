// Conversions between double points (image pixels) and integer points and rectangles, and the ordering of a
// rectangle of doubles. A rectangle of doubles is given by its two corner points, as the shapes keep it.
// Double to integer is trunc(v + 0.5), the overlay's image-to-window rounding. Stateless; safe on any thread.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinGeometry.h"

// Orders corners[0] and corners[1] so that corners[0] is the top-left and corners[1] the bottom-right corner.
VISTREL_EXPORT void NormalizeDRect(_RPOINT* corners);

// The whole pixel of a point, by the overlay's rounding.
VISTREL_EXPORT CPoint Rounded(const _RPOINT& p);

VISTREL_EXPORT void DPointsToPoints(const _RPOINT* in, POINT* out, int count);
VISTREL_EXPORT void PointsToDPoints(const POINT* in, _RPOINT* out, int count);

// The integer rectangle spanned by corners[0] (left, top) and corners[1] (right, bottom), not reordered.
VISTREL_EXPORT CRect DRectToRect(const _RPOINT* corners);
