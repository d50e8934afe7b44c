#include "gobjects/shapes/CQvGObjectPolygon.h"

#include "gobjects/CQvGObjectContainer.h"

#include "calibkeeper/CCalibKeeper.h"
#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"

#include <cmath>
#include <vector>

namespace {

// A circular mil is the area of a circle one mil (0.0254 mm) across, pi/4 x 0.0254^2 mm^2.
constexpr double kCircularMilsPerSquareMillimetre = 1973.5252413880287;

}  // namespace

CQvGObjectPolygon::CQvGObjectPolygon()
{
    m_shape = SHAPE_POLYGON;
}

void CQvGObjectPolygon::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    if (m_pointCount <= 0)
        return;
    std::vector<POINT> vertices(static_cast<size_t>(m_pointCount));
    for (int i = 0; i < m_pointCount; ++i)
        vertices[i] = MapToWindow(m_points[i], *origin, *ratio);
    const int previousMode = dc->SetPolyFillMode(ALTERNATE);
    if (m_state == GS_FINISHED)
        dc->Polygon(vertices.data(), m_pointCount);
    else
        dc->Polyline(vertices.data(), m_pointCount);
    if (previousMode)
        dc->SetPolyFillMode(previousMode);
    FeedRealtimeResultBox(flag);
}

void CQvGObjectPolygon::Finish()
{
    CQvGObjectPolyLine::Finish();
    if (m_pointCount <= 0)
        return;
    if (static_cast<int>(m_points.size()) <= m_pointCount)
        m_points.resize(m_points.size() + kCapacityStep, _RPOINT{0.0, 0.0});
    m_points[m_pointCount] = m_points[0];
    ++m_pointCount;
    // An annotation gets no label that would set its mask; it must be stored as it is read back.
    SetCalType();
    HideRealtimeResultBox();
}

bool CQvGObjectPolygon::IsClosed() const
{
    return m_state == GS_FINISHED && m_pointCount >= 2 && m_points[0] == m_points[m_pointCount - 1];
}

void CQvGObjectPolygon::MoveHandle(int handle, CSize delta)
{
    if (handle < 0 || handle >= m_pointCount)
        return;
    // Moving only one of the two would leave a spur from the old corner in the outline.
    const bool closingPair = (handle == 0 || handle == m_pointCount - 1) && IsClosed();
    CQvGObjectPolyLine::MoveHandle(handle, delta);
    if (closingPair)
        CQvGObjectPolyLine::MoveHandle(handle == 0 ? m_pointCount - 1 : 0, delta);
}

void CQvGObjectPolygon::MoveTo(CSize delta)
{
    MoveWhole(delta, m_pointCount);
}

void CQvGObjectPolygon::SetCalType()
{
    m_calType = CAL_LENGTH | CAL_AREA | CAL_CIRCULAR_MIL;
    m_defaultData.kind = m_dispType;
}

double CQvGObjectPolygon::TwiceSignedArea() const
{
    // The last point is left out: on a finished outline it is the closing copy of the first, and while the outline
    // is drawn it is the one following the mouse.
    // The sum is taken about the first vertex: about the image origin, the products of a small polygon far out
    // are huge and nearly cancel, losing most of their digits.
    const int vertices = m_pointCount - 1;
    if (vertices < 3)
        return 0.0;
    const _RPOINT& first = m_points[0];
    double sum = 0.0;
    for (int k = 1; k + 1 < vertices; ++k) {
        const double ax = m_points[k].x - first.x;
        const double ay = m_points[k].y - first.y;
        const double bx = m_points[k + 1].x - first.x;
        const double by = m_points[k + 1].y - first.y;
        sum += ax * by - ay * bx;
    }
    return sum;
}

int CQvGObjectPolygon::GetCalData(tagCAL_DATA& data, int subItem)
{
    const double s = GetUnitsPerPixel();
    switch (data.kind) {
    case CAL_LENGTH: return CQvGObjectPolyLine::GetCalData(data, subItem);
    case CAL_AREA: data.value1 = s * s * std::abs(0.5 * TwiceSignedArea()); return 1;
    case CAL_CIRCULAR_MIL: {
        double millimetresPerPixel = s;
        const CCalibKeeper* calib = m_container ? m_container->GetCalibKeeper() : nullptr;
        CCalibKeeper::ChangeUnit(calib ? calib->GetUnit() : UNIT_PIXEL, UNIT_MILLIMETER, millimetresPerPixel);
        data.value1 = std::abs(0.5 * TwiceSignedArea()) * millimetresPerPixel * millimetresPerPixel *
                      kCircularMilsPerSquareMillimetre;
        return 1;
    }
    default: return 0;
    }
}
