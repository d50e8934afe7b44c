#include "gobjects/shapes/CQvGObjectRect.h"

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/private/ShiftKey.h"

#include "calibkeeper/CCalibKeeper.h"
#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"
#include "types/Rounding.h"
#include "types/WinUser.h"

#include <algorithm>
#include <cmath>

namespace {

// A circular mil is the area of a circle one mil (0.0254 mm) across, pi/4 x 0.0254^2 mm^2.
constexpr double kCircularMilsPerSquareMillimetre = 1973.5252413880287;

// The sizing cursors of the handles 0..7, clockwise from the top-left corner.
constexpr UINT kHandleCursors[CQvGObjectRect::kHandleCount] = {IDC_SIZENWSE, IDC_SIZENS, IDC_SIZENESW, IDC_SIZEWE,
                                                               IDC_SIZENWSE, IDC_SIZENS, IDC_SIZENESW, IDC_SIZEWE};

int MidCoordinate(double a, double b)
{
    return static_cast<int>((a + b + 1.0) * 0.5);
}

}  // namespace

CQvGObjectRect::CQvGObjectRect()
{
    m_shape = SHAPE_RECT;
    // Room for the extra point a read keeps past the two corners (value labels are read by the thousand): one
    // allocation instead of two.
    m_points.reserve(3);
    m_points.assign(2, _RPOINT{0.0, 0.0});
}

void CQvGObjectRect::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

void CQvGObjectRect::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    FeedRealtimeResultBox(flag);

    const CPoint a = MapToWindow(m_points[0], *origin, *ratio);
    const CPoint b = MapToWindow(m_points[1], *origin, *ratio);
    dc->Rectangle(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1);
}

void CQvGObjectRect::DrawSelection(CDC* dc, const CPoint* origin, const float* ratio)
{
    for (int handle = 0; handle < kHandleCount; ++handle) {
        const CPoint p = GetHandlePoint(handle);
        DrawGrip(dc, CPoint(MapToWindow(p.x, origin->x, *ratio), MapToWindow(p.y, origin->y, *ratio)));
    }
}

CPoint CQvGObjectRect::GetHandlePoint(int handle) const
{
    const _RPOINT& c1 = m_points[0];
    const _RPOINT& c2 = m_points[1];
    const int x1 = TruncHalfUp(c1.x);
    const int y1 = TruncHalfUp(c1.y);
    const int x2 = TruncHalfUp(c2.x);
    const int y2 = TruncHalfUp(c2.y);
    const int midX = MidCoordinate(c1.x, c2.x);
    const int midY = MidCoordinate(c1.y, c2.y);
    switch (handle) {
    case 0: return CPoint(x1, y1);
    case 1: return CPoint(midX, y1);
    case 2: return CPoint(x2, y1);
    case 3: return CPoint(x2, midY);
    case 4: return CPoint(x2, y2);
    case 5: return CPoint(midX, y2);
    case 6: return CPoint(x1, y2);
    default: return CPoint(x1, midY);
    }
}

int CQvGObjectRect::GetHandle(CRect rect)
{
    int found = -1;
    if (m_state == GS_ADDING && m_pointCount > 0) {
        found = 4;
    } else {
        for (int handle = 0; handle < kHandleCount; ++handle) {
            if (rect.PtInRect(GetHandlePoint(handle)))
                found = handle;
        }
    }
    m_selectedHandle = found;
    return found;
}

UINT CQvGObjectRect::GetCursorShape(CRect rect)
{
    for (int handle = 0; handle < kHandleCount; ++handle) {
        if (rect.PtInRect(GetHandlePoint(handle)))
            return kHandleCursors[handle];
    }
    return kNoCursor;
}

void CQvGObjectRect::MoveHandle(int handle, CSize delta)
{
    ResizeByHandle(handle, delta, ShiftHeld());
}

