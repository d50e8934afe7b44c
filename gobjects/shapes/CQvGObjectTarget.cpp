#include "gobjects/shapes/CQvGObjectTarget.h"

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/private/RoundShapes.h"
#include "gobjects/ui/CObjectPropertyTarget.h"

#include "gdi/CDC.h"
#include "stream/LeStream.h"
#include "types/Rounding.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDefaultGap = 20.0;
// A gap no image could show rings of comes from a damaged record.
constexpr double kMaxGap = 1.0e9;

bool UsableFactor(double factor)
{
    return std::isfinite(factor) && factor > 0.0;
}

bool UsableGap(double gap)
{
    return std::isfinite(gap) && gap > 0.0 && gap <= kMaxGap;
}

// How near and how far the DC's surface lies from a window point, for the rings of the given shape bits.
struct ReachOfSurface
{
    double nearest;
    double farthest;
};

ReachOfSurface SurfaceReach(CDC* dc, double cx, double cy, int32_t flags)
{
    const QImage& surface = dc->GetImage();
    const double w = surface.width();
    const double h = surface.height();
    const double dx = std::max({0.0, -cx, cx - w});
    const double dy = std::max({0.0, -cy, cy - h});
    const double fx = std::max(std::abs(cx), std::abs(cx - w));
    const double fy = std::max(std::abs(cy), std::abs(cy - h));
    // Squares are nearer by the larger coordinate difference, circles farther by the Euclidean distance.
    const bool squares = (flags & CQvGObjectTarget::kSquares) != 0;
    const bool circles = (flags & CQvGObjectTarget::kCircles) != 0;
    return ReachOfSurface{squares ? std::max(dx, dy) : std::hypot(dx, dy),
                          circles ? std::hypot(fx, fy) : std::max(fx, fy)};
}

}  // namespace

CQvGObjectTarget::CQvGObjectTarget()
{
    m_shape = SHAPE_TARGET;
}

CQvGObjectTarget& CQvGObjectTarget::operator=(const CQvGObjectTarget& other)
{
    CQvGObjectPoint::operator=(other);
    m_calibFactor = other.m_calibFactor;
    m_gap = other.m_gap;
    m_shapeFlags = other.m_shapeFlags;
    return *this;
}

int CQvGObjectTarget::SpecificProperty(QWidget* parent)
{
    CObjectPropertyTarget page(this);
    return RunPropertySheet(parent, &page);
}

void CQvGObjectTarget::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

double CQvGObjectTarget::GetCurrentGap() const
{
    const double u = GetUnitsPerPixel();
    if (!UsableFactor(m_calibFactor) || m_calibFactor == u)
        return m_gap;
    return u * (m_gap / m_calibFactor);
}

void CQvGObjectTarget::KeepRingSpacing(double u)
{
    m_gap = GetCurrentGap();
    m_calibFactor = u;
    if (!UsableGap(m_gap) || std::trunc(m_gap / u) < kMinGapPixels)
        m_gap = u * kMinGapPixels;
}

int CQvGObjectTarget::SetGap(double gap)
{
    const double u = GetUnitsPerPixel();
    m_calibFactor = u;
    const bool accepted = UsableGap(gap) && std::trunc(gap / u) >= kMinGapPixels;
    m_gap = accepted ? gap : u * kMinGapPixels;
    if (m_container)
        m_container->SetLatestProperty(this, SHAPE_TARGET);
    return accepted ? 1 : 0;
}

