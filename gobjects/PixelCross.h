// The plus sign of single pixels that marks clicked points and feet: arms of trunc(5 x ratio + 0.5) pixels
// (offsets 0 to arm - 1) in the colour of the DC's current pen, set pixel by pixel, or in an inverting mix mode
// drawn as one-pixel lines that the mode applies to. Window pixels; nothing when the arm is below 1.
// Whichever single thread owns the DC.
#pragma once

#include "types/WinGeometry.h"

class CDC;

void DrawPixelCross(CDC* dc, CPoint centre, float ratio);