void CQvGObjectRect::ResizeByHandle(int handle, CSize delta, bool keepSquare)
{
    _RPOINT& c1 = m_points[0];
    _RPOINT& c2 = m_points[1];
    const double dx = delta.cx;
    const double dy = delta.cy;

    // Ordering the corners while the far corner follows the mouse during creation would swap it with the fixed
    // one as soon as the mouse crosses it, and a rectangle could never be drawn up or to the left; Finish orders
    // them instead.
    const bool freeCorner = m_state == GS_ADDING && !keepSquare;
    if (!freeCorner)
        NormalizeDRect(m_points.data());

    if (!keepSquare) {
        switch (handle) {
        case 0: c1.x += dx; c1.y += dy; break;
        case 1: c1.y += dy; break;
        case 2: c2.x += dx; c1.y += dy; break;
        case 3: c2.x += dx; break;
        case 4: c2.x += dx; c2.y += dy; break;
        case 5: c2.y += dy; break;
        case 6: c1.x += dx; c2.y += dy; break;
        case 7: c1.x += dx; break;
        default: break;
        }
        return;
    }

    const double width = c2.x - c1.x;
    const double height = c2.y - c1.y;
    if (width != height) {
        const double side = std::min(width, height);
        c2.x = c1.x + side;
        c2.y = c1.y + side;
    }
    const double along = std::max(std::abs(dx), std::abs(dy));
    switch (handle) {
    case 0:
    case 4: {
        double d = 0.0;
        if (dy > 0 && dx >= 0)
            d = std::max(dx, dy);
        else if (dy < 0 && dx <= 0)
            d = std::min(dx, dy);
        else
            break;
        _RPOINT& corner = handle == 0 ? c1 : c2;
        corner.x += d;
        corner.y += d;
        break;
    }
    case 2:
        if (dx >= 0 && dy < 0) {
            c2.x += along;
            c1.y -= along;
        } else if (dx <= 0 && dy > 0) {
            c2.x -= along;
            c1.y += along;
        }
        break;
    case 6:
        if (dx <= 0 && dy > 0) {
            c1.x -= along;
            c2.y += along;
        } else if (dx >= 0 && dy < 0) {
            c1.x += along;
            c2.y -= along;
        }
        break;
    default:  // edge handles keep a square as it is
        break;
    }
}

void CQvGObjectRect::MoveTo(CSize delta)
{
    MoveWhole(delta, 2);
}

int CQvGObjectRect::AddPoint(CPoint point)
{
    return AddPointUpTo(point, 2);
}

void CQvGObjectRect::Finish()
{
    m_state = GS_FINISHED;
    m_pointCount = 2;
    // Handles are numbered on the stored corners and moved on ordered ones: keep the two the same.
    NormalizeDRect(m_points.data());
    GetMBR();
    if (!IsAnnotation()) {
        const int x = (TruncHalfUp(m_points[0].x) + TruncHalfUp(m_points[1].x)) / 2;
        const int y = (TruncHalfUp(m_points[0].y) + TruncHalfUp(m_points[1].y)) / 2;
        AddLabelObject(CPoint(x, y));
    }
    HideRealtimeResultBox();
}

CRect CQvGObjectRect::GetMBR()
{
    CRect box(TruncHalfUp(m_points[0].x), TruncHalfUp(m_points[0].y), TruncHalfUp(m_points[1].x),
              TruncHalfUp(m_points[1].y));
    box.NormalizeRect();
    return box;
}

int CQvGObjectRect::GetHitTestRgn(CRgn& rgn)
{
    const int reach = GetZoomTolerance();
    CRect outer = GetMBR();
    CRect inner = outer;
    outer.InflateRect(reach);
    inner.DeflateRect(reach);

    CRgn outerRgn;
    CRgn innerRgn;
    outerRgn.CreateRectRgnIndirect(&outer);
    innerRgn.CreateRectRgnIndirect(&inner);
    rgn.CreateRectRgn(0, 0, 0, 0);
    rgn.CombineRgn(&outerRgn, &innerRgn, RGN_DIFF);
    for (int handle = 0; handle < kHandleCount; ++handle) {
        const CPoint p = GetHandlePoint(handle);
        CRgn grip;
        grip.CreateRectRgn(p.x - 4, p.y - 4, p.x + 4, p.y + 4);
        rgn.CombineRgn(&rgn, &grip, RGN_OR);
    }
    return 1;
}

void CQvGObjectRect::SetCalType()
{
    m_calType = CAL_LENGTH | CAL_WIDTH | CAL_HEIGHT | CAL_DIAGONAL | CAL_AREA | CAL_CIRCULAR_MIL;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectRect::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    const double s = GetUnitsPerPixel();
    const double dx = m_points[0].x - m_points[1].x;
    const double dy = m_points[0].y - m_points[1].y;
    const double width = std::abs(s * dx);
    const double height = std::abs(s * dy);
    switch (data.kind) {
    case CAL_LENGTH: data.value1 = 2.0 * (height + width); return 1;
    case CAL_WIDTH: data.value1 = width; return 1;
    case CAL_HEIGHT: data.value1 = height; return 1;
    case CAL_DIAGONAL: data.value1 = std::sqrt(s * dx * (s * dx) + s * dy * (s * dy)); return 1;
    case CAL_AREA: data.value1 = height * width; return 1;
    case CAL_CIRCULAR_MIL: {
        double millimetresPerPixel = s;
        const CCalibKeeper* calib = m_container ? m_container->GetCalibKeeper() : nullptr;
        CCalibKeeper::ChangeUnit(calib ? calib->GetUnit() : UNIT_PIXEL, UNIT_MILLIMETER, millimetresPerPixel);
        data.value1 = std::abs(dy * millimetresPerPixel) * std::abs(millimetresPerPixel * dx) *
                      kCircularMilsPerSquareMillimetre;
        return 1;
    }
    default: return 0;
    }
}
