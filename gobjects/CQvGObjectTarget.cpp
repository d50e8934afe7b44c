#include "CQvGObjectTarget.h"

#include "CQvGObjectContainer.h"
#include "CQvGObjectPropertyTotal.h"
#include "RoundShapes.h"

#include "gdi/CDC.h"
#include "stream/LeStream.h"
#include "types/Rounding.h"

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
    const double X = origin->x + static_cast<double>(*ratio) * x;
    const double Y = origin->y + static_cast<double>(*ratio) * y;

    const int lineY = TruncHalfUp(Y);
    dc->MoveTo(TruncHalfUp(origin->x), lineY);
    dc->LineTo(MapToWindow(W - 1, origin->x, *ratio), lineY);
    const int lineX = TruncHalfUp(X);
    dc->MoveTo(lineX, TruncHalfUp(origin->y));
    dc->LineTo(lineX, MapToWindow(H - 1, origin->y, *ratio));

    const double u = GetUnitsPerPixel();
    KeepRingSpacing(u);
    if (!(m_shapeFlags & (kCircles | kSquares)))
        return;
    const double stepPixels = m_gap / u;
    const double step = *ratio * stepPixels;
    const double reach = std::max(std::abs(x - W * 0.5), std::abs(y - H * 0.5));
    const double rings = std::trunc((std::max(W, H) * 0.5 + reach) / stepPixels + 0.5) + 1;
    // A ring whose half-side (a circle's radius) is shorter than the point's distance from the image along x or
    // along y cannot reach it; skipping those keeps a point far outside (a damaged record) from costing a paint
    // of a million rings: at most the image's longer side over the step are left.
    const double outsideX = std::max({0.0, -x, x - W});
    const double outsideY = std::max({0.0, -y, y - H});
    const double nearestRing = std::floor(std::max(outsideX, outsideY) / stepPixels);
    const double firstRing = W > 0 && H > 0 ? std::max(1.0, nearestRing) : 1.0;
    for (double i = firstRing; i < rings; ++i) {
        const double L = i * step;
        const int left = TruncHalfUp(X - L);
        const int top = TruncHalfUp(Y - L);
        // trunc(X + L + 1.5), saturated like the others: a far point at a high zoom lies beyond any int.
        const int right = TruncHalfUp(X + L + 1.0);
        const int bottom = TruncHalfUp(Y + L + 1.0);
        if (!IsDrawableEllipseBox(CRect(left, top, right, bottom)))
            break;
        if (m_shapeFlags & kCircles)
            dc->Ellipse(left, top, right, bottom);
        if (m_shapeFlags & kSquares)
            dc->Rectangle(left, top, right, bottom);
    }
}

CRect CQvGObjectTarget::GetInvalidateRect()
{
    CRect box = CQvGObject::GetInvalidateRect();
    const CSize canvas = m_container ? m_container->GetCanvasSize() : CSize();
    if (canvas.cx > 0 && canvas.cy > 0)
        box.UnionRect(box, CRect(-8, -8, canvas.cx + 8, canvas.cy + 8));
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
