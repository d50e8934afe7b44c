#include "gobjects/shapes/CQvGObjectAutoLine.h"

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/geometry/GeoFunctions.h"
#include "gobjects/geometry/GeoHitRegion.h"

#include "gdi/CDC.h"
#include "gdi/CPen.h"
#include "gdi/GdiDefs.h"
#include "mediola/MdLineFit.h"
#include "qvimage/CQvImage.h"

#include <algorithm>
#include <cmath>

namespace {

// The angular resolution the edge tools ask of the robust line fit.
constexpr int kLineFitAngleBins = 500;

}  // namespace

CQvGObjectAutoLine::CQvGObjectAutoLine()
{
    m_shape = SHAPE_AUTO_LINE;
    m_points.assign(5, _RPOINT{0.0, 0.0});
}

void CQvGObjectAutoLine::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

bool CQvGObjectAutoLine::MakeWorkImage(CGreyPixels& work) const
{
    work = CGreyPixels(m_container ? m_container->GetActiveImage() : nullptr);
    return work.IsValid();
}

void CQvGObjectAutoLine::BandCorners(const _RPOINT& q0, const _RPOINT& q1, double half, _RPOINT corners[4])
{
    corners[0] = {q0.x, q0.y - half};
    corners[1] = {q0.x, q0.y + half};
    RotatePoints(GetLineAngle360(q0.x, q0.y, q1.x, q1.y), q0.x, q0.y, corners, 2);
    corners[2] = {q1.x, q1.y - half};
    corners[3] = {q1.x, q1.y + half};
    RotatePoints(GetLineAngle360(q1.x, q1.y, q0.x, q0.y), q1.x, q1.y, corners + 2, 2);
}

int CQvGObjectAutoLine::FindAutoEdge(const CGreyPixels& work, std::vector<_RPOINT>& edges, _RPOINT p0, _RPOINT p1,
                                     _RPOINT p2)
{
    const double d01 = GetLineAngle(p0.x, p0.y, p1.x, p1.y);
    const double l01 = GetDistance(p0.x, p0.y, p1.x, p1.y);
    const double d12 = GetLineAngle(p1.x, p1.y, p2.x, p2.y);
    const double l12 = GetDistance(p1.x, p1.y, p2.x, p2.y);
    _RPOINT q0{};
    GetPolarPoint(q0, p0.x, p0.y, d12, l12);
    std::vector<CEdgeProfile::Segment> segments;
    for (float l = 0.0f; l < l01; l += static_cast<float>(kProfileSpacing)) {
        CEdgeProfile::Segment& s = segments.emplace_back();
        GetPolarPoint(s.start, p0.x, p0.y, d01, l);
        GetPolarPoint(s.end, q0.x, q0.y, d01, l);
    }
    return FindEdges(work, segments, edges);
}

int CQvGObjectAutoLine::FindEdges(const CGreyPixels& work, const std::vector<CEdgeProfile::Segment>& segments,
                                  std::vector<_RPOINT>& edges)
{
    std::vector<_RPOINT> points;
    std::vector<char> found;
    m_profile.FindSinglePoints(work, segments, points, found);
    for (size_t i = 0; i < segments.size(); ++i)
        if (found[i])
            edges.push_back(points[i]);
    return static_cast<int>(segments.size());
}

bool CQvGObjectAutoLine::SnapLine(const CGreyPixels& work, _RPOINT& q0, _RPOINT& q1)
{
    _RPOINT band[4];
    BandCorners(q0, q1, kBandHalf, band);
    std::vector<_RPOINT> edges;
    const int profiles = FindAutoEdge(work, edges, band[1], band[2], band[3]);
    if (edges.size() < 2)
        return false;
    std::vector<CMdPointF> points;
    for (const _RPOINT& e : edges)
        points.push_back({static_cast<float>(e.x), static_cast<float>(e.y)});
    CMdPointF start{};
    CMdPointF end{};
    const int agreeing =
        MDF_GetLineBestFitHT(start, end, points.data(), static_cast<int>(points.size()), kLineFitAngleBins);
    // Edges that only some profiles see are noise taken for an edge, not the edge that was drawn along.
    if (agreeing < 2 || 2 * agreeing < profiles)
        return false;
    q0 = {start.x, start.y};
    q1 = {end.x, end.y};
    return true;
}

void CQvGObjectAutoLine::Finish()
{
    HideRealtimeResultBox();
    CGreyPixels work;
    _RPOINT q0 = m_points[0];
    _RPOINT q1 = m_points[1];
    m_pointCount = 2;
    if (!MakeWorkImage(work) || !SnapLine(work, q0, q1)) {
        m_state = GS_FAILED;
        return;
    }
    m_points[0] = q0;
    m_points[1] = q1;
    m_state = GS_FINISHED;
    GetMBR();
    AddLabelBetweenFirstPoints();
}

int CQvGObjectAutoLine::GetHitTestRgn(CRgn& rgn)
{
    CreateLineHitRgn(rgn, m_points[0], m_points[1], GetZoomTolerance(), CPoint(0, 0), 1.0);
    return 1;
}

void CQvGObjectAutoLine::DrawSegment(CDC* dc, const CPoint& a, const CPoint& b)
{
    dc->MoveTo(a);
    dc->LineTo(b);
    LOGPEN pen{};
    if (dc->GetCurrentPen())
        dc->GetCurrentPen()->GetLogPen(&pen);
    if (pen.lopnStyle == PS_NULL || pen.lopnWidth.x > 1)
        return;
    // LineTo leaves the end pixel out; while rubber-banding it goes in the band's raster operation, so that a
    // second drawing still erases it.
    if (dc->GetROP2() == R2_COPYPEN) {
        dc->SetPixel(b, pen.lopnColor);
    } else {
        dc->MoveTo(b);
        dc->LineTo(b.x + 1, b.y);
    }
}

void CQvGObjectAutoLine::DrawBand(CDC* dc, const _RPOINT& q0, const _RPOINT& q1, const CPoint& origin, float ratio)
{
    _RPOINT band[4];
    BandCorners(q0, q1, kBandHalf, band);
    CPoint corners[4];
    for (int i = 0; i < 4; ++i)
        corners[i] = MapToWindow(band[i], origin, ratio);
    dc->MoveTo(corners[0]);
    for (int i = 1; i <= 4; ++i)
        dc->LineTo(corners[i % 4]);
}

void CQvGObjectAutoLine::DrawInvertedGrips(CDC* dc, const CPoint* origin, const float* ratio, int count)
{
    for (int i = 0; i < std::min(count, GetPointSlots()); ++i) {
        const CPoint c = MapToWindow(m_points[i], *origin, *ratio);
        dc->PatBlt(c.x - 4, c.y - 4, 8, 8, DSTINVERT);
    }
}

void CQvGObjectAutoLine::DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag)
{
    FeedRealtimeResultBox(flag);
    DrawSegment(dc, MapToWindow(m_points[0], *origin, *ratio), MapToWindow(m_points[1], *origin, *ratio));
    if (!IsAnnotation() && flag == kPaintRubberBand)
        DrawBand(dc, m_points[0], m_points[1], *origin, *ratio);
}
