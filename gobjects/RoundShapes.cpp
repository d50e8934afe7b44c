#include "RoundShapes.h"

#include "CQvGObject.h"
#include "CQvGObjectContainer.h"
#include "GeoConversions.h"
#include "GeoHitRegion.h"

#include "CCalibKeeper.h"
#include "gdi/CDC.h"
#include "gdi/CRgn.h"
#include "gdi/GdiDefs.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

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
