#include "gobjects/geometry/GeoFitting.h"

#include "gobjects/geometry/GeoFunctions.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double kSingularPivot = 0.00001;

// Three points whose triangle is flatter than this (twice its area against the square of its longest side) count
// as collinear: beyond it rounding in the coordinates decides the circle. Whole-pixel clicks on a canvas of 65536
// pixels a side are never that flat unless they lie on one line.
constexpr double kCollinearFlatness = 1e-10;

// Where points lie along one axis.
struct AxisSpread
{
    double mean = 0;
    double min = 0;
    double max = 0;
};

// Means, extents and the sums of squared and multiplied deviations of the points.
struct Spread
{
    AxisSpread x;
    AxisSpread y;
    double sxx = 0;
    double syy = 0;
    double sxy = 0;
};

Spread MeasureSpread(const _RPOINT* points, int count)
{
    Spread s;
    for (int i = 0; i < count; ++i) {
        s.x.mean += points[i].x;
        s.y.mean += points[i].y;
    }
    s.x.mean /= count;
    s.y.mean /= count;
    s.x.min = s.x.max = points[0].x;
    s.y.min = s.y.max = points[0].y;
    for (int i = 0; i < count; ++i) {
        const double dx = points[i].x - s.x.mean;
        const double dy = points[i].y - s.y.mean;
        s.sxx += dx * dx;
        s.syy += dy * dy;
        s.sxy += dx * dy;
        s.x.min = std::min(s.x.min, points[i].x);
        s.x.max = std::max(s.x.max, points[i].x);
        s.y.min = std::min(s.y.min, points[i].y);
        s.y.max = std::max(s.y.max, points[i].y);
    }
    return s;
}

// A segment written as (across, down) pairs.
struct Ends
{
    _RPOINT start;
    _RPOINT end;
};

// The regression of down on across (y on x for a flat edge) with the sum of squared across deviations and of the
// products of both, clipped to the points' extent along the axis they spread most on.
Ends RegressDownOnAcross(const AxisSpread& across, const AxisSpread& down, double squares, double products)
{
    const double slope = products / squares;
    const double intercept = down.mean - slope * across.mean;
    // A level regression line has no across for a given down, so it is clipped along across whatever the down
    // extent.
    if (down.max - down.min < across.max - across.min || slope == 0)
        return {{across.min, intercept + slope * across.min}, {across.max, intercept + slope * across.max}};
    return {{(down.min - intercept) / slope, down.min}, {(down.max - intercept) / slope, down.max}};
}

_RPOINT Exchanged(const _RPOINT& p)
{
    return {p.y, p.x};
}

}  // namespace

int GetCircleFromDiameter(const _RPOINT& p1, const _RPOINT& p2, _RPOINT& centre, double& radius)
{
    if (p1 == p2) {
        centre = p1;
        radius = 0;
        return 0;
    }
    GetMidPoint(centre, p1.x, p1.y, p2.x, p2.y);
    radius = GetDistance(p1.x, p1.y, p2.x, p2.y) / 2.0;
    return 1;
}

int FitCircleLeastSquares(_RPOINT* points)
{
    const _RPOINT& a = points[0];
    const _RPOINT& b = points[1];
    const _RPOINT& c = points[2];
    if (a == b || b == c || a == c)
        return 0;
    // Worked out with a as the origin: clicks that lie close together far from the origin would otherwise be lost
    // in the size of their coordinates. The centre is where the perpendicular bisectors of a b and a c meet.
    const double ux = b.x - a.x;
    const double uy = b.y - a.y;
    const double vx = c.x - a.x;
    const double vy = c.y - a.y;
    const double cross = ux * vy - uy * vx;
    // cross is twice the triangle's area; against the square of its longest side it gives how flat the triangle
    // is, whatever its size and wherever it lies.
    const double uu = ux * ux + uy * uy;
    const double vv = vx * vx + vy * vy;
    const double ww = (c.x - b.x) * (c.x - b.x) + (c.y - b.y) * (c.y - b.y);
    if (!(std::fabs(cross) > kCollinearFlatness * std::max({uu, vv, ww})))
        return 0;
    const double cx = a.x + (vy * uu - uy * vv) / (2.0 * cross);
    const double cy = a.y + (ux * vv - vx * uu) / (2.0 * cross);
    const double r = std::hypot(cx - a.x, cy - a.y);
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r))
        return 0;
    points[0] = {cx - r, cy - r};
    points[1] = {cx + r, cy + r};
    return 1;
}

int FitPointsLeastSquares(_RPOINT* points, int count)
{
    if (count < 1)
        return 0;
    const Spread s = MeasureSpread(points, count);
    // Equal x may still leave a sum of squares of rounding residue: the extent tells a vertical edge.
    if (s.x.min == s.x.max || s.sxx == 0) {
        points[0] = {s.x.min, s.y.min};
        points[1] = {s.x.max, s.y.max};
    } else if (s.sxx >= s.syy) {
        const Ends ends = RegressDownOnAcross(s.x, s.y, s.sxx, s.sxy);
        points[0] = ends.start;
        points[1] = ends.end;
    } else {
        // A steep edge: y on x would take the jitter across it for its slope and could turn it by up to 90
        // degrees. x on y is the same fit with the axes exchanged, so a steep edge is fitted as its mirror image
        // is when flat.
        const Ends ends = RegressDownOnAcross(s.y, s.x, s.syy, s.sxy);
        points[0] = Exchanged(ends.start);
        points[1] = Exchanged(ends.end);
    }
    return 1;
}

int SolveLinearSystem(double* augmented, int n, double* out)
{
    const int width = n + 1;
    auto at = [&](int row, int col) -> double& { return augmented[row * width + col]; };
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int row = col + 1; row < n; ++row)
            if (std::fabs(at(row, col)) > std::fabs(at(pivot, col)))
                pivot = row;
        if (std::fabs(at(pivot, col)) < kSingularPivot)
            return 0;
        if (pivot != col)
            for (int k = col; k < width; ++k)
                std::swap(at(pivot, k), at(col, k));
        for (int row = col + 1; row < n; ++row) {
            const double factor = at(row, col) / at(col, col);
            for (int k = col; k < width; ++k)
                at(row, k) -= factor * at(col, k);
        }
    }
    for (int row = n - 1; row >= 0; --row) {
        double sum = at(row, n);
        for (int k = row + 1; k < n; ++k)
            sum -= at(row, k) * out[k];
        out[row] = sum / at(row, row);
    }
    return 1;
}
