#include "gobjects/shapes/CQvGObjectBestFitLine.h"

#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/geometry/GeoFitting.h"
#include "gobjects/geometry/GeoHitRegion.h"
#include "gobjects/private/PixelCross.h"
#include "gobjects/private/SegmentDrawing.h"

#include "gdi/CDC.h"
#include "types/Rounding.h"

#include <algorithm>

CQvGObjectBestFitLine::CQvGObjectBestFitLine()
{
    m_shape = SHAPE_BESTFIT_LINE;
    m_pointCount = 0;
    m_points.assign(kCapacityStep, _RPOINT{0.0, 0.0});
}

void CQvGObjectBestFitLine::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

void CQvGObjectBestFitLine::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int /*flag*/)
{
    if (m_pointCount <= 0)
        return;
    if (m_state == GS_FINISHED) {
        DrawSegmentWithEndPixel(dc, MapToWindow(m_points[0], *origin, *ratio),
                                MapToWindow(m_points[1], *origin, *ratio));
        return;
    }
    if (m_state != GS_ADDING || m_pointCount < 2)
        return;
    for (int i = 0; i + 1 < m_pointCount; ++i)
        DrawPixelCross(dc, MapToWindow(m_points[i], *origin, *ratio), *ratio);
}

int CQvGObjectBestFitLine::GetHandle(CRect rect)
{
    // While adding, the point that follows the mouse is the one moved.
    m_selectedHandle = m_state == GS_ADDING && m_pointCount > 0 ? m_pointCount - 1 : FindCountedPoint(rect);
    return m_selectedHandle;
}

void CQvGObjectBestFitLine::MoveHandle(int handle, CSize delta)
{
    MoveCountedPoint(handle, delta);
}

void CQvGObjectBestFitLine::MoveTo(CSize delta)
{
    MoveWhole(delta, m_pointCount);
}

int CQvGObjectBestFitLine::AddPoint(CPoint point)
{
    return AppendCountedPoint(point, kCapacityStep);
}

void CQvGObjectBestFitLine::Finish()
{
    m_state = GS_FINISHED;
    // The last point is the one under the mouse. Finishing before anything was clicked leaves nothing to fit.
    if (!FitPointsLeastSquares(m_points.data(), m_pointCount - 1)) {
        m_pointCount = 0;
        return;
    }
    m_pointCount = 2;
    GetMBR();
    AddLabelBetweenFirstPoints();
}

int CQvGObjectBestFitLine::GetHitTestRgn(CRgn& rgn)
{
    if (m_pointCount < 2)
        return 0;
    CreateLineHitRgn(rgn, m_points[0], m_points[1], GetZoomTolerance(), CPoint(0, 0), 1.0);
    return 1;
}

CRect CQvGObjectBestFitLine::GetMBR()
{
    return PointsBox(m_pointCount);
}

int CQvGObjectBestFitLine::GetCalData(tagCAL_DATA& data, int subItem)
{
    if (m_pointCount < 2)
        return 0;
    return CQvGObjectLine::GetCalData(data, subItem);
}
