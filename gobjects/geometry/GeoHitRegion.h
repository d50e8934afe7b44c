// Hit bands of segments (the region in which a click selects a line, 6 window pixels across), and the hit tests of
// elliptic rings and grip squares worked out from their outlines, at a cost that does not grow with their size.
// Stateless; safe on any thread.
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

// Grip squares in hit regions reach this many pixels each way from their centre (8 x 8 squares).
constexpr int kGripHalf = 4;

// Whether any of the pixels from (pixels.left, pixels.top) to (pixels.right, pixels.bottom), both corners included,
// lies in the ring between the ellipse of box inflated by reach and the one of box deflated by reach: the ring
// CreateEllipticRingRgn makes a region of. Pixel (x, y) lies inside an ellipse when the point (x, y) does, as the
// region library samples ellipses (so the ring of a box straddles the outline GDI paints with that box's right and
// bottom included); a box too small to be deflated leaves the whole inflated ellipse. Unlike the region, the ring
// has no size limit. `pixels` with right < left or bottom < top holds no pixel. The cost grows with the rows of
// `pixels` (a few for a click), never with the ring's size.
VISTREL_EXPORT bool PixelsMeetEllipticRing(const CRect& box, int reach, const CRect& pixels);

// Whether any of the pixels (both corners included, as above) lies in the square [c.x - half, c.x + half) x
// [c.y - half, c.y + half): a grip square of side 2 x half.
VISTREL_EXPORT bool PixelsMeetSquare(CPoint centre, int half, const CRect& pixels);
