// Segments of the line family drawn the way a measurement line is: with the selected pen, end pixel included
// (LineTo leaves it out), so that a rubber band drawn twice in an inverting raster operation still erases without
// a dot left behind. Window pixels. Whichever single thread owns the DC.
#pragma once

#include "types/WinGeometry.h"

class CDC;

// The segment a-b and its end pixel b. A wide or invisible pen gets no extra pixel (its stroke already covers it).
void DrawSegmentWithEndPixel(CDC* dc, CPoint a, CPoint b);
