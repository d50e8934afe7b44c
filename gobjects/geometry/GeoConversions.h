// Conversions between double points (image pixels) and integer points and rectangles, the ordering of a
// rectangle of doubles, and the one way from image to window coordinates. A rectangle of doubles is given by its
// two corner points, as the shapes keep it. Double to integer is trunc(v + 0.5), the overlay's image-to-window
// rounding. Stateless; safe on any thread.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinGeometry.h"

#include <cstdint>

// Orders corners[0] and corners[1] so that corners[0] is the top-left and corners[1] the bottom-right corner.
VISTREL_EXPORT void NormalizeDRect(_RPOINT* corners);

// The whole pixel of a point, by the overlay's rounding.
VISTREL_EXPORT CPoint Rounded(const _RPOINT& p);

VISTREL_EXPORT void DPointsToPoints(const _RPOINT* in, POINT* out, int count);
VISTREL_EXPORT void PointsToDPoints(const POINT* in, _RPOINT* out, int count);

// The integer rectangle spanned by corners[0] (left, top) and corners[1] (right, bottom), not reordered.
VISTREL_EXPORT CRect DRectToRect(const _RPOINT* corners);

// How far out a window coordinate computed from image coordinates may lie: beyond any window, and far enough from
// the ends of int that two such coordinates can be added, or a box built on one inflated, without overflowing.
constexpr double kFarWindowCoordinate = 1 << 30;

// Every window position computed from image coordinates (origin + ratio x v, a midpoint of two, a ring's edge)
// passes through here before it becomes an int: kept within +-kFarWindowCoordinate, so that a far point at a
// high zoom stays far out on its own side, where drawing clips it; NaN (a sum of opposite infinities) gives 0.
VISTREL_EXPORT double ClampWindowPosition(double position);

// trunc(ratio x v + origin + 0.5), clamped: the overlay's image-to-window mapping of one coordinate.
VISTREL_EXPORT int WindowPixel(double v, double origin, double ratio);

// (a + b) / 2 truncated, for two window coordinates whose sum may lie beyond int.
VISTREL_EXPORT int HalfSum(int64_t a, int64_t b);
