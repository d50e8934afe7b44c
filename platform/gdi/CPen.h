// A pen: style PS_SOLID..PS_NULL, width in pixels (0 and 1 both draw 1-pixel lines; dashes only at that width)
// and colour.
#pragma once

#include "gdi/CGdiObject.h"
#include "types/WinRecords.h"

class VISTREL_EXPORT CPen : public CGdiObject
{
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }

    Kind GetKind() const override { return Kind::Pen; }

    // 0 for a style outside PS_SOLID..PS_NULL or a negative width.
    BOOL CreatePen(int style, int width, COLORREF colour);
    BOOL CreatePenIndirect(const LOGPEN* pen);
    // Copies the description; returns its size in bytes, 0 for an empty pen.
    int GetLogPen(LOGPEN* pen) const;

    const LOGPEN& Description() const { return m_pen; }

private:
    void Clear() override { m_pen = LOGPEN{}; }

    LOGPEN m_pen{};
};
