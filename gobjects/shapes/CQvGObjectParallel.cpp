#include "gobjects/shapes/CQvGObjectParallel.h"

#include "gobjects/FiguronCursors.h"
#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/geometry/GeoFunctions.h"
#include "gobjects/geometry/GeoHitRegion.h"

#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"
#include "types/Rounding.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPointCount = 4;

int MidCoordinate(double a, double b)
{
    return static_cast<int>((a + b + 1.0) * 0.5);
}

_RPOINT MidPoint(const _RPOINT& a, const _RPOINT& b)
{
    return _RPOINT{(a.x + b.x) * 0.5, (a.y + b.y) * 0.5};
}

double Direction(const _RPOINT& from, const _RPOINT& to)
{
    return GetLineAngle360(from.x, from.y, to.x, to.y);
}

// Moves `end` by delta and turns `turned` about `pivot` by the change of direction of fixed -> end.
void TurnWithEnd(const _RPOINT& fixed, _RPOINT& end, CSize delta, _RPOINT& turned, const _RPOINT& pivot)
{
    const double before = Direction(fixed, end);
    end.x += delta.cx;
    end.y += delta.cy;
    const double after = Direction(fixed, end);
    RotatePoints(after - before, pivot.x, pivot.y, &turned, 1);
}

}  // namespace

CQvGObjectParallel::CQvGObjectParallel()
{
    m_shape = SHAPE_PARALLEL;
    m_points.assign(kPointCount, _RPOINT{0.0, 0.0});
}

void CQvGObjectParallel::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

void CQvGObjectParallel::PlaceParallel()
{
    const _RPOINT middle = MidPoint(m_points[0], m_points[1]);
    const double dx = m_points[2].x - middle.x;
    const double dy = m_points[2].y - middle.y;
    m_points[2] = _RPOINT{m_points[0].x + dx, m_points[0].y + dy};
    m_points[3] = _RPOINT{m_points[1].x + dx, m_points[1].y + dy};
}

void CQvGObjectParallel::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    if (m_pointCount < 1)
        return;
    auto segment = [&](const _RPOINT& a, const _RPOINT& b) {
        dc->MoveTo(MapToWindow(a, *origin, *ratio));
        dc->LineTo(MapToWindow(b, *origin, *ratio));
    };
    segment(m_points[0], m_points[1]);

    if (m_pointCount == 3 && m_points[2] != m_points[1]) {
        const _RPOINT mouse = m_points[2];
        const _RPOINT spare = m_points[3];
        PlaceParallel();
        segment(m_points[2], m_points[3]);
        _RPOINT foot;
        GetPerpendicularPoint(m_points[0], m_points[1], mouse, foot);
        segment(mouse, foot);
        // The live value is the one the parallel would give if it were placed here.
        FeedRealtimeResultBox(flag);
        m_points[2] = mouse;
        m_points[3] = spare;
    } else if (m_state == GS_FINISHED && m_pointCount >= kPointCount) {
        segment(m_points[2], m_points[3]);
        const _RPOINT middle = MidPoint(m_points[2], m_points[3]);
        _RPOINT foot;
        GetPerpendicularPoint(m_points[0], m_points[1], middle, foot);
        segment(middle, foot);
    }
}

CPoint CQvGObjectParallel::GetHandlePoint(int handle) const
{
    const _RPOINT* p = m_points.data();
    switch (handle) {
    case 0: return Rounded(p[0]);
    case 1: return CPoint(MidCoordinate(p[0].x, p[1].x), MidCoordinate(p[0].y, p[1].y));
    case 2: return Rounded(p[1]);
    case 3: return Rounded(p[2]);
    case 4: return CPoint(MidCoordinate(p[2].x, p[3].x), MidCoordinate(p[2].y, p[3].y));
    default: return Rounded(p[3]);
    }
}

void CQvGObjectParallel::DrawSelection(CDC* dc, const CPoint* origin, const float* ratio)
{
    // The grips of the middles sit half-way between the rounded ends.
    for (int line = 0; line < 2; ++line) {
        const CPoint a = MapToWindow(m_points[2 * line], *origin, *ratio);
        const CPoint b = MapToWindow(m_points[2 * line + 1], *origin, *ratio);
        DrawGrip(dc, a);
        DrawGrip(dc, CPoint(HalfSum(a.x, b.x), HalfSum(a.y, b.y)));
        DrawGrip(dc, b);
    }
}

