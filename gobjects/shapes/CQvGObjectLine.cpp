#include "gobjects/shapes/CQvGObjectLine.h"

#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/geometry/GeoDrawing.h"
#include "gobjects/geometry/GeoFunctions.h"
#include "gobjects/geometry/GeoHitRegion.h"

#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"
#include "types/Rounding.h"
#include "types/WinUser.h"

#include <algorithm>
#include <cmath>

namespace {

// The stored line-end type; a value no line end has (a damaged record) is drawn as a plain end.
ARROW_TYPE StoredArrowType(int type)
{
    return type >= ARROW_NONE && type <= ARROW_NOTCHED ? static_cast<ARROW_TYPE>(type) : ARROW_NONE;
}

}  // namespace

CQvGObjectLine::CQvGObjectLine()
{
    m_shape = SHAPE_LINE;
    m_points.assign(3, _RPOINT{0.0, 0.0});
}

void CQvGObjectLine::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

void CQvGObjectLine::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    FeedRealtimeResultBox(flag);

    const CPoint start = MapToWindow(m_points[0], *origin, *ratio);
    const CPoint end = MapToWindow(m_points[1], *origin, *ratio);
    dc->MoveTo(start);
    dc->LineTo(end);

    // LineTo leaves the end pixel out. A thin visible pen gets it painted; while rubber-banding it is painted
    // with the same raster operation as the line, so that drawing twice still erases without leaving a dot.
    LOGPEN pen{};
    if (dc->GetCurrentPen())
        dc->GetCurrentPen()->GetLogPen(&pen);
    if (pen.lopnStyle != PS_NULL && pen.lopnWidth.x <= 1) {
        if (dc->GetROP2() == R2_COPYPEN) {
            dc->SetPixel(end, pen.lopnColor);
        } else {
            dc->MoveTo(end);
            dc->LineTo(end.x + 1, end.y);
        }
    }

    const double sx = ClampWindowPosition(origin->x + *ratio * m_points[0].x);
    const double sy = ClampWindowPosition(origin->y + *ratio * m_points[0].y);
    const double ex = ClampWindowPosition(origin->x + *ratio * m_points[1].x);
    const double ey = ClampWindowPosition(origin->y + *ratio * m_points[1].y);
    if (!IsAnnotation() && flag == kPaintRubberBand) {
        DrawLineEnd(dc, ARROW_BAR, sx, sy, ex, ey);
        DrawLineEnd(dc, ARROW_BAR, ex, ey, sx, sy);
        return;
    }
    if (m_property.IsShowLArrow())
        DrawLineEnd(dc, StoredArrowType(m_property.GetLArrowType()), sx, sy, ex, ey);
    if (m_property.IsShowRArrow())
        DrawLineEnd(dc, StoredArrowType(m_property.GetRArrowType()), ex, ey, sx, sy);
}

int CQvGObjectLine::GetHandle(CRect rect)
{
    int handle = -1;
    if (m_state == GS_ADDING && m_pointCount > 0) {
        handle = 1;
    } else {
        for (int i = 0; i < std::min(m_pointCount, 2); ++i) {
            if (rect.PtInRect(Rounded(m_points[i]))) {
                handle = i;
                break;
            }
        }
    }
    m_selectedHandle = handle;
    return handle;
}

void CQvGObjectLine::MoveHandle(int handle, CSize delta)
{
    if (handle < 0 || handle >= static_cast<int>(m_points.size()))
        return;
    m_points[handle].x += delta.cx;
    m_points[handle].y += delta.cy;
}

void CQvGObjectLine::MoveTo(CSize delta)
{
    // Derived lines restrict their handles, never a whole move.
    MoveWhole(delta, 2);
}

int CQvGObjectLine::AddPoint(CPoint point)
{
    return AddPointUpTo(point, 2);
}

void CQvGObjectLine::Finish()
{
    m_state = GS_FINISHED;
    m_pointCount = 2;
    GetMBR();
    AddLabelBetweenFirstPoints();
    HideRealtimeResultBox();
}

int CQvGObjectLine::GetHitTestRgn(CRgn& rgn)
{
    const double reach = GetZoomTolerance();
    const CPoint imageOrigin(0, 0);
    if (!m_property.IsShowLArrow() && !m_property.IsShowRArrow()) {
        CreateLineHitRgn(rgn, m_points[0], m_points[1], reach, imageOrigin, 1.0);
        return 1;
    }

    _RPOINT ends[2] = {m_points[0], m_points[1]};
    MakeHitPolygon(ends, 3.0);
    const double direction = GetLineAngle360(ends[0].x, ends[0].y, ends[1].x, ends[1].y);
    CreateLineHitRgn(rgn, ends[0], ends[1], reach, imageOrigin, 1.0);
    for (const _RPOINT& end : ends) {
        _RPOINT bar[2] = {{end.x, end.y - kEndBarHalf}, {end.x, end.y + kEndBarHalf}};
        RotatePoints(direction, end.x, end.y, bar, 2);
        CRgn barBand;
        CreateLineHitRgn(barBand, bar[0], bar[1], reach, imageOrigin, 1.0);
        rgn.CombineRgn(&rgn, &barBand, RGN_OR);
    }
    return 1;
}

CRect CQvGObjectLine::GetHitBounds()
{
    // Shapes derived from the line build regions of their own.
    if (m_points.size() < 2 || (m_shape != SHAPE_LINE && m_shape != SHAPE_ANNO_LINE))
        return CRect();
    // The region's bars stand at the ends pushed out by 3; every band reaches the tolerance beyond its ends and
    // 3 pixels to each side; one more for rounding.
    CRect box = GetMBR();
    box.InflateRect(GetZoomTolerance() + 3 + 3 + 1);
    return box;
}

CRect CQvGObjectLine::GetMBR()
{
    CRect box(Rounded(m_points[0]), Rounded(m_points[1]));
    box.NormalizeRect();
    box.InflateRect(kEndBarHalf);
    return box;
}

UINT CQvGObjectLine::GetCursorShape(CRect rect)
{
    for (int i = 0; i < std::min(m_pointCount, 2); ++i) {
        if (rect.PtInRect(Rounded(m_points[i])))
            return IDC_SIZEALL;
    }
    return kNoCursor;
}

void CQvGObjectLine::SetCalType()
{
    m_calType = kLineQuantities;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectLine::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    const _RPOINT& s = m_points[0];
    const _RPOINT& e = m_points[1];
    switch (data.kind) {
    case CAL_LENGTH: {
        const double u = GetUnitsPerPixel();
        data.value1 = std::sqrt(std::pow(u * (s.x - e.x), 2) + std::pow(u * (s.y - e.y), 2));
        return 1;
    }
    case CAL_X_ANGLE: data.value1 = GetLineAngle360(s.x, s.y, e.x, e.y); return 1;
    case CAL_Y_ANGLE: data.value1 = GetLineAngle360(s.x, s.y, e.x, e.y) - 90.0; return 1;
    case CAL_POSITION_START:
        data.value1 = s.x;
        data.value2 = s.y;
        return 1;
    case CAL_POSITION_CENTER:
        data.value1 = (s.x + e.x) * 0.5;
        data.value2 = (s.y + e.y) * 0.5;
        return 1;
    case CAL_POSITION_END:
        data.value1 = e.x;
        data.value2 = e.y;
        return 1;
    default: return 0;
    }
}
