#include "gobjects/shapes/CQvGObjectAutoAngle.h"

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/geometry/GeoDrawing.h"
#include "gobjects/geometry/GeoFunctions.h"
#include "gobjects/geometry/GeoHitRegion.h"

#include "gdi/CDC.h"
#include "gdi/CRgn.h"
#include "gdi/GdiDefs.h"
#include "qvimage/CQvImage.h"

#include <algorithm>

CQvGObjectAutoAngle::CQvGObjectAutoAngle()
{
    m_shape = SHAPE_AUTO_ANGLE;
}

void CQvGObjectAutoAngle::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

void CQvGObjectAutoAngle::InvalidateCanvas()
{
    if (m_container)
        m_container->InvalidateCanvas();
}

bool CQvGObjectAutoAngle::SnapPoints(int first)
{
    CGreyPixels work;
    _RPOINT q0 = m_points[first];
    _RPOINT q1 = m_points[first + 1];
    if (!MakeWorkImage(work) || !SnapLine(work, q0, q1))
        return false;
    m_points[first] = q0;
    m_points[first + 1] = q1;
    return true;
}

int CQvGObjectAutoAngle::Finish_First()
{
    if (!SnapPoints(0)) {
        m_pointCount = 2;
        m_state = GS_FAILED;
        return 0;
    }
    InvalidateCanvas();
    return 1;
}

int CQvGObjectAutoAngle::AddPoint(CPoint point)
{
    if (m_pointCount == 2 && !Finish_First())
        return 0;
    if (m_pointCount > 3) {
        Finish();
        return m_pointCount;
    }
    return AppendCountedPoint(point, 1);
}

void CQvGObjectAutoAngle::Finish()
{
    if (m_pointCount < 4)
        return;
    HideRealtimeResultBox();
    if (!SnapPoints(2)) {
        // The second line is dropped; its last point starts the next try.
        m_points[2] = m_points[3];
        m_pointCount = 3;
        InvalidateCanvas();
        return;
    }
    m_state = GS_FINISHED;
    m_pointCount = 4;
    const CRect box = GetMBR();
    if (!IsAnnotation())
        AddLabelObject(CPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2));
}

int CQvGObjectAutoAngle::GetHandle(CRect rect)
{
    int handle = -1;
    if (m_state == GS_ADDING && m_pointCount > 0)
        handle = m_pointCount - 1;
    else
        handle = FindCountedPoint(rect);
    m_selectedHandle = handle;
    return handle;
}

CRect CQvGObjectAutoAngle::GetMBR()
{
    CRect box(Rounded(m_points[0]), Rounded(m_points[0]));
    for (int i = 1; i < std::clamp(m_pointCount, 1, 4); ++i) {
        const CPoint p = Rounded(m_points[i]);
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x);
        box.bottom = std::max(box.bottom, p.y);
    }
    return box;
}

void CQvGObjectAutoAngle::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    FeedRealtimeResultBox(flag);
    const bool bands = !IsAnnotation() && flag == kPaintRubberBand;
    for (int first : {0, 2}) {
        if (first == 2 && m_pointCount < 4)
            break;
        DrawSegment(dc, MapToWindow(m_points[first], *origin, *ratio),
                    MapToWindow(m_points[first + 1], *origin, *ratio));
        if (bands)
            DrawBand(dc, m_points[first], m_points[first + 1], *origin, *ratio);
    }
    if (m_state == GS_FINISHED) {
        _RPOINT window[4];
        for (int i = 0; i < 4; ++i) {
            const CPoint p = MapToWindow(m_points[i], *origin, *ratio);
            window[i] = {static_cast<double>(p.x), static_cast<double>(p.y)};
        }
        DrawAngleArc(dc, window[0], window[1], window[2], window[3], 1, -1);
    }
}

int CQvGObjectAutoAngle::GetHitTestRgn(CRgn& rgn)
{
    const double reach = GetZoomTolerance();
    CreateLineHitRgn(rgn, m_points[0], m_points[1], reach, CPoint(0, 0), 1.0);
    if (m_pointCount >= 4) {
        CRgn second;
        CreateLineHitRgn(second, m_points[2], m_points[3], reach, CPoint(0, 0), 1.0);
        rgn.CombineRgn(&rgn, &second, RGN_OR);
    }
    return 1;
}

void CQvGObjectAutoAngle::SetCalType()
{
    m_calType = CAL_ANGLE;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectAutoAngle::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    if (data.kind != CAL_ANGLE || m_pointCount < 4)
        return 0;
    data.value1 = GetAngleBetweenLines(m_points[0], m_points[1], m_points[2], m_points[3], 1);
    return 1;
}
