#include "GeoHitRegion.h"

#include "GeoConversions.h"
#include "GeoFunctions.h"

#include "gdi/CRgn.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr double kHalfBand = 3.0;

}  // namespace

void CreateBoundedPolygonRgn(CRgn& rgn, const POINT* vertices, int count, int fillMode)
{
    if (count <= 0) {
        rgn.CreateRectRgn(0, 0, 0, 0);
        return;
    }
    auto [left, right] = std::minmax_element(vertices, vertices + count,
                                             [](const POINT& a, const POINT& b) { return a.x < b.x; });
    auto [top, bottom] = std::minmax_element(vertices, vertices + count,
                                             [](const POINT& a, const POINT& b) { return a.y < b.y; });
    if (int64_t(right->x) - left->x > kMaxRegionSpan || int64_t(bottom->y) - top->y > kMaxRegionSpan) {
        rgn.CreateRectRgn(0, 0, 0, 0);
        return;
    }
    rgn.CreatePolygonRgn(vertices, count, fillMode);
}

void MakeHitPolygon(_RPOINT* points, double margin)
{
    const double direction = GetLineAngle360(points[0].x, points[0].y, points[1].x, points[1].y);
    // Screen degrees turn counter-clockwise with y down, hence the negated sine.
    const double dx = margin * CosDeg(direction);
    const double dy = -margin * SinDeg(direction);
    points[0].x -= dx;
    points[0].y -= dy;
    points[1].x += dx;
    points[1].y += dy;
}

void CreateLineHitRgn(CRgn& rgn, const _RPOINT& p1, const _RPOINT& p2, double margin, const CPoint& origin,
                      double ratio)
{
    _RPOINT ends[2] = {{ratio * p1.x + origin.x, ratio * p1.y + origin.y},
                       {ratio * p2.x + origin.x, ratio * p2.y + origin.y}};
    MakeHitPolygon(ends, margin);
    const _RPOINT& start = ends[0];
    const _RPOINT& end = ends[1];

    // Each end's pair of corners is a short stroke across the segment, turned about that end; the end's stroke is
    // turned by the reverse direction, so the four corners go round the band without crossing.
    _RPOINT atStart[2] = {{start.x, start.y - kHalfBand}, {start.x, start.y + kHalfBand}};
    _RPOINT atEnd[2] = {{end.x, end.y - kHalfBand}, {end.x, end.y + kHalfBand}};
    RotatePoints(GetLineAngle360(start.x, start.y, end.x, end.y), start.x, start.y, atStart, 2);
    RotatePoints(GetLineAngle360(end.x, end.y, start.x, start.y), end.x, end.y, atEnd, 2);

    const _RPOINT corners[4] = {atStart[0], atStart[1], atEnd[0], atEnd[1]};
    POINT polygon[4];
    DPointsToPoints(corners, polygon, 4);
    CreateBoundedPolygonRgn(rgn, polygon, 4, ALTERNATE);
}
