#include "gobjects/shapes/CQvGObjectEllipse.h"

#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/geometry/GeoFunctions.h"
#include "gobjects/geometry/GeoHitRegion.h"
#include "gobjects/private/RoundShapes.h"
#include "gobjects/private/ShiftKey.h"

#include "gdi/CDC.h"
#include "gdi/CRgn.h"
#include "types/Rounding.h"
#include "types/WinUser.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using std::numbers::pi;

int SignOr(double v, int fallback)
{
    return v > 0 ? 1 : v < 0 ? -1 : fallback;
}

}  // namespace

const CQvGObjectEllipse::HandleSpot CQvGObjectEllipse::kCircleHandles[4] = {
    {0, 0, IDC_SIZENWSE}, {2, 0, IDC_SIZENESW}, {2, 2, IDC_SIZENWSE}, {0, 2, IDC_SIZENESW}};

std::span<const CQvGObjectEllipse::HandleSpot> CQvGObjectEllipse::Handles() const
{
    static constexpr HandleSpot kEllipseHandles[8] = {{0, 0, IDC_SIZENWSE}, {1, 0, IDC_SIZENS}, {2, 0, IDC_SIZENESW},
                                                      {2, 1, IDC_SIZEWE},   {2, 2, IDC_SIZENWSE}, {1, 2, IDC_SIZENS},
                                                      {0, 2, IDC_SIZENESW}, {0, 1, IDC_SIZEWE}};
    return kEllipseHandles;
}

CQvGObjectEllipse::CQvGObjectEllipse()
{
    m_shape = SHAPE_ELLIPSE;
}

void CQvGObjectEllipse::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    FeedRealtimeResultBox(flag);
    CRect box(MapToWindow(m_points[0], *origin, *ratio), MapToWindow(m_points[1], *origin, *ratio));
    box.NormalizeRect();
    DrawEllipseInBox(dc, box, !IsAnnotation());
}

void CQvGObjectEllipse::DrawSelection(CDC* dc, const CPoint* origin, const float* ratio)
{
    const int left = MapToWindow(std::min(m_points[0].x, m_points[1].x), origin->x, *ratio);
    const int right = MapToWindow(std::max(m_points[0].x, m_points[1].x), origin->x, *ratio);
    const int top = MapToWindow(std::min(m_points[0].y, m_points[1].y), origin->y, *ratio);
    const int bottom = MapToWindow(std::max(m_points[0].y, m_points[1].y), origin->y, *ratio);
    const int columns[3] = {left, HalfSum(left, right), right};
    const int rows[3] = {top, HalfSum(top, bottom), bottom};
    for (const HandleSpot& spot : Handles())
        DrawGrip(dc, CPoint(columns[spot.column], rows[spot.row]));
}

CPoint CQvGObjectEllipse::GetHandlePoint(int handle) const
{
    const std::span<const HandleSpot> handles = Handles();
    if (handle < 0 || handle >= static_cast<int>(handles.size()))
        return CPoint();
    // Handles are numbered on the ordered box, the one MoveHandle works on, whatever order the corners were
    // stored in.
    const double left = std::min(m_points[0].x, m_points[1].x);
    const double right = std::max(m_points[0].x, m_points[1].x);
    const double top = std::min(m_points[0].y, m_points[1].y);
    const double bottom = std::max(m_points[0].y, m_points[1].y);
    const int x0 = TruncHalfUp(left);
    const int x1 = TruncHalfUp(right);
    const int y0 = TruncHalfUp(top);
    const int y1 = TruncHalfUp(bottom);
    const int columns[3] = {x0, static_cast<int>((x0 + x1 + 1) * 0.5), x1};
    const int rows[3] = {y0, static_cast<int>((y0 + y1 + 1) * 0.5), y1};
    const HandleSpot& spot = handles[handle];
    return CPoint(columns[spot.column], rows[spot.row]);
}

int CQvGObjectEllipse::CreationHandle() const
{
    const std::span<const HandleSpot> handles = Handles();
    for (int i = 0; i < static_cast<int>(handles.size()); ++i) {
        if (handles[i].column == 2 && handles[i].row == 2)
            return i;
    }
    return -1;
}

