#include "gobjects/shapes/CQvGObjectPickedAngle.h"

#include "gobjects/CQvGObjectPropertyTotal.h"
#include "gobjects/geometry/GeoDrawing.h"
#include "gobjects/geometry/GeoHitRegion.h"
#include "gobjects/ui/CObjectPropertyAngle.h"

#include "gdi/CDC.h"
#include "gdi/CRgn.h"
#include "gdi/GdiDefs.h"
#include "stream/LeStream.h"

namespace {

_RPOINT ToDouble(CPoint p)
{
    return _RPOINT{static_cast<double>(p.x), static_cast<double>(p.y)};
}

}  // namespace

void CQvGObjectPickedAngle::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    if (m_pointCount < 2)
        return;
    const int b = LineBStart();
    const bool lineBPlaced = m_pointCount >= PointsNeeded();
    const CPoint a0 = MapToWindow(m_points[0], *origin, *ratio);
    const CPoint a1 = MapToWindow(m_points[1], *origin, *ratio);
    dc->MoveTo(a0);
    dc->LineTo(a1);
    CPoint b0;
    CPoint b1;
    if (lineBPlaced) {
        b0 = MapToWindow(m_points[b], *origin, *ratio);
        b1 = MapToWindow(m_points[b + 1], *origin, *ratio);
        // A chain continues from where line A ended, so that the shared vertex is drawn once.
        if (b != 1)
            dc->MoveTo(b0);
        dc->LineTo(b1);
    }
    FeedRealtimeResultBox(flag);
    if (m_state == GS_FINISHED && lineBPlaced)
        DrawAngleArc(dc, ToDouble(a0), ToDouble(a1), ToDouble(b0), ToDouble(b1), m_innerFlag, ArcRadius(*ratio));
}

int CQvGObjectPickedAngle::AddPoint(CPoint point)
{
    const int count = CQvGObjectPolyLine::AddPoint(point);
    if (count == PointsNeeded() + 1)
        Finish();
    return m_pointCount;
}

void CQvGObjectPickedAngle::Finish()
{
    if (m_pointCount == PointsNeeded()) {
        // The poly-line drops the point that follows the mouse; here that point is the last one of the shape.
        // The array always keeps a free slot, so the copy has room.
        m_points[m_pointCount] = m_points[m_pointCount - 1];
        ++m_pointCount;
    }
    CQvGObjectPolyLine::Finish();
}

void CQvGObjectPickedAngle::Cancel()
{
    if (CanFinish())
        Finish();
}

int CQvGObjectPickedAngle::GetHitTestRgn(CRgn& rgn)
{
    if (m_pointCount < 2)
        return 0;
    const double reach = GetZoomTolerance();
    const CPoint imageOrigin(0, 0);
    CreateLineHitRgn(rgn, m_points[0], m_points[1], reach, imageOrigin, 1.0);
    if (m_pointCount >= PointsNeeded()) {
        const int b = LineBStart();
        CRgn lineB;
        CreateLineHitRgn(lineB, m_points[b], m_points[b + 1], reach, imageOrigin, 1.0);
        rgn.CombineRgn(&rgn, &lineB, RGN_OR);
    }
    return 1;
}

int CQvGObjectPickedAngle::ReadShapeFields(LeReader& in, float version)
{
    if (!CQvGObjectPolyLine::ReadShapeFields(in, version))
        return 0;
    const int32_t inner = in.Int32();
    if (!in.ok())
        return 0;
    m_innerFlag = inner;
    return 1;
}

void CQvGObjectPickedAngle::WriteShapeFields(LeWriter& out)
{
    CQvGObjectPolyLine::WriteShapeFields(out);
    out.Int32(m_innerFlag);
}

int CQvGObjectPickedAngle::SpecificProperty(QWidget* parent)
{
    CObjectPropertyAngle page;
    page.SetInner(m_innerFlag);
    if (!RunPropertySheet(parent, &page))
        return 0;
    m_innerFlag = page.GetInner();
    return 1;
}

void CQvGObjectPickedAngle::SetCalType()
{
    m_calType = CAL_ANGLE;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectPickedAngle::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    if (data.kind != CAL_ANGLE || m_pointCount < PointsNeeded())
        return 0;
    data.value1 = MeasureAngle();
    return 1;
}

void CQvGObjectPickedAngle::LoadShapeDefaults(const CQvGObjectPropertyTotal& defaults)
{
    m_innerFlag = defaults.GetAngleInnerFlag();
}

void CQvGObjectPickedAngle::StoreShapeDefaults(CQvGObjectPropertyTotal& defaults) const
{
    defaults.SetAngleInnerFlag(m_innerFlag);
}
