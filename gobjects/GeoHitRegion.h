// Hit bands of segments: the region in which a click selects a line, 6 window pixels across. Stateless; safe on
// any thread.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinGeometry.h"

class CRgn;

// The widest or tallest region the region library can build: beyond it an ellipse fails without a region and a
// polygon comes out empty (leaking what it had made).
constexpr int kMaxRegionSpan = 65536;

// Makes rgn the polygon region of the `count` vertices, or an empty region when they span more than
// kMaxRegionSpan. rgn must not hold a region yet.
VISTREL_EXPORT void CreateBoundedPolygonRgn(CRgn& rgn, const POINT* vertices, int count, int fillMode);

// Lengthens the segment points[0] points[1] in place by `margin` at both ends along its direction. A segment of
// length 0 takes the direction GetLineAngle360 gives it (-1 degree), so it still grows into a proper segment.
VISTREL_EXPORT void MakeHitPolygon(_RPOINT* points, double margin);

// Makes rgn the band around the segment p1 p2 mapped to the window (ratio x p + origin), lengthened by `margin`
// window pixels at both ends and reaching 3 pixels to each side. Pass origin (0, 0) and ratio 1 for a band in
// image pixels. rgn must not hold a region yet.
VISTREL_EXPORT void CreateLineHitRgn(CRgn& rgn, const _RPOINT& p1, const _RPOINT& p2, double margin,
                                     const CPoint& origin, double ratio);
