#include "gobjects/shapes/CQvGObjectAutoArc.h"

#include "gobjects/geometry/EdgeCircleFit.h"
#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/geometry/GeoFitting.h"
#include "gobjects/geometry/GeoFunctions.h"
#include "gobjects/geometry/GeoHitRegion.h"
#include "gobjects/private/RoundShapes.h"

#include "gdi/CDC.h"
#include "gdi/CRgn.h"
#include "gdi/GdiDefs.h"
#include "qvimage/CQvImage.h"
#include "types/Rounding.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kArcBandHalf = 10.0;
// The hit band follows the arc in chords of this many degrees.
constexpr double kHitChordDegrees = 5.0;

// The circle through three points; false when two coincide or they are collinear.
bool CircleThrough(const _RPOINT& a, const _RPOINT& b, const _RPOINT& c, _RPOINT& centre, double& radius)
{
    _RPOINT three[3] = {a, b, c};
    if (!FitCircleLeastSquares(three))
        return false;
    centre = {(three[0].x + three[1].x) / 2.0, (three[0].y + three[1].y) / 2.0};
    radius = (three[1].x - three[0].x) / 2.0;
    return std::isfinite(radius) && radius > 0.0;
}

// The point of the circle at `degrees` (screen, counter-clockwise).
_RPOINT CirclePoint(const _RPOINT& centre, double radius, double degrees)
{
    _RPOINT p{centre.x + radius, centre.y};
    RotatePoints(degrees, centre.x, centre.y, &p, 1);
    return p;
}

}  // namespace

CQvGObjectAutoArc::CQvGObjectAutoArc()
{
    m_shape = SHAPE_AUTO_ARC;
}

void CQvGObjectAutoArc::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

void CQvGObjectAutoArc::ArcHolding(const _RPOINT& centre, const _RPOINT& a, const _RPOINT& b, const _RPOINT& m,
                                   double& startAngle, double& extent)
{
    const double a0 = GetLineAngle360(centre.x, centre.y, a.x, a.y);
    const double a1 = GetLineAngle360(centre.x, centre.y, b.x, b.y);
    const double a2 = GetLineAngle360(centre.x, centre.y, m.x, m.y);
    const double lo = std::min(a0, a1);
    const double hi = std::max(a0, a1);
    // The arc meant is the one the third point lies on: strictly between the ends' angles, or round the other way.
    if (a2 > lo && a2 < hi) {
        startAngle = lo;
        extent = hi - lo;
    } else {
        startAngle = hi;
        extent = 360.0 - (hi - lo);
    }
}

int CQvGObjectAutoArc::GetArcFrom3Points(const _RPOINT& p1, const _RPOINT& p2, const _RPOINT& p3, _RPOINT& centre,
                                         double& radius, _RPOINT& start, double& startAngle, _RPOINT& end,
                                         double& endAngle, double& sweep)
{
    if (!CircleThrough(p1, p2, p3, centre, radius))
        return -1;
    start = p1;
    end = p2;
    startAngle = GetLineAngle360(centre.x, centre.y, p1.x, p1.y);
    endAngle = GetLineAngle360(centre.x, centre.y, p2.x, p2.y);
    const double a3 = GetLineAngle360(centre.x, centre.y, p3.x, p3.y);
    const bool between = (a3 > startAngle && a3 < endAngle) || (a3 < startAngle && a3 > endAngle);
    sweep = between ? endAngle - startAngle : endAngle + 360.0 - startAngle;
    if (sweep > 360.0)
        sweep -= 720.0;
    return 1;
}

