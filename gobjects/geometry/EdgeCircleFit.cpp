#include "gobjects/geometry/EdgeCircleFit.h"

#include "gobjects/geometry/CKvMatrix.h"
#include "gobjects/geometry/GeoFitting.h"

#include <algorithm>
#include <cmath>

namespace {

// Points on one straight line make the normal equations singular, but rounding seldom leaves an exactly zero
// pivot: they are recognised by their spread across their main direction, relative to the spread along it.
bool Collinear(const std::vector<_RPOINT>& points)
{
    double mx = 0.0;
    double my = 0.0;
    for (const _RPOINT& p : points) {
        mx += p.x;
        my += p.y;
    }
    mx /= static_cast<double>(points.size());
    my /= static_cast<double>(points.size());
    double sxx = 0.0;
    double syy = 0.0;
    double sxy = 0.0;
    for (const _RPOINT& p : points) {
        sxx += (p.x - mx) * (p.x - mx);
        syy += (p.y - my) * (p.y - my);
        sxy += (p.x - mx) * (p.y - my);
    }
    const double half = (sxx + syy) / 2.0;
    const double root = std::sqrt(std::max(0.0, (sxx - syy) * (sxx - syy) / 4.0 + sxy * sxy));
    const double across = half - root;
    const double along = half + root;
    return across <= 1e-10 * along;
}

}  // namespace

bool FitEdgeCircle(const std::vector<_RPOINT>& points, double maxRadius, _RPOINT& centre, double& radius)
{
    if (points.size() < 3)
        return false;
    _RPOINT c{};
    double r = 0.0;
    if (points.size() == 3) {
        _RPOINT three[3] = {points[0], points[1], points[2]};
        if (!FitCircleLeastSquares(three))
            return false;
        // The fit leaves the circle's bounding square in the first two points.
        c = {(three[0].x + three[1].x) / 2.0, (three[0].y + three[1].y) / 2.0};
        r = (three[1].x - three[0].x) / 2.0;
    } else {
        if (std::all_of(points.begin(), points.end(), [&](const _RPOINT& p) { return p == points.front(); }))
            return false;
        if (Collinear(points))
            return false;
        // The normal equations A'A v = A'b of the rows (2x, 2y, 1 | x^2 + y^2), summed row by row as the matrix
        // product sums them (bit for bit), without the n x 3 matrix, its transpose and their products: a tool
        // fits hundreds of points on every finish.
        double ata[3][3] = {};
        double atb[3] = {};
        for (const _RPOINT& p : points) {
            const double row[3] = {2.0 * p.x, 2.0 * p.y, 1.0};
            const double right = p.x * p.x + p.y * p.y;
            for (int r = 0; r < 3; ++r) {
                for (int c = 0; c < 3; ++c)
                    ata[r][c] += row[r] * row[c];
                atb[r] += row[r] * right;
            }
        }
        CKvMatrix normal(3, 3);
        CKvMatrix right(3, 1);
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c)
                normal.SetElement(r, c, ata[r][c]);
            right.SetElement(r, 0, atb[r]);
        }
        try {
            const CKvMatrix v = normal.GetInverted() * right;
            c = {v.GetElement(0, 0), v.GetElement(1, 0)};
            r = std::sqrt(v.GetElement(2, 0) + c.x * c.x + c.y * c.y);
        } catch (const MatrixError&) {
            // Collinear points leave a zero pivot: no circle, and the tool fails instead of the program.
            return false;
        }
    }
    if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(r) || r <= 0.0 || r > maxRadius)
        return false;
    centre = c;
    radius = r;
    return true;
}

int CountNearCircle(const std::vector<_RPOINT>& points, const _RPOINT& centre, double radius, double tolerance)
{
    return static_cast<int>(std::count_if(points.begin(), points.end(), [&](const _RPOINT& p) {
        return std::abs(std::hypot(p.x - centre.x, p.y - centre.y) - radius) <= tolerance;
    }));
}
