#include "gobjects/shapes/CQvGObjectAutoCircle.h"

#include "gobjects/geometry/EdgeCircleFit.h"
#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/geometry/GeoFitting.h"
#include "gobjects/geometry/GeoFunctions.h"
#include "gobjects/private/RoundShapes.h"

#include "gdi/CDC.h"
#include "gdi/CRgn.h"
#include "gdi/GdiDefs.h"
#include "qvimage/CQvImage.h"
#include "types/Rounding.h"

#include <cmath>
#include <numbers>

namespace {

// The window box of the circle about c with radius r: right and bottom one beyond, as GDI draws ellipses.
CRect WindowCircleBox(const _RPOINT& c, double r, const CPoint& origin, float ratio)
{
    const CPoint lt = CQvGObject::MapToWindow(_RPOINT{c.x - r, c.y - r}, origin, ratio);
    const CPoint rb = CQvGObject::MapToWindow(_RPOINT{c.x + r, c.y + r}, origin, ratio);
    return CRect(lt.x, lt.y, rb.x + 1, rb.y + 1);
}

void DrawHollowEllipse(CDC* dc, const CRect& box)
{
    if (!IsDrawableEllipseBox(box))
        return;
    CGdiObject* oldBrush = dc->SelectStockObject(HOLLOW_BRUSH);
    dc->Ellipse(&box);
    dc->SelectObject(oldBrush);
}

}  // namespace

CQvGObjectAutoCircle::CQvGObjectAutoCircle()
{
    m_shape = SHAPE_AUTO_CIRCLE;
}

void CQvGObjectAutoCircle::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

int CQvGObjectAutoCircle::FindAutoEdge(const CGreyPixels& work, std::vector<_RPOINT>& edges, _RPOINT centre, double r1,
                                       double r2, int outsideIn)
{
    const double mean = (r1 + r2) / 2.0;
    if (mean == 0.0)
        return 0;
    const float step = static_cast<float>(kProfileSpacing / mean);
    std::vector<CEdgeProfile::Segment> segments;
    for (float theta = 0.0f; theta <= 2.0 * std::numbers::pi; theta += step) {
        // GetPolarPoint's sums for both radii, with the cosine and sine taken once.
        const double c = std::cos(static_cast<double>(theta));
        const double s = std::sin(static_cast<double>(theta));
        const _RPOINT inner{centre.x + r1 * c, centre.y + r1 * s};
        const _RPOINT outer{centre.x + r2 * c, centre.y + r2 * s};
        segments.push_back(outsideIn ? CEdgeProfile::Segment{outer, inner} : CEdgeProfile::Segment{inner, outer});
    }
    return FindEdges(work, segments, edges);
}

void CQvGObjectAutoCircle::Finish()
{
    HideRealtimeResultBox();
    m_pointCount = 2;
    m_state = GS_FAILED;
    _RPOINT drawnCentre{};
    double drawnRadius = 0.0;
    CGreyPixels work;
    if (!GetCircleFromDiameter(m_points[0], m_points[1], drawnCentre, drawnRadius) || !MakeWorkImage(work))
        return;
    std::vector<_RPOINT> edges;
    const double inner = drawnRadius > kScanDepth ? drawnRadius - kScanDepth : 1.0;
    const int profiles = FindAutoEdge(work, edges, drawnCentre, inner, drawnRadius, 1);
    _RPOINT centre{};
    double radius = 0.0;
    const double largest = 2.0 * (work.GetWidth() + work.GetHeight());
    if (!FitEdgeCircle(edges, largest, centre, radius) ||
        2 * CountNearCircle(edges, centre, radius, kAgreement) < profiles)
        return;
    m_points[0] = {centre.x, centre.y - radius};
    m_points[1] = {centre.x, centre.y + radius};
    m_state = GS_FINISHED;
    GetMBR();
    AddLabelBetweenFirstPoints();
}

int CQvGObjectAutoCircle::GetHandle(CRect rect)
{
    int handle = -1;
    if (m_state == GS_ADDING && m_pointCount > 0)
        handle = m_pointCount - 1;
    else if (m_pointCount > 1 && rect.PtInRect(Rounded(m_points[1])))
        handle = 1;
    else if (m_pointCount > 0 && rect.PtInRect(Rounded(m_points[0])))
        handle = 0;
    m_selectedHandle = handle;
    return handle;
}

void CQvGObjectAutoCircle::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    FeedRealtimeResultBox(flag);
    _RPOINT centre{};
    double radius = 0.0;
    GetCircleFromDiameter(m_points[0], m_points[1], centre, radius);
    DrawHollowEllipse(dc, WindowCircleBox(centre, radius, *origin, *ratio));
    if (m_state == GS_ADDING) {
        // The inner end of the scan, where the scan will be: image pixels, whatever the zoom.
        if (radius > kScanDepth)
            DrawHollowEllipse(dc, WindowCircleBox(centre, radius - kScanDepth, *origin, *ratio));
        return;
    }
    dc->MoveTo(MapToWindow(centre, *origin, *ratio));
    dc->LineTo(MapToWindow(_RPOINT{centre.x + radius, centre.y}, *origin, *ratio));
}

int CQvGObjectAutoCircle::GetHitTestRgn(CRgn& rgn)
{
    _RPOINT centre{};
    double radius = 0.0;
    GetCircleFromDiameter(m_points[0], m_points[1], centre, radius);
    const CRect box(TruncHalfUp(centre.x - radius), TruncHalfUp(centre.y - radius), TruncHalfUp(centre.x + radius),
                    TruncHalfUp(centre.y + radius));
    CreateEllipticRingRgn(rgn, box, GetZoomTolerance());
    AddGripSquare(rgn, Rounded(m_points[0]));
    AddGripSquare(rgn, Rounded(m_points[1]));
    return 1;
}

void CQvGObjectAutoCircle::SetCalType()
{
    m_calType = kQuantities;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectAutoCircle::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    _RPOINT centre{};
    double radius = 0.0;
    GetCircleFromDiameter(m_points[0], m_points[1], centre, radius);
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
