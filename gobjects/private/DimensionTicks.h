// The dimension line of the horizontal and vertical point-to-point distances: a tick through each point across
// the measured axis, both ticks spanning the two points' rounded positions on the other axis, and the line between
// the ticks half-way along them. `alongX` measures along x (the ticks stand upright); otherwise along y. Points in
// image pixels. UI thread only.
#pragma once

#include "types/WinGeometry.h"

class CDC;
class CRgn;

// Draws the ticks and the line with the DC's pen, mapped to the window (ratio x p + origin, rounded).
void DrawDimensionTicks(CDC* dc, const _RPOINT& a, const _RPOINT& b, bool alongX, const CPoint& origin, float ratio);

// Makes rgn the union of the line bands (lengthened by reach) of the line and both ticks, in image pixels. rgn
// must not hold a region yet.
void CreateDimensionTicksRgn(CRgn& rgn, const _RPOINT& a, const _RPOINT& b, bool alongX, double reach);
