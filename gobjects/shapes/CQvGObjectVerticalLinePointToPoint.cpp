#include "gobjects/shapes/CQvGObjectVerticalLinePointToPoint.h"

#include "gobjects/private/DimensionTicks.h"
#include "gobjects/Edition.h"
#include "gobjects/FiguronCursors.h"

#include "gdi/GdiDefs.h"
#include "types/Rounding.h"

#include <cmath>

namespace {

constexpr int32_t kPositions = CAL_POSITION_START | CAL_POSITION_CENTER | CAL_POSITION_END;

}  // namespace

CQvGObjectVerticalLinePointToPoint::CQvGObjectVerticalLinePointToPoint()
{
    m_shape = SHAPE_VLINE_POINT_TO_POINT;
}

void CQvGObjectVerticalLinePointToPoint::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

void CQvGObjectVerticalLinePointToPoint::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    FeedRealtimeResultBox(flag);
    DrawDimensionTicks(dc, m_points[0], m_points[1], false, *origin, *ratio);
}

int CQvGObjectVerticalLinePointToPoint::GetHitTestRgn(CRgn& rgn)
{
    CreateDimensionTicksRgn(rgn, m_points[0], m_points[1], false, GetZoomTolerance());
    return 1;
}

CRect CQvGObjectVerticalLinePointToPoint::GetMBR()
{
    CRect box(TruncHalfUp(m_points[0].x), TruncHalfUp(m_points[0].y), TruncHalfUp(m_points[1].x),
              TruncHalfUp(m_points[1].y));
    box.NormalizeRect();
    box.InflateRect(4);
    return box;
}

UINT CQvGObjectVerticalLinePointToPoint::GetCursorShape(CRect rect)
{
    return CQvGObjectLine::GetCursorShape(rect) == kNoCursor ? kNoCursor : IDC_SIZENS;
}

void CQvGObjectVerticalLinePointToPoint::SetCalType()
{
    m_calType = (g_OEMProduct == kEditionHeightWidth ? CAL_HEIGHT : CAL_LENGTH) | kPositions;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectVerticalLinePointToPoint::GetCalData(tagCAL_DATA& data, int subItem)
{
    if (data.kind == CAL_LENGTH || (data.kind == CAL_HEIGHT && g_OEMProduct == kEditionHeightWidth)) {
        data.value1 = GetUnitsPerPixel() * std::abs(m_points[0].y - m_points[1].y);
        return 1;
    }
    return (data.kind & kPositions) ? CQvGObjectLine::GetCalData(data, subItem) : 0;
}
