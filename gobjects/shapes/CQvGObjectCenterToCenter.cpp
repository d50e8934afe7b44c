#include "gobjects/shapes/CQvGObjectCenterToCenter.h"

#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/geometry/GeoFitting.h"
#include "gobjects/geometry/GeoFunctions.h"
#include "gobjects/geometry/GeoHitRegion.h"
#include "gobjects/private/PixelCross.h"
#include "gobjects/private/RoundShapes.h"

#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"
#include "types/Rounding.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kRimPoints = 6;
constexpr int kPointsPerCircle = 3;

// Rim points nearly on one line make a circle of any size (far-out points a radius of 1e14 and more), whose box
// would end at the ends of int, where the pixel added for the outline and the inflation of the repaint box
// overflow. Boxes are kept within this reach, far beyond any image.
constexpr double kFarOut = 1 << 30;

int FarPixel(double v)
{
    return TruncHalfUp(std::clamp(v, -kFarOut, kFarOut));
}

// A whole-pixel box holding both corners, right and bottom included.
CRect PixelBox(const _RPOINT& topLeft, const _RPOINT& bottomRight)
{
    return CRect(FarPixel(topLeft.x), FarPixel(topLeft.y), FarPixel(bottomRight.x), FarPixel(bottomRight.y));
}

}  // namespace

CQvGObjectCenterToCenter::CQvGObjectCenterToCenter()
{
    m_shape = SHAPE_CENTER_TO_CENTER;
    m_points.assign(kRimPoints + 1, _RPOINT{0.0, 0.0});
}

void CQvGObjectCenterToCenter::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

bool CQvGObjectCenterToCenter::CircleBox(int circle, _RPOINT& topLeft, _RPOINT& bottomRight) const
{
    const int first = circle * kPointsPerCircle;
    // The fit writes its box over the first two points it is given: it works on a copy. When it fails the copy
    // is left as it was, and the box of the first two rim points stands in for the circle.
    _RPOINT rim[kPointsPerCircle] = {m_points[first], m_points[first + 1], m_points[first + 2]};
    FitCircleLeastSquares(rim);
    topLeft = _RPOINT{std::min(rim[0].x, rim[1].x), std::min(rim[0].y, rim[1].y)};
    bottomRight = _RPOINT{std::max(rim[0].x, rim[1].x), std::max(rim[0].y, rim[1].y)};
    return m_pointCount >= first + kPointsPerCircle;
}

bool CQvGObjectCenterToCenter::RingBox(int circle, CRect& box) const
{
    _RPOINT topLeft;
    _RPOINT bottomRight;
    if (!CircleBox(circle, topLeft, bottomRight))
        return false;
    // The ring follows the painted outline, whose box includes its right and bottom pixels.
    box = PixelBox(topLeft, bottomRight);
    box.right += 1;
    box.bottom += 1;
    return true;
}

_RPOINT CQvGObjectCenterToCenter::Centre(int circle) const
{
    _RPOINT topLeft;
    _RPOINT bottomRight;
    CircleBox(circle, topLeft, bottomRight);
    return _RPOINT{(topLeft.x + bottomRight.x) / 2.0, (topLeft.y + bottomRight.y) / 2.0};
}

void CQvGObjectCenterToCenter::DrawCircle(CDC* dc, int circle, const CPoint& origin, float ratio) const
{
    _RPOINT topLeft;
    _RPOINT bottomRight;
    CircleBox(circle, topLeft, bottomRight);
    CRect box(MapToWindow(topLeft, origin, ratio), MapToWindow(bottomRight, origin, ratio));
    box.NormalizeRect();
    if (!IsDrawableEllipseBox(box))
        return;
    dc->Ellipse(box.left, box.top, box.right + 1, box.bottom + 1);
    const int centreY = HalfSum(box.top, box.bottom + int64_t(1));
    dc->MoveTo(HalfSum(box.left, box.right), centreY);
    dc->LineTo(box.right, centreY);
}