int CQvGObjectEllipse::GetHandle(CRect rect)
{
    int found = -1;
    if (m_state == GS_ADDING && m_pointCount > 0) {
        found = CreationHandle();
    } else if (m_pointCount > 0) {
        for (int handle = 0; handle < GetHandleCount(); ++handle) {
            if (rect.PtInRect(GetHandlePoint(handle)))
                found = handle;
        }
    }
    m_selectedHandle = found;
    return found;
}

UINT CQvGObjectEllipse::GetCursorShape(CRect rect)
{
    if (m_pointCount == 0)
        return kNoCursor;
    for (int handle = 0; handle < GetHandleCount(); ++handle) {
        if (rect.PtInRect(GetHandlePoint(handle)))
            return Handles()[handle].cursor;
    }
    return kNoCursor;
}

void CQvGObjectEllipse::MoveHandle(int handle, CSize delta)
{
    ResizeByHandle(handle, delta, ShiftHeld());
}

void CQvGObjectEllipse::MoveTo(CSize delta)
{
    // Handles resize the box; a whole move shifts both corners.
    MoveWhole(delta, 2);
}

bool CQvGObjectEllipse::IsCorner(int handle) const
{
    const std::span<const HandleSpot> handles = Handles();
    if (handle < 0 || handle >= static_cast<int>(handles.size()))
        return false;
    return handles[handle].column != 1 && handles[handle].row != 1;
}

double* CQvGObjectEllipse::HandleX(int handle)
{
    switch (Handles()[handle].column) {
    case 0: return &m_points[0].x;
    case 2: return &m_points[1].x;
    default: return nullptr;
    }
}

double* CQvGObjectEllipse::HandleY(int handle)
{
    switch (Handles()[handle].row) {
    case 0: return &m_points[0].y;
    case 2: return &m_points[1].y;
    default: return nullptr;
    }
}

double CQvGObjectEllipse::SquareStep(int sx, int sy, CSize delta)
{
    const double step = std::max(std::abs(delta.cx), std::abs(delta.cy));
    if (sy * delta.cy > 0 && sx * delta.cx >= 0)
        return step;
    if (sy * delta.cy < 0 && sx * delta.cx <= 0)
        return -step;
    return 0.0;
}

void CQvGObjectEllipse::OutwardDirection(int handle, int& sx, int& sy) const
{
    const HandleSpot& spot = Handles()[handle];
    sx = spot.column == 0 ? -1 : 1;
    sy = spot.row == 0 ? -1 : 1;
}

void CQvGObjectEllipse::MoveCornerKeepingSquare(int handle, CSize delta)
{
    int sx = 0;
    int sy = 0;
    OutwardDirection(handle, sx, sy);
    // While the object is being created its corners are not ordered: the dragged corner points away from the
    // fixed one, wherever that is.
    double* x = HandleX(handle);
    double* y = HandleY(handle);
    const double* otherX = x == &m_points[0].x ? &m_points[1].x : &m_points[0].x;
    const double* otherY = y == &m_points[0].y ? &m_points[1].y : &m_points[0].y;
    sx = SignOr(*x - *otherX, sx);
    sy = SignOr(*y - *otherY, sy);
    const double step = SquareStep(sx, sy, delta);
    *x += step * sx;
    *y += step * sy;
}

void CQvGObjectEllipse::ResizeByHandle(int handle, CSize delta, bool keepSquare)
{
    if (handle < 0 || handle >= GetHandleCount())
        return;
    if (m_state != GS_ADDING)
        NormalizeDRect(m_points.data());

    if (!keepSquare) {
        if (double* x = HandleX(handle))
            *x += delta.cx;
        if (double* y = HandleY(handle))
            *y += delta.cy;
        return;
    }

    _RPOINT& c0 = m_points[0];
    _RPOINT& c1 = m_points[1];
    const double width = c1.x - c0.x;
    const double height = static_cast<float>(c1.y - c0.y);
    if (width != height) {
        const double side = std::min(std::abs(width), std::abs(height));
        c1.x = c0.x + SignOr(width, 1) * side;
        c1.y = c0.y + SignOr(height, 1) * side;
    }
    if (IsCorner(handle))
        MoveCornerKeepingSquare(handle, delta);
}

