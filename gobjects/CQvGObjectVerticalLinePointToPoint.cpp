#include "CQvGObjectVerticalLinePointToPoint.h"

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

// The ticks' common span: the smaller and the larger of the rounded columns, and the column half-way.
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

    const TickSpan columns = SpanOf(m_points[0].x, m_points[1].x);
    const int left = MapToWindow(columns.low, origin->x, *ratio);
    const int right = MapToWindow(columns.high, origin->x, *ratio);
    const int y0 = MapToWindow(m_points[0].y, origin->y, *ratio);
    const int y1 = MapToWindow(m_points[1].y, origin->y, *ratio);
    for (int y : {y0, y1}) {
        dc->MoveTo(left, y);
        dc->LineTo(right, y);
    }
    const int middle = MapToWindow(columns.middle, origin->x, *ratio);
    dc->MoveTo(middle, y0);
    dc->LineTo(middle, y1);
}

int CQvGObjectVerticalLinePointToPoint::GetHitTestRgn(CRgn& rgn)
{
    const double reach = GetZoomTolerance();
    const TickSpan columns = SpanOf(m_points[0].x, m_points[1].x);
    const double y0 = TruncHalfUp(m_points[0].y);
    const double y1 = TruncHalfUp(m_points[1].y);
    const CPoint imageOrigin(0, 0);
    CreateLineHitRgn(rgn, _RPOINT{double(columns.middle), y0}, _RPOINT{double(columns.middle), y1}, reach,
                     imageOrigin, 1.0);
    for (double y : {y0, y1}) {
        CRgn tick;
        CreateLineHitRgn(tick, _RPOINT{double(columns.low), y}, _RPOINT{double(columns.high), y}, reach, imageOrigin,
                         1.0);
        rgn.CombineRgn(&rgn, &tick, RGN_OR);
    }
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
    return CQvGObjectLine::GetCursorShape(rect) == kNoCursor ? kNoCursor : IDC_SYSTEM_SIZENS;
}

void CQvGObjectVerticalLinePointToPoint::SetCalType()
{
    m_calType = (g_OEMProduct == 1 ? CAL_HEIGHT : CAL_LENGTH) | kPositions;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectVerticalLinePointToPoint::GetCalData(tagCAL_DATA& data, int subItem)
{
    if (data.kind == CAL_LENGTH || (data.kind == CAL_HEIGHT && g_OEMProduct == 1)) {
        data.value1 = GetUnitsPerPixel() * std::abs(m_points[0].y - m_points[1].y);
        return 1;
    }
    return (data.kind & kPositions) ? CQvGObjectLine::GetCalData(data, subItem) : 0;
}