void CQvGObjectCenterToCenter::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int /*flag*/)
{
    if (m_state == GS_ADDING) {
        for (int i = 0; i + 1 < m_pointCount; ++i)
            DrawPixelCross(dc, MapToWindow(m_points[i], *origin, *ratio), *ratio);
    }
    // A circle shows as soon as its three points are there, the last of them following the mouse.
    if (m_pointCount > 3)
        DrawCircle(dc, 0, *origin, *ratio);
    if (m_pointCount > 5)
        DrawCircle(dc, 1, *origin, *ratio);
    if (m_state == GS_FINISHED) {
        dc->MoveTo(MapToWindow(Centre(0), *origin, *ratio));
        dc->LineTo(MapToWindow(Centre(1), *origin, *ratio));
    }
}

int CQvGObjectCenterToCenter::GetHandle(CRect rect)
{
    int handle = -1;
    if (m_state == GS_ADDING && m_pointCount > 0) {
        handle = m_pointCount - 1;
    } else {
        for (int i = 0; i < std::min(m_pointCount, kRimPoints); ++i) {
            if (rect.PtInRect(Rounded(m_points[i])))
                handle = i;
        }
        if (handle == -1) {
            const auto meets = [&](int circle) {
                _RPOINT topLeft;
                _RPOINT bottomRight;
                CircleBox(circle, topLeft, bottomRight);
                CRect box = PixelBox(topLeft, bottomRight);
                box.right += 1;
                box.bottom += 1;
                CRect common;
                return common.IntersectRect(box, rect);
            };
            const bool metA = meets(0);
            const bool metB = meets(1);
            m_movingPart = metA && metB ? kMoveBoth : metA ? kMoveCircleA : metB ? kMoveCircleB : kMoveNothing;
        }
    }
    m_selectedHandle = handle;
    return handle;
}

void CQvGObjectCenterToCenter::MoveHandle(int handle, CSize delta)
{
    if (handle < 0 || handle >= std::min(m_pointCount, kRimPoints))
        return;
    m_points[handle].x += delta.cx;
    m_points[handle].y += delta.cy;
}

void CQvGObjectCenterToCenter::MovePoints(int first, int last, CSize delta)
{
    for (int i = first; i <= last; ++i)
        MoveHandle(i, delta);
}

void CQvGObjectCenterToCenter::MoveTo(CSize delta)
{
    if (MovesLabelOnly()) {
        MoveLabelObject(delta);
        return;
    }
    // Among other selected objects the part grabbed last time has no meaning: the group moves as a whole.
    switch (IsMultiSelected() ? kMoveBoth : m_movingPart) {
    case kMoveBoth:
        MoveLabelObject(delta);
        MovePoints(0, kRimPoints - 1, delta);
        break;
    case kMoveCircleA: MovePoints(0, 2, delta); break;
    case kMoveCircleB: MovePoints(3, 5, delta); break;
    default: break;
    }
}

int CQvGObjectCenterToCenter::AddPoint(CPoint point)
{
    return AddPointUpTo(point, kRimPoints);
}

void CQvGObjectCenterToCenter::Finish()
{
    m_state = GS_FINISHED;
    m_pointCount = kRimPoints;
    GetMBR();
    AddLabelBetweenFirstPoints();
}

CRect CQvGObjectCenterToCenter::GetHitBounds()
{
    if (m_pointCount <= 0)
        return CRect();
    CRect bounds;
    for (int circle = 0; circle < 2; ++circle) {
        CRect box;
        if (RingBox(circle, box))
            bounds = UniteBounds(bounds, RingBounds(box, GetZoomTolerance()));
    }
    for (int i = 0; i < std::min(m_pointCount, kRimPoints); ++i)
        bounds = UniteBounds(bounds, GripBounds(Rounded(m_points[i])));
    return bounds;
}

