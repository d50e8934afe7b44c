#include "PixelCross.h"

#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"

void DrawPixelCross(CDC* dc, CPoint centre, float ratio)
{
    LOGPEN pen{};
    if (CPen* current = dc->GetCurrentPen())
        current->GetLogPen(&pen);
    const int arm = static_cast<int>(5.0 * static_cast<double>(ratio) + 0.5);
    for (int i = 0; i < arm; ++i) {
        dc->SetPixel(centre.x + i, centre.y, pen.lopnColor);
        dc->SetPixel(centre.x - i, centre.y, pen.lopnColor);
        dc->SetPixel(centre.x, centre.y + i, pen.lopnColor);
        dc->SetPixel(centre.x, centre.y - i, pen.lopnColor);
    }
}
