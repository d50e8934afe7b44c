#include "gobjects/shapes/CQvGObjectCurvature.h"

#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/geometry/GeoFunctions.h"
#include "gobjects/geometry/GeoHitRegion.h"

#include "gdi/CDC.h"
#include "gdi/CRgn.h"
#include "gdi/GdiDefs.h"
#include "types/Rounding.h"
#include "types/WinUser.h"

#include <algorithm>
#include <cmath>

CQvGObjectCurvature::CQvGObjectCurvature()
{
    m_shape = SHAPE_CURVATURE;
    m_points.assign(kPointCount, _RPOINT{0.0, 0.0});
}

void CQvGObjectCurvature::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

void CQvGObjectCurvature::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    FeedRealtimeResultBox(flag);
    if (m_pointCount < 1)
        return;
    dc->MoveTo(MapToWindow(m_points[0], *origin, *ratio));
    dc->LineTo(MapToWindow(m_points[1], *origin, *ratio));
    if (m_pointCount < kPointCount)
        return;
    _RPOINT foot{};
    GetPerpendicularPoint(m_points[0], m_points[1], m_points[2], foot);
    dc->MoveTo(MapToWindow(m_points[2], *origin, *ratio));
    dc->LineTo(MapToWindow(foot, *origin, *ratio));
}

void CQvGObjectCurvature::DrawSelection(CDC* dc, const CPoint* origin, const float* ratio)
{
    // The array read from a record has a spare slot (and a long record more points): only the three get grips.
    for (int i = 0; i < kPointCount; ++i) {
        const CPoint at = MapToWindow(m_points[i], *origin, *ratio);
        dc->PatBlt(at.x - 4, at.y - 4, 8, 8, DSTINVERT);
    }
}

int CQvGObjectCurvature::GetHandle(CRect rect)
{
    int handle = -1;
    if (m_state == GS_ADDING && m_pointCount > 0) {
        handle = std::min(m_pointCount, kPointCount) - 1;
    } else {
        for (int i = std::min(m_pointCount, kPointCount) - 1; i >= 0; --i) {
            if (rect.PtInRect(Rounded(m_points[i]))) {
                handle = i;
                break;
            }
        }
    }
    m_selectedHandle = handle;
    return handle;
}

void CQvGObjectCurvature::MoveHandle(int handle, CSize delta)
{
    if (handle < 0 || handle >= kPointCount)
        return;
    m_points[handle].x += delta.cx;
    m_points[handle].y += delta.cy;
}

void CQvGObjectCurvature::MoveTo(CSize delta)
{
    MoveWhole(delta, kPointCount);
}

int CQvGObjectCurvature::AddPoint(CPoint point)
{
    return AddPointUpTo(point, kPointCount);
}

void CQvGObjectCurvature::Finish()
{
    m_state = GS_FINISHED;
    m_pointCount = kPointCount;
    // An annotation gets no label that would set its mask; it must be stored as it is read back.
    SetCalType();
    GetMBR();
    AddLabelBetweenFirstPoints();
    HideRealtimeResultBox();
}

int CQvGObjectCurvature::GetHitTestRgn(CRgn& rgn)
{
    CreateLineHitRgn(rgn, m_points[0], m_points[1], GetZoomTolerance(), CPoint(0, 0), 1.0);
    // The chord alone leaves p2, the handle a click prefers, unpickable: every point gets its square.
    for (int i = 0; i < std::min(m_pointCount, kPointCount); ++i) {
        const CPoint p = Rounded(m_points[i]);
        CRgn square;
        square.CreateRectRgn(p.x - kPointReach, p.y - kPointReach, p.x + kPointReach, p.y + kPointReach);
        rgn.CombineRgn(&rgn, &square, RGN_OR);
    }
    return 1;
}

CRect CQvGObjectCurvature::GetMBR()
{
    return PointsBox(2);
}

UINT CQvGObjectCurvature::GetCursorShape(CRect rect)
{
    for (int i = 0; i < std::min(m_pointCount, kPointCount); ++i) {
        if (rect.PtInRect(Rounded(m_points[i])))
            return IDC_SIZEALL;
    }
    const CPoint middle(static_cast<int>((m_points[0].x + m_points[1].x + 1) * 0.5),
                        static_cast<int>((m_points[0].y + m_points[1].y + 1) * 0.5));
    return rect.PtInRect(middle) ? IDC_SIZEALL : kNoCursor;
}

void CQvGObjectCurvature::SetCalType()
{
    m_calType = CAL_CURVATURE;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectCurvature::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    if (data.kind != CAL_CURVATURE)
        return 0;
    // A ratio of two lengths, so the calibration cancels out; applied, a huge factor would make it inf / inf and
    // a tiny one would leave no chord.
    const _RPOINT& p0 = m_points[0];
    const _RPOINT& p1 = m_points[1];
    const _RPOINT& p2 = m_points[2];
    const double chord = std::hypot(p0.x - p1.x, p0.y - p1.y);
    if (!(chord > 0.0)) {
        // No chord, no curvature: 0 rather than a division by zero.
        data.value1 = 0.0;
        return 1;
    }
    _RPOINT foot{};
    GetPerpendicularPoint(p0, p1, p2, foot);
    const double height = std::hypot(p2.x - foot.x, p2.y - foot.y);
    data.value1 = height / chord * 100.0;
    return 1;
}
