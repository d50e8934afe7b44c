#include "gobjects/shapes/CQvGObjectHorizontalLine.h"

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

CQvGObjectHorizontalLine::CQvGObjectHorizontalLine()
{
    m_shape = SHAPE_HLINE;
}

void CQvGObjectHorizontalLine::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

void CQvGObjectHorizontalLine::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    FeedRealtimeResultBox(flag);

    // Whatever size a caller gave the canvas, the last pixel is counted in doubles.
    const double width = m_container ? m_container->GetCanvasSize().cx : 0;
    const int left = MapToWindow(0.0, origin->x, *ratio);
    const int right = MapToWindow(width - 1, origin->x, *ratio);
    for (int i = 0; i < 2; ++i) {
        const int y = MapToWindow(m_points[i].y, origin->y, *ratio);
        dc->MoveTo(left, y);
        dc->LineTo(right, y);
    }
    DrawSegmentWithEndPixel(dc, MapToWindow(m_points[0], *origin, *ratio), MapToWindow(m_points[1], *origin, *ratio));
}

void CQvGObjectHorizontalLine::MoveHandle(int handle, CSize delta)
{
    CQvGObjectLine::MoveHandle(handle, CSize(0, delta.cy));
}

int CQvGObjectHorizontalLine::GetHitTestRgn(CRgn& rgn)
{
    const double reach = GetZoomTolerance();
    const double width = m_container ? m_container->GetCanvasSize().cx : 0;
    const _RPOINT a = Whole(m_points[0]);
    const _RPOINT b = Whole(m_points[1]);
    const CPoint imageOrigin(0, 0);
    CreateLineHitRgn(rgn, a, b, reach, imageOrigin, 1.0);
    for (double y : {a.y, b.y}) {
        CRgn guide;
        CreateLineHitRgn(guide, _RPOINT{0.0, y}, _RPOINT{width, y}, reach, imageOrigin, 1.0);
        rgn.CombineRgn(&rgn, &guide, RGN_OR);
    }
    return 1;
}

CRect CQvGObjectHorizontalLine::GetMBR()
{
    const double width = m_container ? m_container->GetCanvasSize().cx : 0;
    CRect box(0, TruncHalfUp(m_points[0].y), RoundHalfAway(width), TruncHalfUp(m_points[1].y));
    box.NormalizeRect();
    // Saturated, for a canvas or a point at the end of int.
    return CRect(RoundHalfAway(box.left - 4.0), RoundHalfAway(box.top - 4.0), RoundHalfAway(box.right + 4.0),
                 RoundHalfAway(box.bottom + 4.0));
}

UINT CQvGObjectHorizontalLine::GetCursorShape(CRect rect)
{
    return CQvGObjectLine::GetCursorShape(rect) == kNoCursor ? kNoCursor : IDC_SIZENS;
}

void CQvGObjectHorizontalLine::SetCalType()
{
    m_calType = (g_OEMProduct == kEditionHeightWidth ? CAL_HEIGHT : CAL_LENGTH) | kPositions;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectHorizontalLine::GetCalData(tagCAL_DATA& data, int subItem)
{
    if (data.kind == CAL_LENGTH || (data.kind == CAL_HEIGHT && g_OEMProduct == kEditionHeightWidth)) {
        data.value1 = GetUnitsPerPixel() * std::abs(m_points[0].y - m_points[1].y);
        return 1;
    }
    return (data.kind & kPositions) ? CQvGObjectLine::GetCalData(data, subItem) : 0;
}
