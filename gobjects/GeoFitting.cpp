#include "GeoFitting.h"

#include "GeoFunctions.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double kSingularPivot = 0.00001;

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
    // x^2 + y^2 + D x + E y + F = 0 through the three points.
    double augmented[3 * 4];
    for (int row = 0; row < 3; ++row) {
        const _RPOINT& p = points[row];
        double* r = augmented + row * 4;
        r[0] = p.x;
        r[1] = p.y;
        r[2] = 1.0;
        r[3] = -(p.x * p.x + p.y * p.y);
    }
    double def[3];
    if (!SolveLinearSystem(augmented, 3, def))
        return 0;
    const double cx = -def[0] / 2.0;
    const double cy = -def[1] / 2.0;
    const double r = std::sqrt(def[0] * def[0] / 4.0 + def[1] * def[1] / 4.0 - def[2]);
    points[0] = {cx - r, cy - r};
    points[1] = {cx + r, cy + r};
    return 1;
}

int FitPointsLeastSquares(_RPOINT* points, int count)
{
    if (count < 1)
        return 0;
    double meanX = 0;
    double meanY = 0;
    for (int i = 0; i < count; ++i) {
        meanX += points[i].x;
        meanY += points[i].y;
    }
    meanX /= count;
    meanY /= count;

    double sxx = 0;
    double sxy = 0;
    double minX = points[0].x, maxX = points[0].x;
    double minY = points[0].y, maxY = points[0].y;
    for (int i = 0; i < count; ++i) {
        const _RPOINT& p = points[i];
        sxx += (p.x - meanX) * (p.x - meanX);
        sxy += (p.x - meanX) * (p.y - meanY);
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }

    _RPOINT start, end;
    if (sxx == 0) {
        start = {minX, minY};
        end = {maxX, maxY};
    } else {
        const double slope = sxy / sxx;
        const double intercept = meanY - slope * meanX;
        // A level regression line has no x for a given y, so it is clipped along x whatever the y extent.
        if (maxY - minY < maxX - minX || slope == 0) {
            start = {minX, intercept + slope * minX};
            end = {maxX, intercept + slope * maxX};
        } else {
            start = {(minY - intercept) / slope, minY};
            end = {(maxY - intercept) / slope, maxY};
        }
    }
    points[0] = start;
    points[1] = end;
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
