#include "gobjects/private/RoundShapes.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/geometry/GeoHitRegion.h"

#include "calibkeeper/CCalibKeeper.h"
#include "gdi/CDC.h"
#include "gdi/CRgn.h"
#include "gdi/GdiDefs.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

double MillimetresPerPixel(const CQvGObject& obj)
{
    double millimetres = obj.GetUnitsPerPixel();
    const CQvGObjectContainer* container = obj.GetContainer();
    const CCalibKeeper* calib = container ? container->GetCalibKeeper() : nullptr;
    CCalibKeeper::ChangeUnit(calib ? calib->GetUnit() : UNIT_PIXEL, UNIT_MILLIMETER, millimetres);
    return millimetres;
}

double CircularMilsOfArea(const CQvGObject& obj, double squarePixels)
{
    const double millimetres = MillimetresPerPixel(obj);
    return squarePixels * millimetres * millimetres * kCircularMilsPerSquareMillimetre;
}

void CreateEllipticRingRgn(CRgn& rgn, const CRect& box, int reach)
{
    rgn.CreateRectRgn(0, 0, 0, 0);
    const int64_t width = int64_t(box.right) - box.left + 2 * int64_t(reach);
    const int64_t height = int64_t(box.bottom) - box.top + 2 * int64_t(reach);
    if (std::max(std::abs(width), std::abs(height)) > kMaxRegionSpan)
        return;
    CRect outer = box;
    CRect inner = box;
    outer.InflateRect(reach);
    inner.DeflateRect(reach);
    CRgn outerRgn;
    CRgn innerRgn;
    outerRgn.CreateEllipticRgnIndirect(&outer);
    innerRgn.CreateEllipticRgnIndirect(&inner);
    rgn.CombineRgn(&outerRgn, &innerRgn, RGN_DIFF);
}

void AddGripSquare(CRgn& rgn, CPoint p)
{
    CRgn grip;
    grip.CreateRectRgn(p.x - 4, p.y - 4, p.x + 4, p.y + 4);
    rgn.CombineRgn(&rgn, &grip, RGN_OR);
}

namespace {

CRect SaturatedBox(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    const auto fit = [](int64_t v) {
        return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    };
    return CRect(fit(left), fit(top), fit(right), fit(bottom));
}

}  // namespace

CRect RingBounds(const CRect& box, int reach)
{
    // The outer ellipse is the box inflated by the reach, and its region stays inside that box; one more pixel for
    // the rounding of the ellipse's edge.
    CRect normal = box;
    normal.NormalizeRect();
    const int64_t grow = std::abs(int64_t(reach)) + 1;
    return SaturatedBox(normal.left - grow, normal.top - grow, normal.right + grow, normal.bottom + grow);
}

CRect GripBounds(CPoint p)
{
    return SaturatedBox(int64_t(p.x) - 4, int64_t(p.y) - 4, int64_t(p.x) + 4, int64_t(p.y) + 4);
}

CRect UniteBounds(const CRect& a, const CRect& b)
{
    if (a.IsRectEmpty())
        return b;
    if (b.IsRectEmpty())
        return a;
    return CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom));
}

bool IsDrawableEllipseBox(const CRect& box)
{
    constexpr int64_t kMaxSpan = int64_t(1) << 30;
    return std::abs(int64_t(box.right) - box.left) < kMaxSpan && std::abs(int64_t(box.bottom) - box.top) < kMaxSpan;
}

void DrawEllipseInBox(CDC* dc, const CRect& box, bool radiusLine)
{
    if (!IsDrawableEllipseBox(box))
        return;
    const int right = box.right + 1;
    dc->Ellipse(box.left, box.top, right, box.bottom + 1);
    if (!radiusLine)
        return;
    const int middle = HalfSum(box.top, box.bottom + int64_t(1));
    dc->MoveTo(HalfSum(right, box.left), middle);
    dc->LineTo(right, middle);
}
