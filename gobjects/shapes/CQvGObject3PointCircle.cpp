#include "gobjects/shapes/CQvGObject3PointCircle.h"

#include "gobjects/geometry/GeoFitting.h"
#include "gobjects/geometry/GeoHitRegion.h"
#include "gobjects/private/PixelCross.h"
#include "gobjects/private/RoundShapes.h"

#include "gdi/CDC.h"
#include "gdi/CRgn.h"
#include "types/Rounding.h"

#include <algorithm>
#include <numbers>

namespace {

constexpr int32_t kCircleQuantities = CAL_LENGTH | CAL_MAX_RADIUS | CAL_MIN_RADIUS | CAL_DIAMETER | CAL_AREA |
                                      CAL_CIRCULAR_MIL | CAL_POSITION_CENTER;

}  // namespace

CQvGObject3PointCircle::CQvGObject3PointCircle()
{
    m_shape = SHAPE_3POINT_CIRCLE;
}

bool CQvGObject3PointCircle::GetCircle(_RPOINT& centre, double& radius) const
{
    if (m_pointCount < kPoints)
        return false;
    // The fit overwrites the points it is given with the circle's box.
    _RPOINT box[kPoints] = {m_points[0], m_points[1], m_points[2]};
    if (!FitCircleLeastSquares(box))
        return false;
    radius = (box[1].x - box[0].x) / 2.0;
    centre = _RPOINT{box[0].x + radius, box[0].y + radius};
    return true;
}

void CQvGObject3PointCircle::DrawCrosses(CDC* dc, const CPoint* origin, const float* ratio, int count) const
{
    for (int i = 0; i < count; ++i)
        DrawPixelCross(dc, MapToWindow(m_points[i], *origin, *ratio), *ratio);
}

void CQvGObject3PointCircle::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int /*flag*/)
{
    if (m_state != GS_FINISHED) {
        DrawCrosses(dc, origin, ratio, m_pointCount - 1);
        return;
    }
    _RPOINT centre;
    double radius = 0.0;
    if (!GetCircle(centre, radius)) {
        DrawCrosses(dc, origin, ratio, std::min(m_pointCount, kPoints));
        return;
    }
    CRect box(MapToWindow(_RPOINT{centre.x - radius, centre.y - radius}, *origin, *ratio),
              MapToWindow(_RPOINT{centre.x + radius, centre.y + radius}, *origin, *ratio));
    DrawEllipseInBox(dc, box, !IsAnnotation());
}

int CQvGObject3PointCircle::GetHandle(CRect rect)
{
    int found = -1;
    if (m_state == GS_ADDING && m_pointCount > 0) {
        found = m_pointCount - 1;
    } else {
        for (int i = 0; i < std::min(m_pointCount, kPoints); ++i) {
            if (rect.PtInRect(CPoint(TruncHalfUp(m_points[i].x), TruncHalfUp(m_points[i].y))))
                found = i;
        }
    }
    m_selectedHandle = found;
    return found;
}

int CQvGObject3PointCircle::AddPoint(CPoint point)
{
    const int count = CQvGObjectPolyLine::AddPoint(point);
    if (count == kPoints + 1)
        Finish();
    return m_pointCount;
}

void CQvGObject3PointCircle::Finish()
{
    if (m_pointCount == kPoints) {
        // The poly-line drops the point that follows the mouse; here that point is the third one. The array
        // always keeps a free slot, so the copy has room.
        m_points[m_pointCount] = m_points[m_pointCount - 1];
        ++m_pointCount;
    }
    CQvGObjectPolyLine::Finish();
}

void CQvGObject3PointCircle::Cancel()
{
    if (CanFinish())
        Finish();
}

bool CQvGObject3PointCircle::RingBox(CRect& box) const
{
    _RPOINT centre;
    double radius = 0.0;
    if (!GetCircle(centre, radius))
        return false;
    box = CRect(TruncHalfUp(centre.x - radius), TruncHalfUp(centre.y - radius), TruncHalfUp(centre.x + radius),
                TruncHalfUp(centre.y + radius));
    return true;
}

CRect CQvGObject3PointCircle::GetHitBounds()
{
    if (m_pointCount < kPoints)
        return CRect();
    CRect bounds;
    CRect box;
    if (RingBox(box))
        bounds = RingBounds(box, GetZoomTolerance());
    for (int i = 0; i < kPoints; ++i)
        bounds = UniteBounds(bounds, GripBounds(CPoint(TruncHalfUp(m_points[i].x), TruncHalfUp(m_points[i].y))));
    return bounds;
}

int CQvGObject3PointCircle::GetHitTestRgn(CRgn& rgn)
{
    if (m_pointCount < kPoints)
        return 0;
    CRect box;
    if (RingBox(box))
        CreateEllipticRingRgn(rgn, box, GetZoomTolerance());
    else
        rgn.CreateRectRgn(0, 0, 0, 0);
    for (int i = 0; i < kPoints; ++i)
        AddGripSquare(rgn, CPoint(TruncHalfUp(m_points[i].x), TruncHalfUp(m_points[i].y)));
    return 1;
}

CQvGObject::OutlineHit CQvGObject3PointCircle::HitByOutline(const CRect& pixels)
{
    if (m_pointCount < kPoints)
        return OutlineHit::NoRegion;
    CRect box;
    if (RingBox(box) && PixelsMeetEllipticRing(box, GetZoomTolerance(), pixels))
        return OutlineHit::Met;
    for (int i = 0; i < kPoints; ++i)
        if (PixelsMeetSquare(CPoint(TruncHalfUp(m_points[i].x), TruncHalfUp(m_points[i].y)), kGripHalf, pixels))
            return OutlineHit::Met;
    return OutlineHit::Missed;
}

void CQvGObject3PointCircle::SetCalType()
{
    m_calType = kCircleQuantities;
    m_defaultData.kind = m_dispType;
}

int CQvGObject3PointCircle::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    if (!(data.kind & kCircleQuantities) || m_pointCount < kPoints)
        return 0;
    _RPOINT centre{(m_points[0].x + m_points[1].x + m_points[2].x) / 3.0,
                   (m_points[0].y + m_points[1].y + m_points[2].y) / 3.0};
    double radius = 0.0;
    GetCircle(centre, radius);
    const double r = GetUnitsPerPixel() * radius;
    using std::numbers::pi;
    switch (data.kind) {
    case CAL_LENGTH: data.value1 = pi * 2.0 * r; return 1;
    case CAL_MAX_RADIUS:
    case CAL_MIN_RADIUS: data.value1 = r; return 1;
    case CAL_DIAMETER: data.value1 = 2.0 * r; return 1;
    case CAL_AREA: data.value1 = pi * r * r; return 1;
    case CAL_CIRCULAR_MIL: data.value1 = CircularMilsOfArea(*this, pi * radius * radius); return 1;
    case CAL_POSITION_CENTER:
        data.value1 = centre.x;
        data.value2 = centre.y;
        return 1;
    default: return 0;
    }
}