void CQvGObjectTarget::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int /*flag*/)
{
    if (m_pointCount == 0)
        return;
    const CSize canvas = m_container ? m_container->GetCanvasSize() : CSize();
    const double W = canvas.cx;
    const double H = canvas.cy;
    const double x = m_points[0].x;
    const double y = m_points[0].y;
    const double r = *ratio;
    const double X = origin->x + r * x;
    const double Y = origin->y + r * y;

    const int lineY = TruncHalfUp(ClampWindowPosition(Y));
    dc->MoveTo(WindowPixel(0.0, origin->x, r), lineY);
    dc->LineTo(WindowPixel(W - 1, origin->x, r), lineY);
    const int lineX = TruncHalfUp(ClampWindowPosition(X));
    dc->MoveTo(lineX, WindowPixel(0.0, origin->y, r));
    dc->LineTo(lineX, WindowPixel(H - 1, origin->y, r));

    const double u = GetUnitsPerPixel();
    KeepRingSpacing(u);
    if (!(m_shapeFlags & (kCircles | kSquares)))
        return;
    const double stepPixels = m_gap / u;
    const double step = r * stepPixels;
    const double reach = std::max(std::abs(x - W * 0.5), std::abs(y - H * 0.5));
    const double rings = std::trunc((std::max(W, H) * 0.5 + reach) / stepPixels + 0.5) + 1;
    // A ring whose half-side (a circle's radius) is shorter than the point's distance from the image along x or
    // along y cannot reach it; skipping those keeps a point far outside (a damaged record) from costing a paint
    // of a million rings: at most the image's longer side over the step are left.
    const double outsideX = std::max({0.0, -x, x - W});
    const double outsideY = std::max({0.0, -y, y - H});
    const double nearestRing = std::floor(std::max(outsideX, outsideY) / stepPixels);
    double first = W > 0 && H > 0 ? std::max(1.0, nearestRing) : 1.0;
    double last = rings - 1;
    if (!std::isfinite(X) || !std::isfinite(Y) || !(step > 0.0))
        return;
    // Only the rings that can touch the surface are painted, so that the cost follows the surface and not the
    // canvas: a ring of half-size L around the centre meets it only when L lies between the nearest and the
    // farthest distance of the surface from the centre (the Euclidean ones for circles, the largest coordinate
    // difference for squares; two pixels more for rounding). The rings left out would paint nothing.
    const ReachOfSurface spread = SurfaceReach(dc, X + 0.5, Y + 0.5, m_shapeFlags);
    constexpr double kRounding = 2.0;
    first = std::max(first, std::ceil((spread.nearest - kRounding) / step));
    last = std::min(last, std::floor((spread.farthest + kRounding) / step));

    auto boxOf = [&](double i) {
        const double L = i * step;
        // The box trunc(X - L + 0.5) .. trunc(X + L + 1.5) when it is whole in the window range; a ring too large
        // for it reaches no surface the window could have.
        const double edges[4] = {X - L, Y - L, X + L + 1.0, Y + L + 1.0};
        for (double edge : edges)
            if (std::abs(edge) >= kFarWindowCoordinate)
                return CRect(0, 0, -1, -1);
        return CRect(TruncHalfUp(edges[0]), TruncHalfUp(edges[1]), TruncHalfUp(edges[2]), TruncHalfUp(edges[3]));
    };
    for (double i = first; i <= last;) {
        const CRect box = boxOf(i);
        if (box.right < box.left || !IsDrawableEllipseBox(box))
            break;
        // At a tiny zoom many rings round to one box. Painting it n times is painting it once, or twice when n is
        // even (twice cancels in an inverting mix mode): found by halving, the rings that share it cost one.
        double sameLast = i;
        if (i + 1 <= last && boxOf(i + 1) == box) {
            double lo = i + 1;
            double hi = last;
            while (lo < hi) {
                const double mid = std::floor(lo + (hi - lo + 1) / 2);
                if (boxOf(mid) == box)
                    lo = mid;
                else
                    hi = mid - 1;
            }
            sameLast = lo;
        }
        const int times = std::fmod(sameLast - i + 1, 2.0) == 0.0 ? 2 : 1;
        for (int t = 0; t < times; ++t) {
            if (m_shapeFlags & kCircles)
                dc->Ellipse(box.left, box.top, box.right, box.bottom);
            if (m_shapeFlags & kSquares)
                dc->Rectangle(box.left, box.top, box.right, box.bottom);
        }
        i = sameLast + 1;
    }
}

CRect CQvGObjectTarget::GetInvalidateRect()
{
    CRect box = CQvGObject::GetInvalidateRect();
    const CSize canvas = m_container ? m_container->GetCanvasSize() : CSize();
    if (canvas.cx > 0 && canvas.cy > 0)
        box.UnionRect(box, CRect(-8, -8, RoundHalfAway(canvas.cx + 8.0), RoundHalfAway(canvas.cy + 8.0)));
    return box;
}

void CQvGObjectTarget::WriteShapeFields(LeWriter& out)
{
    out.Float(static_cast<float>(GetCurrentGap()));
    out.Int32(m_shapeFlags);
}

int CQvGObjectTarget::ReadShapeFields(LeReader& in, float version)
{
    if (!CQvGObject::ReadShapeFields(in, version))
        return 0;
    const double gap = in.Float();
    const int32_t flags = in.Int32();
    if (!in.ok())
        return 0;
    m_gap = UsableGap(gap) ? gap : kDefaultGap;
    m_calibFactor = GetUnitsPerPixel();
    m_shapeFlags = flags;
    return 1;
}

void CQvGObjectTarget::LoadShapeDefaults(const CQvGObjectPropertyTotal& defaults)
{
    const double gap = defaults.GetTargetGap();
    m_gap = UsableGap(gap) ? gap : kDefaultGap;
    const double factor = defaults.GetTargetFactor();
    m_calibFactor = UsableFactor(factor) ? factor : GetUnitsPerPixel();
    m_shapeFlags = defaults.GetTargetFlags();
}

void CQvGObjectTarget::StoreShapeDefaults(CQvGObjectPropertyTotal& defaults) const
{
    defaults.SetTargetGap(static_cast<float>(m_gap));
    defaults.SetTargetFactor(m_calibFactor);
    defaults.SetTargetFlags(m_shapeFlags);
}
