#include "CQvGObjectHorizontalLinePointToPoint.h"

#include "Edition.h"
#include "FiguronCursors.h"
#include "GeoHitRegion.h"

#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"
#include "types/Rounding.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kPositions = CAL_POSITION_START | CAL_POSITION_CENTER | CAL_POSITION_END;

// The ticks' common span: the smaller and the larger of the rounded rows, and the row half-way.
struct TickSpan
{
    int low;
    int high;
    int middle;
};

TickSpan SpanOf(double a, double b)
{
    const int low = std::min(TruncHalfUp(a), TruncHalfUp(b));
    const int high = std::max(TruncHalfUp(a), TruncHalfUp(b));
    return TickSpan{low, high, (low + high) / 2};
}

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

    const TickSpan rows = SpanOf(m_points[0].y, m_points[1].y);
    const int top = MapToWindow(rows.low, origin->y, *ratio);
    const int bottom = MapToWindow(rows.high, origin->y, *ratio);
    const int x0 = MapToWindow(m_points[0].x, origin->x, *ratio);
    const int x1 = MapToWindow(m_points[1].x, origin->x, *ratio);
    for (int x : {x0, x1}) {
        dc->MoveTo(x, top);
        dc->LineTo(x, bottom);
    }
    const int middle = MapToWindow(rows.middle, origin->y, *ratio);
    dc->MoveTo(x0, middle);
    dc->LineTo(x1, middle);
}

int CQvGObjectHorizontalLinePointToPoint::GetHitTestRgn(CRgn& rgn)
{
    const double reach = GetZoomTolerance();
    const TickSpan rows = SpanOf(m_points[0].y, m_points[1].y);
    const double x0 = TruncHalfUp(m_points[0].x);
    const double x1 = TruncHalfUp(m_points[1].x);
    const CPoint imageOrigin(0, 0);
    CreateLineHitRgn(rgn, _RPOINT{x0, double(rows.middle)}, _RPOINT{x1, double(rows.middle)}, reach, imageOrigin, 1.0);
    for (double x : {x0, x1}) {
        CRgn tick;
        CreateLineHitRgn(tick, _RPOINT{x, double(rows.low)}, _RPOINT{x, double(rows.high)}, reach, imageOrigin, 1.0);
        rgn.CombineRgn(&rgn, &tick, RGN_OR);
    }
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
    return CQvGObjectLine::GetCursorShape(rect) == kNoCursor ? kNoCursor : IDC_SYSTEM_SIZEWE;
}

void CQvGObjectHorizontalLinePointToPoint::SetCalType()
{
    m_calType = (g_OEMProduct == 1 ? CAL_WIDTH : CAL_LENGTH) | kPositions;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectHorizontalLinePointToPoint::GetCalData(tagCAL_DATA& data, int subItem)
{
    if (data.kind == CAL_LENGTH || (data.kind == CAL_WIDTH && g_OEMProduct == 1)) {
        data.value1 = GetUnitsPerPixel() * std::abs(m_points[0].x - m_points[1].x);
        return 1;
    }
    return (data.kind & kPositions) ? CQvGObjectLine::GetCalData(data, subItem) : 0;
}
