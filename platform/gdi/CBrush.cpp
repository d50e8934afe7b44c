#include "gdi/CBrush.h"

namespace {
bool IsHatch(int hatch) { return hatch >= HS_HORIZONTAL && hatch <= HS_DIAGCROSS; }
}  // namespace

BOOL CBrush::CreateSolidBrush(COLORREF colour)
{
    m_brush = LOGBRUSH{BS_SOLID, colour, 0};
    return MarkCreated(true);
}

BOOL CBrush::CreateHatchBrush(int hatch, COLORREF colour)
{
    if (!IsHatch(hatch))
        return 0;
    m_brush = LOGBRUSH{BS_HATCHED, colour, hatch};
    return MarkCreated(true);
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* brush)
{
    if (brush == nullptr)
        return 0;
    switch (brush->lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(brush->lbColor);
    case BS_NULL:
        m_brush = LOGBRUSH{BS_NULL, brush->lbColor, brush->lbHatch};
        return MarkCreated(true);
    case BS_HATCHED:
        return CreateHatchBrush(brush->lbHatch, brush->lbColor);
    default:
        return 0;
    }
}

int CBrush::GetLogBrush(LOGBRUSH* brush) const
{
    if (brush == nullptr || GetSafeHandle() == nullptr)
        return 0;
    *brush = m_brush;
    return static_cast<int>(sizeof(LOGBRUSH));
}
