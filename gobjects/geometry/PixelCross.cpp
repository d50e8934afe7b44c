#include "gobjects/private/PixelCross.h"

#include "gdi/CDC.h"
#include "gdi/CPen.h"
#include "types/Rounding.h"

#include <QImage>

#include <algorithm>
#include <cstdint>

namespace {

// The pixels [centre - (arm - 1), centre + arm) of one axis that a surface `size` long can show, as the two ends
// of a one-pixel line (the end left out): each end at most one pixel beyond the surface.
struct ArmSpan
{
    int first;
    int end;
};

ArmSpan ClippedArm(int centre, int arm, int size)
{
    const int64_t first = std::max<int64_t>(int64_t(centre) - (arm - 1), -1);
    const int64_t end = std::min<int64_t>(int64_t(centre) + arm, size);
    return ArmSpan{static_cast<int>(first), static_cast<int>(std::max(first, end))};
}

}  // namespace

void SetPlusPixels(CDC* dc, CPoint centre, int arm, COLORREF colour)
{
    if (arm < 1)
        return;
    const QImage& surface = dc->GetImage();
    if (centre.y >= 0 && centre.y < surface.height()) {
        const ArmSpan span = ClippedArm(centre.x, arm, surface.width());
        for (int x = std::max(span.first, 0); x < span.end; ++x)
            dc->SetPixel(x, centre.y, colour);
    }
    if (centre.x >= 0 && centre.x < surface.width()) {
        const ArmSpan span = ClippedArm(centre.y, arm, surface.height());
        for (int y = std::max(span.first, 0); y < span.end; ++y)
            dc->SetPixel(centre.x, y, colour);
    }
}

void DrawPixelCross(CDC* dc, CPoint centre, float ratio)
{
    LOGPEN pen{};
    if (CPen* current = dc->GetCurrentPen())
        current->GetLogPen(&pen);
    const int arm = TruncHalfUp(5.0 * static_cast<double>(ratio));
    if (arm < 1)
        return;
    if (dc->GetROP2() == R2_COPYPEN) {
        SetPlusPixels(dc, centre, arm, pen.lopnColor);
        return;
    }
    // Pixels ignore the mix mode: a cross that follows the mouse in an inverting mode would stay behind at every
    // place it was drawn. Lines of one pixel obey the mode and touch every pixel once, so drawing again erases.
    const QImage& surface = dc->GetImage();
    const ArmSpan across = ClippedArm(centre.x, arm, surface.width());
    const ArmSpan down = ClippedArm(centre.y, arm, surface.height());
    CPen thin(PS_SOLID, 1, pen.lopnColor);
    CPen* previous = dc->SelectObject(&thin);
    dc->MoveTo(across.first, centre.y);
    dc->LineTo(across.end, centre.y);
    // The vertical arm leaves out the centre, which the horizontal one painted.
    if (down.first < centre.y) {
        dc->MoveTo(centre.x, down.first);
        dc->LineTo(centre.x, std::min(centre.y, down.end));
    }
    if (down.end > centre.y + 1) {
        dc->MoveTo(centre.x, std::max(centre.y + 1, down.first));
        dc->LineTo(centre.x, down.end);
    }
    dc->SelectObject(previous);
}
