#include "gobjects/shapes/CQvGObjectHorizontalLinePointToPoint.h"

#include "gobjects/private/DimensionTicks.h"
#include "gobjects/Edition.h"
#include "gobjects/FiguronCursors.h"

#include "gdi/GdiDefs.h"
#include "types/Rounding.h"

#include <cmath>

namespace {

constexpr int32_t kPositions = CAL_POSITION_START | CAL_POSITION_CENTER | CAL_POSITION_END;

}  // namespace

CQvGObjectHorizontalLinePointToPoint::CQvGObjectHorizontalLinePointToPoint()
{
    m_shape = SHAPE_HLINE_POINT_TO_POINT;
}

void CQvGObjectHorizontalLinePointToPoint::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

void CQvGObjectHorizontalLinePointToPoint::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    FeedRealtimeResultBox(flag);
    DrawDimensionTicks(dc, m_points[0], m_points[1], true, *origin, *ratio);
}

int CQvGObjectHorizontalLinePointToPoint::GetHitTestRgn(CRgn& rgn)
{
    CreateDimensionTicksRgn(rgn, m_points[0], m_points[1], true, GetZoomTolerance());
    return 1;
}

CRect CQvGObjectHorizontalLinePointToPoint::GetMBR()
{
    CRect box(TruncHalfUp(m_points[0].x), TruncHalfUp(m_points[0].y), TruncHalfUp(m_points[1].x),
              TruncHalfUp(m_points[1].y));
    box.NormalizeRect();
    box.InflateRect(4);
    return box;
}

UINT CQvGObjectHorizontalLinePointToPoint::GetCursorShape(CRect rect)
{
    return CQvGObjectLine::GetCursorShape(rect) == kNoCursor ? kNoCursor : IDC_SIZEWE;
}

void CQvGObjectHorizontalLinePointToPoint::SetCalType()
{
    m_calType = (g_OEMProduct == kEditionHeightWidth ? CAL_WIDTH : CAL_LENGTH) | kPositions;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectHorizontalLinePointToPoint::GetCalData(tagCAL_DATA& data, int subItem)
{
    if (data.kind == CAL_LENGTH || (data.kind == CAL_WIDTH && g_OEMProduct == kEditionHeightWidth)) {
        data.value1 = GetUnitsPerPixel() * std::abs(m_points[0].x - m_points[1].x);
        return 1;
    }
    return (data.kind & kPositions) ? CQvGObjectLine::GetCalData(data, subItem) : 0;
}
