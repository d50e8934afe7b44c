#include "gobjects/shapes/CQvGObjectPolyLine.h"

#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/geometry/GeoHitRegion.h"

#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"
#include "types/Rounding.h"
#include "types/WinUser.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace {

// The chain is drawn a whole pixel further than the other shapes round. Far points (a huge ratio from a damaged
// stream) are clamped far outside the window rather than converted out of the int range.
int MapVertex(double v, int origin, float ratio)
{
    return static_cast<int>(ClampWindowPosition(origin + static_cast<double>(ratio) * v + 1.0));
}

}  // namespace

CQvGObjectPolyLine::CQvGObjectPolyLine()
{
    m_shape = SHAPE_POLYLINE;
    m_points.assign(kCapacityStep, _RPOINT{0.0, 0.0});
}

void CQvGObjectPolyLine::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

void CQvGObjectPolyLine::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    if (m_pointCount <= 0)
        return;
    std::vector<POINT> vertices(static_cast<size_t>(m_pointCount));
    for (int i = 0; i < m_pointCount; ++i)
        vertices[i] = POINT{MapVertex(m_points[i].x, origin->x, *ratio), MapVertex(m_points[i].y, origin->y, *ratio)};
    dc->Polyline(vertices.data(), m_pointCount);
    FeedRealtimeResultBox(flag);
}

void CQvGObjectPolyLine::DrawExtLabel(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    if (m_labels.size() < 2)
        return;
    for (auto it = std::next(m_labels.begin()); it != m_labels.end(); ++it)
        PaintLabel(dc, *it, origin, ratio, flag, LabelPaint::ExtLabel);
}

int CQvGObjectPolyLine::GetHandle(CRect rect)
{
    // While adding, the point that follows the mouse is the one moved.
    m_selectedHandle = m_state == GS_ADDING && m_pointCount > 0 ? m_pointCount - 1 : FindCountedPoint(rect);
    return m_selectedHandle;
}

void CQvGObjectPolyLine::MoveHandle(int handle, CSize delta)
{
    MoveCountedPoint(handle, delta);
}

void CQvGObjectPolyLine::MoveTo(CSize delta)
{
    MoveWhole(delta, m_pointCount);
}

void CQvGObjectPolyLine::MoveLabelObject(CSize delta)
{
    for (CQvGObject* label : m_labels)
        label->MoveTo(delta);
}

int CQvGObjectPolyLine::AddPoint(CPoint point)
{
    return AppendCountedPoint(point, kCapacityStep);
}

void CQvGObjectPolyLine::Finish()
{
    m_state = GS_FINISHED;
    // The last point is the one that followed the mouse. An empty chain (finished or cancelled before any
    // click) has none to drop.
    if (m_pointCount > 0)
        --m_pointCount;
    const CRect box = GetMBR();
    // n points own n labels, so an empty chain owns none.
    if (!IsAnnotation() && m_pointCount > 0) {
        AddLabelObject(CPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2));
        for (int i = 0; i + 1 < m_pointCount; ++i) {
            const _RPOINT& a = m_points[i];
            const _RPOINT& b = m_points[i + 1];
            AddLabelObject(CPoint((static_cast<int>(a.x) + static_cast<int>(b.x)) / 2,
                                  (static_cast<int>(a.y) + static_cast<int>(b.y)) / 2));
        }
    }
    HideRealtimeResultBox();
}

int CQvGObjectPolyLine::GetHitTestRgn(CRgn& rgn)
{
    if (m_pointCount <= 0)
        return 0;
    std::vector<POINT> vertices(static_cast<size_t>(m_pointCount));
    for (int i = 0; i < m_pointCount; ++i)
        vertices[i] = Rounded(m_points[i]);
    CreateBoundedPolygonRgn(rgn, vertices.data(), m_pointCount, ALTERNATE);

    // The polygon alone has no area along a straight chain, and no chain could be picked on its own segments:
    // every segment also gets the band a line has.
    const double reach = GetZoomTolerance();
    for (int i = 0; i + 1 < m_pointCount; ++i) {
        CRgn band;
        CreateLineHitRgn(band, m_points[i], m_points[i + 1], reach, CPoint(0, 0), 1.0);
        rgn.CombineRgn(&rgn, &band, RGN_OR);
    }
    return 1;
}

CRect CQvGObjectPolyLine::GetMBR()
{
    return PointsBox(m_pointCount);
}

UINT CQvGObjectPolyLine::GetCursorShape(CRect rect)
{
    for (int i = 0; i < m_pointCount; ++i) {
        if (rect.PtInRect(Rounded(m_points[i])))
            return IDC_SIZEALL;
    }
    return kNoCursor;
}

void CQvGObjectPolyLine::SetCalType()
{
    m_calType = CAL_LENGTH;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectPolyLine::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    if (data.kind != CAL_LENGTH)
        return 0;
    const double s = GetUnitsPerPixel();
    double length = 0.0;
    for (int i = 0; i + 1 < m_pointCount; ++i) {
        const double dx = s * (m_points[i].x - m_points[i + 1].x);
        const double dy = s * (m_points[i].y - m_points[i + 1].y);
        length += std::sqrt(dx * dx + dy * dy);
    }
    data.value1 = length;
    return 1;
}