int CQvGObjectParallel::GetHandle(CRect rect)
{
    int found = -1;
    if (m_state == GS_ADDING) {
        constexpr int kPlacedHandle[] = {-1, 0, 2, 4};
        found = kPlacedHandle[std::clamp(m_pointCount, 0, 3)];
    } else if (m_pointCount >= kPointCount) {
        for (int handle = 0; handle < kHandleCount; ++handle) {
            if (rect.PtInRect(GetHandlePoint(handle)))
                found = handle;
        }
    }
    m_selectedHandle = found;
    return found;
}

void CQvGObjectParallel::MoveHandle(int handle, CSize delta)
{
    _RPOINT* p = m_points.data();
    auto shift = [&](int i) {
        p[i].x += delta.cx;
        p[i].y += delta.cy;
    };
    switch (handle) {
    case 0: TurnWithEnd(p[1], p[0], delta, p[2], p[3]); break;
    case 1: shift(0); shift(1); break;
    case 2: TurnWithEnd(p[0], p[1], delta, p[3], p[2]); break;
    case 3: TurnWithEnd(p[3], p[2], delta, p[0], p[1]); break;
    case 4: shift(2); shift(3); break;
    case 5: TurnWithEnd(p[2], p[3], delta, p[1], p[0]); break;
    default: break;
    }
}

void CQvGObjectParallel::MoveTo(CSize delta)
{
    MoveWhole(delta, kPointCount);
}

int CQvGObjectParallel::AddPoint(CPoint point)
{
    return AddPointUpTo(point, 3);
}

void CQvGObjectParallel::Finish()
{
    m_state = GS_FINISHED;
    m_pointCount = kPointCount;
    PlaceParallel();
    GetMBR();
    AddLabelBetweenFirstPoints();
    HideRealtimeResultBox();
}

int CQvGObjectParallel::GetHitTestRgn(CRgn& rgn)
{
    const double reach = GetZoomTolerance();
    const CPoint imageOrigin(0, 0);
    CreateLineHitRgn(rgn, m_points[0], m_points[1], reach, imageOrigin, 1.0);
    CRgn parallel;
    CreateLineHitRgn(parallel, m_points[2], m_points[3], reach, imageOrigin, 1.0);
    rgn.CombineRgn(&rgn, &parallel, RGN_OR);
    for (int handle = 0; handle < kHandleCount; ++handle) {
        const CPoint p = GetHandlePoint(handle);
        CRgn grip;
        grip.CreateRectRgn(p.x - 4, p.y - 4, p.x + 4, p.y + 4);
        rgn.CombineRgn(&rgn, &grip, RGN_OR);
    }
    return 1;
}

CRect CQvGObjectParallel::GetMBR()
{
    // Once placed, both lines: the parallel may lie far from the base line, and an invalidation by this box must
    // cover it.
    return PointsBox(m_pointCount >= kPointCount ? kPointCount : 2);
}

UINT CQvGObjectParallel::GetCursorShape(CRect rect)
{
    // The point each handle stands on; the middles (-1) stand on none.
    constexpr int kHandlePoint[kHandleCount] = {0, -1, 1, 2, -1, 3};
    for (int handle = 0; handle < kHandleCount; ++handle) {
        if (kHandlePoint[handle] < m_pointCount && rect.PtInRect(GetHandlePoint(handle)))
            return IDC_SIZEALL;
    }
    return kNoCursor;
}

void CQvGObjectParallel::SetCalType()
{
    m_calType = CAL_LENGTH | CAL_X_ANGLE | CAL_Y_ANGLE;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectParallel::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    const _RPOINT* p = m_points.data();
    switch (data.kind) {
    case CAL_LENGTH: {
        const double s = GetUnitsPerPixel();
        const _RPOINT middle = MidPoint(p[2], p[3]);
        _RPOINT foot;
        GetPerpendicularPoint(p[0], p[1], middle, foot);
        data.value1 = std::sqrt(std::pow(s * (middle.x - foot.x), 2) + std::pow(s * (middle.y - foot.y), 2));
        return 1;
    }
    case CAL_X_ANGLE: data.value1 = Direction(p[0], p[1]); return 1;
    case CAL_Y_ANGLE: data.value1 = Direction(p[0], p[1]) - 90.0; return 1;
    default: return 0;
    }
}