int CQvGObjectCenterToCenter::GetHitTestRgn(CRgn& rgn)
{
    if (m_pointCount <= 0)
        return 0;
    const int reach = GetZoomTolerance();
    rgn.CreateRectRgn(0, 0, 0, 0);
    for (int circle = 0; circle < 2; ++circle) {
        CRect box;
        if (!RingBox(circle, box))
            continue;
        CRgn ring;
        CreateEllipticRingRgn(ring, box, reach);
        rgn.CombineRgn(&rgn, &ring, RGN_OR);
    }
    for (int i = 0; i < std::min(m_pointCount, kRimPoints); ++i) {
        const CPoint p = Rounded(m_points[i]);
        CRgn square;
        square.CreateRectRgn(p.x - 4, p.y - 4, p.x + 4, p.y + 4);
        rgn.CombineRgn(&rgn, &square, RGN_OR);
    }
    return 1;
}

CQvGObject::OutlineHit CQvGObjectCenterToCenter::HitByOutline(const CRect& pixels)
{
    if (m_pointCount <= 0)
        return OutlineHit::NoRegion;
    const int reach = GetZoomTolerance();
    for (int circle = 0; circle < 2; ++circle) {
        CRect box;
        if (RingBox(circle, box) && PixelsMeetEllipticRing(box, reach, pixels))
            return OutlineHit::Met;
    }
    for (int i = 0; i < std::min(m_pointCount, kRimPoints); ++i)
        if (PixelsMeetSquare(Rounded(m_points[i]), kGripHalf, pixels))
            return OutlineHit::Met;
    return OutlineHit::Missed;
}

CRect CQvGObjectCenterToCenter::GetMBR()
{
    const int count = std::min(m_pointCount, kRimPoints);
    if (count <= 0)
        return CRect();
    CRect box = PointsBox(count);
    for (int circle = 0; circle < 2; ++circle) {
        _RPOINT topLeft;
        _RPOINT bottomRight;
        if (!CircleBox(circle, topLeft, bottomRight))
            continue;
        const CRect circleBox = PixelBox(topLeft, bottomRight);
        box.left = std::min(box.left, circleBox.left);
        box.top = std::min(box.top, circleBox.top);
        box.right = std::max(box.right, circleBox.right);
        box.bottom = std::max(box.bottom, circleBox.bottom);
    }
    return box;
}

void CQvGObjectCenterToCenter::SetCalType()
{
    m_calType = CAL_LENGTH | CAL_X_ANGLE | CAL_Y_ANGLE | CAL_POSITION_START | CAL_POSITION_CENTER | CAL_POSITION_END;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectCenterToCenter::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    const _RPOINT a = Centre(0);
    const _RPOINT b = Centre(1);
    switch (data.kind) {
    case CAL_LENGTH: {
        const double s = GetUnitsPerPixel();
        data.value1 = std::sqrt(std::pow(s * (a.x - b.x), 2) + std::pow(s * (a.y - b.y), 2));
        return 1;
    }
    case CAL_X_ANGLE: data.value1 = GetLineAngle360(a.x, a.y, b.x, b.y); return 1;
    case CAL_Y_ANGLE: data.value1 = GetLineAngle360(a.x, a.y, b.x, b.y) - 90.0; return 1;
    case CAL_POSITION_START:
        data.value1 = a.x;
        data.value2 = a.y;
        return 1;
    case CAL_POSITION_CENTER:
        data.value1 = (a.x + b.x) / 2.0;
        data.value2 = (a.y + b.y) / 2.0;
        return 1;
    case CAL_POSITION_END:
        data.value1 = b.x;
        data.value2 = b.y;
        return 1;
    default: return 0;
    }
}

int CQvGObjectCenterToCenter::ReadShapeFields(LeReader& in, float version)
{
    if (!CQvGObject::ReadShapeFields(in, version))
        return 0;
    m_movingPart = kMoveBoth;
    return 1;
}
