#include "gobjects/private/SegmentDrawing.h"

#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"

void DrawSegmentWithEndPixel(CDC* dc, CPoint a, CPoint b)
{
    dc->MoveTo(a);
    dc->LineTo(b);
    LOGPEN pen{};
    if (CPen* current = dc->GetCurrentPen())
        current->GetLogPen(&pen);
    if (pen.lopnStyle == PS_NULL || pen.lopnWidth.x > 1)
        return;
    // SetPixel ignores the raster operation: while rubber-banding the pixel is stroked like the segment instead.
    if (dc->GetROP2() == R2_COPYPEN) {
        dc->SetPixel(b, pen.lopnColor);
    } else {
        dc->MoveTo(b);
        dc->LineTo(b.x + 1, b.y);
    }
}
