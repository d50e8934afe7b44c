// What the round measurements (ellipse, circles, three-point circle) share: their circular mils, their ring-shaped
// hit region with grip squares, and their outline with the radius line. Regions in image pixels, drawing in window
// pixels. UI thread only (reads the object's container).
#pragma once

#include "types/WinGeometry.h"

class CDC;
class CRgn;
class CQvGObject;

// A circular mil is the area of a circle one mil (0.0254 mm) across, pi/4 x 0.0254^2 mm^2.
constexpr double kCircularMilsPerSquareMillimetre = 1973.5252413880287;

// The object's calibrated length unit per pixel, converted to millimetres (pixels stay pixels).
double MillimetresPerPixel(const CQvGObject& obj);

// Circular mils of a shape whose true area is `squarePixels`.
double CircularMilsOfArea(const CQvGObject& obj, double squarePixels);

// Makes rgn the ring between the ellipse of box inflated by reach and the one of box deflated by reach. A box too
// small to be deflated leaves the whole inflated ellipse; one spanning more than kMaxRegionSpan leaves an empty
// region. rgn must not hold a region yet.
void CreateEllipticRingRgn(CRgn& rgn, const CRect& box, int reach);

// Unites rgn with the 8 x 8 square centred on p.
void AddGripSquare(CRgn& rgn, CPoint p);

// Boxes that hold what CreateEllipticRingRgn and AddGripSquare add, found without building a region (a ring tens of
// thousands of pixels across takes seconds to build), and their union; the empty box adds nothing. Edges saturate
// at the ends of int.
CRect RingBounds(const CRect& box, int reach);
CRect GripBounds(CPoint p);
CRect UniteBounds(const CRect& a, const CRect& b);

// Whether an ellipse in the window box (both corners included) can be drawn: one 2^30 window pixels wide or tall
// (a circle through nearly collinear points, whose box the window mapping clamps) is larger than any window, and
// its size would overflow int in the DC.
bool IsDrawableEllipseBox(const CRect& box);

// The ellipse filling the window box (both corners included) with the selected pen and brush, and with
// radiusLine the line from its centre to its right edge. Nothing for a box IsDrawableEllipseBox refuses. A box
// may lie anywhere in int (its edges clamped far out by the window mapping): the centre is found in 64 bits.
void DrawEllipseInBox(CDC* dc, const CRect& box, bool radiusLine);