int CQvGObjectAutoArc::FindAutoEdge(const CGreyPixels& work, std::vector<_RPOINT>& edges, _RPOINT centre, double r1,
                                    double r2, double startAngle, double sweep, int outsideIn)
{
    const double mean = (r1 + r2) / 2.0;
    if (mean == 0.0)
        return 0;
    const double step = kProfileSpacing / mean;
    const double theta0 = startAngle * std::numbers::pi / 180.0;
    const double theta1 = theta0 + sweep * std::numbers::pi / 180.0;
    std::vector<CEdgeProfile::Segment> segments;
    for (double theta = theta0; sweep > 0 ? theta <= theta1 : theta >= theta1; theta += sweep > 0 ? step : -step) {
        // GetPolarPoint's sums for both radii, with the cosine and sine taken once.
        const double c = std::cos(theta);
        const double s = std::sin(theta);
        const _RPOINT inner{centre.x + r1 * c, centre.y + r1 * s};
        const _RPOINT outer{centre.x + r2 * c, centre.y + r2 * s};
        segments.push_back(outsideIn ? CEdgeProfile::Segment{outer, inner} : CEdgeProfile::Segment{inner, outer});
    }
    return FindEdges(work, segments, edges);
}

void CQvGObjectAutoArc::Finish()
{
    HideRealtimeResultBox();
    m_pointCount = 3;
    m_state = GS_FAILED;
    _RPOINT drawnCentre{};
    double drawnRadius = 0.0;
    CGreyPixels work;
    // Three collinear clicks make no arc to scan along.
    if (!CircleThrough(m_points[0], m_points[1], m_points[2], drawnCentre, drawnRadius) || !MakeWorkImage(work))
        return;
    double start = 0.0;
    double extent = 0.0;
    ArcHolding(drawnCentre, m_points[0], m_points[1], m_points[2], start, extent);
    // Clockwise radians from the counter-clockwise screen degrees; the scan runs backwards over the arc.
    std::vector<_RPOINT> edges;
    const double inner = drawnRadius > kArcBandHalf ? drawnRadius - kArcBandHalf : 1.0;
    const int profiles =
        FindAutoEdge(work, edges, drawnCentre, inner, drawnRadius + kArcBandHalf, 360.0 - start, -extent, 1);
    _RPOINT centre{};
    double radius = 0.0;
    const double largest = 2.0 * (work.GetWidth() + work.GetHeight());
    if (!FitEdgeCircle(edges, largest, centre, radius) ||
        2 * CountNearCircle(edges, centre, radius, kAgreement) < profiles)
        return;
    if (edges.size() == 3) {
        m_points[0] = edges[0];
        m_points[1] = edges[2];
        m_points[2] = edges[1];
    } else {
        std::vector<double> angles;
        for (const _RPOINT& e : edges) {
            const double a = GetLineAngle360(centre.x, centre.y, e.x, e.y);
            // An edge point exactly at angle 0 is left out, as one on the centre (angle -1) is.
            if (a > 0.0)
                angles.push_back(a);
        }
        if (angles.size() < 2)
            return;
        std::sort(angles.begin(), angles.end());
        angles.push_back(angles.front() + 360.0);
        size_t widest = 0;
        for (size_t k = 1; k + 1 < angles.size(); ++k)
            if (angles[k + 1] - angles[k] > angles[widest + 1] - angles[widest])
                widest = k;
        const double s = angles[widest];
        double e = angles[widest + 1];
        if (e > 360.0)
            e -= 360.0;
        const _RPOINT drawnThird = m_points[2];
        m_points[0] = CirclePoint(centre, radius, s);
        m_points[1] = CirclePoint(centre, radius, e);
        m_points[2] = CirclePoint(centre, radius, GetLineAngle360(centre.x, centre.y, drawnThird.x, drawnThird.y));
    }
    m_state = GS_FINISHED;
    GetMBR();
    AddLabelBetweenFirstPoints();
}

bool CQvGObjectAutoArc::GetCircle(_RPOINT& centre, double& radius) const
{
    return CircleThrough(m_points[0], m_points[1], m_points[2], centre, radius);
}

int CQvGObjectAutoArc::GetHandle(CRect rect)
{
    int handle = -1;
    if (m_state == GS_ADDING && m_pointCount > 0) {
        handle = m_pointCount - 1;
    } else {
        for (int i = std::min(m_pointCount, 3) - 1; i >= 0; --i)
            if (rect.PtInRect(Rounded(m_points[i]))) {
                handle = i;
                break;
            }
    }
    m_selectedHandle = handle;
    return handle;
}

