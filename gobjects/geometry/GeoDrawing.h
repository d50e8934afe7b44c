// Drawing helpers the shapes share: line ends, the arc of an angle, a rectangle outline, and the estimate of a
// text's width. Coordinates are window pixels; shapes are rounded to whole pixels as trunc(v + 0.5). The DC's
// selected objects are left as found. UI thread, or whichever single thread owns the DC.
#pragma once

#include "gobjects/ArrowType.h"

#include "types/ColorRef.h"
#include "types/VistrelExport.h"
#include "types/WinGeometry.h"
#include "types/WinRecords.h"

#include <string_view>

class CDC;
class CFont;

// One line end at the tip, pointing away from the other end: a bar 72 pixels across the line (ARROW_BAR), or a
// head 12 pixels long and 10 wide filled with the current brush and outlined with the current pen.
VISTREL_EXPORT void DrawLineEnd(CDC* dc, ARROW_TYPE type, double tipX, double tipY, double otherX, double otherY);

// The arc marking the angle between the lines p1 p2 and p3 p4 at their crossing, counter-clockwise from the
// midpoint of one segment's radial to the other's: the inner angle when inner is nonzero, else the outer one.
// radius -1 takes the distance to the nearer segment midpoint. Nothing for parallel lines.
VISTREL_EXPORT void DrawAngleArc(CDC* dc, const _RPOINT& p1, const _RPOINT& p2, const _RPOINT& p3, const _RPOINT& p4,
                                 int inner, int radius);

// The four edges through the corners (left, top) and (right, bottom) with a solid pen of the colour and width.
VISTREL_EXPORT void DrawRectangleOutline(CDC* dc, int left, int top, int right, int bottom, COLORREF colour,
                                         int width);

// A generous width for a text in the font: its length x the font's average character width x 1.5, truncated.
// The length counts characters as a double-byte code page does (one for ASCII, two for any other character), so
// Hangul labels get the room they need. Measured at screen resolution; safe on any thread.
VISTREL_EXPORT int EstimateTextWidth(CFont* font, std::string_view text);
VISTREL_EXPORT int EstimateTextWidth(const LOGFONTA* font, std::string_view text);
