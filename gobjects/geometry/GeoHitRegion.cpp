#include "gobjects/geometry/GeoHitRegion.h"

#include "gobjects/geometry/GeoConversions.h"
#include "gobjects/geometry/GeoFunctions.h"

#include "gdi/CRgn.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kHalfBand = 3.0;

// The pixel columns x of one row y whose points (x, y) lie strictly inside an ellipse, as doubles (the columns of a
// huge ellipse need not fit in int). Empty when first > last.
struct ColumnSpan
{
    double first = 1;
    double last = 0;
};

// The ellipse filling the box from (left, top) to (right, bottom); an inverted or flat box holds none.
class PixelEllipse
{
public:
    PixelEllipse(int64_t left, int64_t top, int64_t right, int64_t bottom)
        : m_empty(right <= left || bottom <= top),
          m_top(top),
          m_bottom(bottom),
          m_centreX((double(left) + double(right)) / 2.0),
          m_centreY((double(top) + double(bottom)) / 2.0),
          m_halfWidth((double(right) - double(left)) / 2.0),
          m_halfHeight((double(bottom) - double(top)) / 2.0)
    {
    }

    bool Empty() const { return m_empty; }
    // Rows y with top < y < bottom hold the only pixels that can lie inside; Row answers for any row.
    int64_t Top() const { return m_top; }
    int64_t Bottom() const { return m_bottom; }

    ColumnSpan Row(int64_t y) const
    {
        if (m_empty)
            return {};
        const double dy = (double(y) - m_centreY) / m_halfHeight;
        const double across = 1.0 - dy * dy;
        if (!(across > 0))
            return {};
        const double reach = m_halfWidth * std::sqrt(across);
        // Columns x with |x - centre| < reach.
        return {std::floor(m_centreX - reach) + 1, std::ceil(m_centreX + reach) - 1};
    }

private:
    bool m_empty;
    int64_t m_top;
    int64_t m_bottom;
    double m_centreX;
    double m_centreY;
    double m_halfWidth;
    double m_halfHeight;
};

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

bool PixelsMeetEllipticRing(const CRect& box, int reach, const CRect& pixels)
{
    if (pixels.right < pixels.left || pixels.bottom < pixels.top)
        return false;
    const int64_t r = reach;
    const PixelEllipse outer(int64_t(box.left) - r, int64_t(box.top) - r, int64_t(box.right) + r,
                             int64_t(box.bottom) + r);
    const PixelEllipse inner(int64_t(box.left) + r, int64_t(box.top) + r, int64_t(box.right) - r,
                             int64_t(box.bottom) - r);
    if (outer.Empty())
        return false;
    const int64_t firstRow = std::max<int64_t>(pixels.top, outer.Top());
    const int64_t lastRow = std::min<int64_t>(pixels.bottom, outer.Bottom() - 1);
    for (int64_t y = firstRow; y <= lastRow; ++y) {
        const ColumnSpan out = outer.Row(y);
        const double first = std::max<double>(pixels.left, out.first);
        const double last = std::min<double>(pixels.right, out.last);
        if (first > last)
            continue;
        const ColumnSpan in = inner.Row(y);
        if (in.first > in.last || first < in.first || last > in.last)
            return true;
    }
    return false;
}

bool PixelsMeetSquare(CPoint centre, int half, const CRect& pixels)
{
    if (pixels.right < pixels.left || pixels.bottom < pixels.top)
        return false;
    return int64_t(pixels.left) < int64_t(centre.x) + half && int64_t(pixels.right) >= int64_t(centre.x) - half &&
           int64_t(pixels.top) < int64_t(centre.y) + half && int64_t(pixels.bottom) >= int64_t(centre.y) - half;
}
