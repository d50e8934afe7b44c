#include "mediola/MdLineFit.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

struct Line
{
    double cx, cy;  // a point on the line
    double dx, dy;  // unit direction
};

// Total least squares through the chosen points: the centroid and the principal direction.
bool FitTotal(const CMdPointF* points, const std::vector<int>& chosen, Line& line)
{
    if (chosen.size() < 2)
        return false;
    double mx = 0, my = 0;
    for (int i : chosen) {
        mx += points[i].x;
        my += points[i].y;
    }
    mx /= static_cast<double>(chosen.size());
    my /= static_cast<double>(chosen.size());
    double sxx = 0, syy = 0, sxy = 0;
    for (int i : chosen) {
        const double x = points[i].x - mx;
        const double y = points[i].y - my;
        sxx += x * x;
        syy += y * y;
        sxy += x * y;
    }
    if (sxx + syy == 0.0)
        return false;
    const double angle = 0.5 * std::atan2(2.0 * sxy, sxx - syy);
    line = {mx, my, std::cos(angle), std::sin(angle)};
    return true;
}

std::vector<int> Inliers(const CMdPointF* points, int count, const Line& line)
{
    std::vector<int> inliers;
    for (int i = 0; i < count; ++i) {
        const double distance = std::abs((points[i].x - line.cx) * line.dy - (points[i].y - line.cy) * line.dx);
        if (distance <= kMdInlierDistance)
            inliers.push_back(i);
    }
    return inliers;
}

// The points of the direction bin with the most points inside one window of offsets along its normal.
std::vector<int> HoughWinners(const CMdPointF* points, int count, int bins)
{
    std::vector<int> best;
    std::vector<std::pair<double, int>> offsets(static_cast<size_t>(count));
    for (int b = 0; b < bins; ++b) {
        const double theta = std::numbers::pi * b / bins;
        const double nx = std::cos(theta);
        const double ny = std::sin(theta);
        for (int i = 0; i < count; ++i)
            offsets[static_cast<size_t>(i)] = {points[i].x * nx + points[i].y * ny, i};
        std::sort(offsets.begin(), offsets.end());
        size_t bestFirst = 0;
        size_t bestSize = 0;
        for (size_t first = 0, last = 0; first < offsets.size(); ++first) {
            while (last < offsets.size() && offsets[last].first - offsets[first].first <= 2 * kMdVoteHalfWidth)
                ++last;
            if (last - first > bestSize) {
                bestSize = last - first;
                bestFirst = first;
            }
        }
        if (bestSize > best.size()) {
            best.clear();
            for (size_t k = bestFirst; k < bestFirst + bestSize; ++k)
                best.push_back(offsets[k].second);
            std::sort(best.begin(), best.end());
        }
    }
    return best;
}

}  // namespace

int MDF_GetLineBestFitHT(CMdPointF& start, CMdPointF& end, const CMdPointF* points, int count, int angleBins)
{
    if (!points || count < 2)
        return 0;
    const int bins = angleBins < 1 ? 180 : angleBins;
    std::vector<int> inliers = HoughWinners(points, count, bins);
    Line line{};
    if (!FitTotal(points, inliers, line))
        return 0;
    for (int round = 0; round < 3; ++round) {
        std::vector<int> next = Inliers(points, count, line);
        Line refitted{};
        if (!FitTotal(points, next, refitted))
            break;
        line = refitted;
        inliers = std::move(next);
    }
    // Extent along the line, oriented so that the first inlier in the caller's order lies at the start side.
    auto along = [&](int i) { return (points[i].x - line.cx) * line.dx + (points[i].y - line.cy) * line.dy; };
    if (along(inliers.back()) < along(inliers.front())) {
        line.dx = -line.dx;
        line.dy = -line.dy;
    }
    double lo = along(inliers.front());
    double hi = lo;
    for (int i : inliers) {
        lo = std::min(lo, along(i));
        hi = std::max(hi, along(i));
    }
    if (hi <= lo)
        return 0;
    start = {static_cast<float>(line.cx + lo * line.dx), static_cast<float>(line.cy + lo * line.dy)};
    end = {static_cast<float>(line.cx + hi * line.dx), static_cast<float>(line.cy + hi * line.dy)};
    return static_cast<int>(inliers.size());
}
