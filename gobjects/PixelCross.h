// The plus sign of single pixels that marks clicked points and feet: arms of trunc(5 x ratio + 0.5) pixels
// (offsets 0 to arm - 1) in the colour of the DC's current pen, set pixel by pixel, or in an inverting mix mode
// drawn as one-pixel lines that the mode applies to. Window pixels; nothing when the arm is below 1. Only what
// lies on the DC's surface is touched, so an arm a huge zoom makes long costs no more than the surface.
// Whichever single thread owns the DC.
#pragma once

#include "types/ColorRef.h"
#include "types/WinGeometry.h"

class CDC;

void DrawPixelCross(CDC* dc, CPoint centre, float ratio);

// Sets the pixels (centre.x +- k, centre.y) and (centre.x, centre.y +- k), 0 <= k < arm, that lie on the DC's
// surface, to the colour (SetPixel: the mix mode does not apply).
void SetPlusPixels(CDC* dc, CPoint centre, int arm, COLORREF colour);
