#include "PixelCross.h"

#include "gdi/CDC.h"
#include "gdi/CPen.h"
#include "gdi/GdiDefs.h"

void DrawPixelCross(CDC* dc, CPoint centre, float ratio)
{
    LOGPEN pen{};
    if (CPen* current = dc->GetCurrentPen())
        current->GetLogPen(&pen);
    const int arm = static_cast<int>(5.0 * static_cast<double>(ratio) + 0.5);
    if (arm < 1)
        return;
    if (dc->GetROP2() == R2_COPYPEN) {
        for (int i = 0; i < arm; ++i) {
            dc->SetPixel(centre.x + i, centre.y, pen.lopnColor);
            dc->SetPixel(centre.x - i, centre.y, pen.lopnColor);
            dc->SetPixel(centre.x, centre.y + i, pen.lopnColor);
            dc->SetPixel(centre.x, centre.y - i, pen.lopnColor);
        }
        return;
    }
    // Pixels ignore the mix mode: a cross that follows the mouse in an inverting mode would stay behind at every
    // place it was drawn. Lines of one pixel obey the mode and touch every pixel once, so drawing again erases.
    CPen thin(PS_SOLID, 1, pen.lopnColor);
    CPen* previous = dc->SelectObject(&thin);
    dc->MoveTo(centre.x - (arm - 1), centre.y);
    dc->LineTo(centre.x + arm, centre.y);
    dc->MoveTo(centre.x, centre.y - (arm - 1));
    dc->LineTo(centre.x, centre.y);
    dc->MoveTo(centre.x, centre.y + 1);
    dc->LineTo(centre.x, centre.y + arm);
    dc->SelectObject(previous);
}
