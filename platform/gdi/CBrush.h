// A brush: solid, hollow (fills nothing) or hatched with one of the six 8-pixel hatches.
#pragma once

#include "gdi/CGdiObject.h"

class VISTREL_EXPORT CBrush : public CGdiObject
{
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    CBrush(int hatch, COLORREF colour) { CreateHatchBrush(hatch, colour); }

    Kind GetKind() const override { return Kind::Brush; }

    BOOL CreateSolidBrush(COLORREF colour);
    // 0 for a hatch outside HS_HORIZONTAL..HS_DIAGCROSS.
    BOOL CreateHatchBrush(int hatch, COLORREF colour);
    // 0 for an unknown style (or an unknown hatch of a hatched brush).
    BOOL CreateBrushIndirect(const LOGBRUSH* brush);
    // Copies the description; returns its size in bytes, 0 for an empty brush.
    int GetLogBrush(LOGBRUSH* brush) const;

    const LOGBRUSH& Description() const { return m_brush; }

private:
    void Clear() override { m_brush = LOGBRUSH{}; }

    LOGBRUSH m_brush{};
};
