#include "gdi/CPen.h"

BOOL CPen::CreatePen(int style, int width, COLORREF colour)
{
    if (style < PS_SOLID || style > PS_NULL || width < 0)
        return 0;
    m_pen = LOGPEN{static_cast<uint32_t>(style), POINT{width, 0}, colour};
    return MarkCreated(true);
}

BOOL CPen::CreatePenIndirect(const LOGPEN* pen)
{
    if (pen == nullptr)
        return 0;
    return CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor);
}

int CPen::GetLogPen(LOGPEN* pen) const
{
    if (pen == nullptr || GetSafeHandle() == nullptr)
        return 0;
    *pen = m_pen;
    return static_cast<int>(sizeof(LOGPEN));
}