CRect CQvGObjectAutoArc::GetMBR()
{
    CRect box = PointsBox(std::clamp(m_pointCount, 2, 3));
    box.InflateRect(36);
    return box;
}

void CQvGObjectAutoArc::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    FeedRealtimeResultBox(flag);
    _RPOINT centre{};
    double radius = 0.0;
    if (m_pointCount < 3 || !GetCircle(centre, radius)) {
        DrawSegment(dc, MapToWindow(m_points[0], *origin, *ratio), MapToWindow(m_points[1], *origin, *ratio));
        if (!IsAnnotation() && flag == kPaintRubberBand)
            DrawBand(dc, m_points[0], m_points[1], *origin, *ratio);
        return;
    }
    double start = 0.0;
    double extent = 0.0;
    ArcHolding(centre, m_points[0], m_points[1], m_points[2], start, extent);
    auto arc = [&](double r) {
        const CPoint lt = MapToWindow(_RPOINT{centre.x - r, centre.y - r}, *origin, *ratio);
        const CPoint rb = MapToWindow(_RPOINT{centre.x + r, centre.y + r}, *origin, *ratio);
        const CRect box(lt.x, lt.y, rb.x + 1, rb.y + 1);
        if (!IsDrawableEllipseBox(box))
            return;
        // GDI arcs run counter-clockwise on screen from the radial through the first point to the second.
        dc->Arc(&box, MapToWindow(CirclePoint(centre, r, start), *origin, *ratio),
                MapToWindow(CirclePoint(centre, r, start + extent), *origin, *ratio));
    };
    arc(radius);
    if (m_state == GS_ADDING && !IsAnnotation()) {
        if (radius > kArcBandHalf)
            arc(radius - kArcBandHalf);
        arc(radius + kArcBandHalf);
    }
}

int CQvGObjectAutoArc::GetHitTestRgn(CRgn& rgn)
{
    _RPOINT centre{};
    double radius = 0.0;
    rgn.CreateRectRgn(0, 0, 0, 0);
    if (m_pointCount >= 3 && GetCircle(centre, radius)) {
        double start = 0.0;
        double extent = 0.0;
        ArcHolding(centre, m_points[0], m_points[1], m_points[2], start, extent);
        const int chords = std::max(1, static_cast<int>(std::ceil(extent / kHitChordDegrees)));
        _RPOINT previous = CirclePoint(centre, radius, start);
        for (int i = 1; i <= chords; ++i) {
            const _RPOINT next = CirclePoint(centre, radius, start + extent * i / chords);
            CRgn chord;
            CreateLineHitRgn(chord, previous, next, GetZoomTolerance(), CPoint(0, 0), 1.0);
            rgn.CombineRgn(&rgn, &chord, RGN_OR);
            previous = next;
        }
    }
    for (int i = 0; i < std::min(m_pointCount, 3); ++i)
        AddGripSquare(rgn, Rounded(m_points[i]));
    return 1;
}

void CQvGObjectAutoArc::SetCalType()
{
    m_calType = kQuantities;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectAutoArc::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    _RPOINT centre{};
    double radius = 0.0;
    if (!(data.kind & kQuantities) || m_pointCount < 3 || !GetCircle(centre, radius))
        return 0;
    double start = 0.0;
    double extent = 0.0;
    ArcHolding(centre, m_points[0], m_points[1], m_points[2], start, extent);
    const double s = GetUnitsPerPixel();
    switch (data.kind) {
    case CAL_ANGLE: data.value1 = extent; return 1;
    case CAL_LENGTH: data.value1 = s * 2.0 * radius * (extent / 360.0) * std::numbers::pi; return 1;
    case CAL_MAX_RADIUS:
    case CAL_MIN_RADIUS: data.value1 = s * radius; return 1;
    default: return 0;
    }
}
