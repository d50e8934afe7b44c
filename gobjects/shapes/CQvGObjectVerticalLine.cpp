#include "gobjects/shapes/CQvGObjectVerticalLine.h"

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/Edition.h"
#include "gobjects/FiguronCursors.h"
#include "gobjects/geometry/GeoHitRegion.h"
#include "gobjects/private/SegmentDrawing.h"

#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"
#include "types/Rounding.h"

#include <cmath>

namespace {

constexpr int32_t kPositions = CAL_POSITION_START | CAL_POSITION_CENTER | CAL_POSITION_END;

_RPOINT Whole(const _RPOINT& p)
{
    return _RPOINT{static_cast<double>(TruncHalfUp(p.x)), static_cast<double>(TruncHalfUp(p.y))};
}

}  // namespace

CQvGObjectVerticalLine::CQvGObjectVerticalLine()
{
    m_shape = SHAPE_VLINE;
}

void CQvGObjectVerticalLine::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

void CQvGObjectVerticalLine::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    FeedRealtimeResultBox(flag);

    // Whatever size a caller gave the canvas, the last pixel is counted in doubles.
    const double height = m_container ? m_container->GetCanvasSize().cy : 0;
    const int top = MapToWindow(0.0, origin->y, *ratio);
    const int bottom = MapToWindow(height - 1, origin->y, *ratio);
    for (int i = 0; i < 2; ++i) {
        const int x = MapToWindow(m_points[i].x, origin->x, *ratio);
        dc->MoveTo(x, top);
        dc->LineTo(x, bottom);
    }
    DrawSegmentWithEndPixel(dc, MapToWindow(m_points[0], *origin, *ratio), MapToWindow(m_points[1], *origin, *ratio));
}

void CQvGObjectVerticalLine::MoveHandle(int handle, CSize delta)
{
    CQvGObjectLine::MoveHandle(handle, CSize(delta.cx, 0));
}

int CQvGObjectVerticalLine::GetHitTestRgn(CRgn& rgn)
{
    const double reach = GetZoomTolerance();
    const double height = m_container ? m_container->GetCanvasSize().cy : 0;
    const _RPOINT a = Whole(m_points[0]);
    const _RPOINT b = Whole(m_points[1]);
    const CPoint imageOrigin(0, 0);
    CreateLineHitRgn(rgn, a, b, reach, imageOrigin, 1.0);
    for (double x : {a.x, b.x}) {
        CRgn guide;
        CreateLineHitRgn(guide, _RPOINT{x, 0.0}, _RPOINT{x, height}, reach, imageOrigin, 1.0);
        rgn.CombineRgn(&rgn, &guide, RGN_OR);
    }
    return 1;
}

CRect CQvGObjectVerticalLine::GetMBR()
{
    const double height = m_container ? m_container->GetCanvasSize().cy : 0;
    CRect box(TruncHalfUp(m_points[0].x), 0, TruncHalfUp(m_points[1].x), RoundHalfAway(height));
    box.NormalizeRect();
    // Saturated, for a canvas or a point at the end of int.
    return CRect(RoundHalfAway(box.left - 4.0), RoundHalfAway(box.top - 4.0), RoundHalfAway(box.right + 4.0),
                 RoundHalfAway(box.bottom + 4.0));
}

UINT CQvGObjectVerticalLine::GetCursorShape(CRect rect)
{
    return CQvGObjectLine::GetCursorShape(rect) == kNoCursor ? kNoCursor : IDC_SIZEWE;
}

void CQvGObjectVerticalLine::SetCalType()
{
    m_calType = (g_OEMProduct == kEditionHeightWidth ? CAL_WIDTH : CAL_LENGTH) | kPositions;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectVerticalLine::GetCalData(tagCAL_DATA& data, int subItem)
{
    if (data.kind == CAL_LENGTH || (data.kind == CAL_WIDTH && g_OEMProduct == kEditionHeightWidth)) {
        data.value1 = GetUnitsPerPixel() * std::abs(m_points[0].x - m_points[1].x);
        return 1;
    }
    return (data.kind & kPositions) ? CQvGObjectLine::GetCalData(data, subItem) : 0;
}