CRect CQvGObjectEllipse::GetHitBounds()
{
    CRect bounds = RingBounds(GetMBR(), GetZoomTolerance());
    for (int handle = 0; handle < GetHandleCount(); ++handle)
        bounds = UniteBounds(bounds, GripBounds(GetHandlePoint(handle)));
    return bounds;
}

int CQvGObjectEllipse::GetHitTestRgn(CRgn& rgn)
{
    CreateEllipticRingRgn(rgn, GetMBR(), GetZoomTolerance());
    for (int handle = 0; handle < GetHandleCount(); ++handle)
        AddGripSquare(rgn, GetHandlePoint(handle));
    return 1;
}

CQvGObject::OutlineHit CQvGObjectEllipse::HitByOutline(const CRect& pixels)
{
    if (PixelsMeetEllipticRing(GetMBR(), GetZoomTolerance(), pixels))
        return OutlineHit::Met;
    for (int handle = 0; handle < GetHandleCount(); ++handle)
        if (PixelsMeetSquare(GetHandlePoint(handle), kGripHalf, pixels))
            return OutlineHit::Met;
    return OutlineHit::Missed;
}

CRect CQvGObjectEllipse::GetMBR()
{
    CRect box(TruncHalfUp(m_points[0].x), TruncHalfUp(m_points[0].y), TruncHalfUp(m_points[1].x),
              TruncHalfUp(m_points[1].y));
    box.NormalizeRect();
    return box;
}

void CQvGObjectEllipse::SetCalType()
{
    m_calType = kEllipseQuantities;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectEllipse::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    const double u = GetUnitsPerPixel();
    const double width = std::abs(m_points[0].x - m_points[1].x);
    const double height = std::abs(m_points[0].y - m_points[1].y);
    const double a = u * width / 2.0;
    const double b = u * height / 2.0;
    switch (data.kind) {
    case CAL_LENGTH: data.value1 = pi * (3.0 * (a + b) - std::sqrt((3.0 * a + b) * (a + 3.0 * b))); return 1;
    case CAL_MAX_RADIUS: data.value1 = std::max(a, b); return 1;
    case CAL_MIN_RADIUS: data.value1 = std::min(a, b); return 1;
    case CAL_AREA: data.value1 = pi * a * b; return 1;
    case CAL_CIRCULAR_MIL: data.value1 = CircularMilsOfArea(*this, pi * (width / 2.0) * (height / 2.0)); return 1;
    case CAL_POSITION_CENTER: {
        _RPOINT centre;
        GetMidPoint(centre, m_points[0].x, m_points[0].y, m_points[1].x, m_points[1].y);
        data.value1 = centre.x;
        data.value2 = centre.y;
        return 1;
    }
    default: return 0;
    }
}

int CQvGObjectEllipse::GetCircleCalData(tagCAL_DATA& data)
{
    const double pixels = std::abs(m_points[0].x - m_points[1].x);
    const double diameter = GetUnitsPerPixel() * pixels;
    switch (data.kind) {
    case CAL_LENGTH: data.value1 = pi * diameter; return 1;
    case CAL_MAX_RADIUS:
    case CAL_MIN_RADIUS: data.value1 = diameter / 2.0; return 1;
    case CAL_DIAMETER: data.value1 = diameter; return 1;
    case CAL_AREA: data.value1 = pi * (diameter / 2.0) * (diameter / 2.0); return 1;
    case CAL_CIRCULAR_MIL: data.value1 = CircularMilsOfArea(*this, pi * (pixels / 2.0) * (pixels / 2.0)); return 1;
    case CAL_POSITION_CENTER: return CQvGObjectEllipse::GetCalData(data, 0);
    default: return 0;
    }
}
