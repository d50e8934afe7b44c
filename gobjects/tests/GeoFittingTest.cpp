#include "gobjects/geometry/GeoFitting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace {

void ExpectPoint(const _RPOINT& actual, const _RPOINT& expected, const char* what)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-9) << what;
}

}  // namespace

TEST(GetCircleFromDiameter, MidpointAndHalfLengthEqualPointsRefused)
{
    _RPOINT centre{};
    double radius = -1;
    EXPECT_EQ(GetCircleFromDiameter({0, 0}, {6, 8}, centre, radius), 1);
    EXPECT_EQ(centre, (_RPOINT{3, 4}));
    EXPECT_DOUBLE_EQ(radius, 5);

    EXPECT_EQ(GetCircleFromDiameter({2, 9}, {2, 9}, centre, radius), 0);
    EXPECT_EQ(centre, (_RPOINT{2, 9}));
    EXPECT_EQ(radius, 0);
}

TEST(FitCircleLeastSquares, BoundingSquareOfTheCircleThroughThreePoints)
{
    struct Case { _RPOINT a, b, c; double cx, cy, r; };
    const Case cases[] = {
        {{0, 0}, {2, 0}, {1, 1}, 1, 0, 1},
        {{0, 0}, {4, 0}, {0, 4}, 2, 2, std::sqrt(8.0)},
        {{110, 50}, {100, 60}, {90, 50}, 100, 50, 10},
    };
    for (const Case& c : cases) {
        _RPOINT p[3] = {c.a, c.b, c.c};
        ASSERT_EQ(FitCircleLeastSquares(p), 1);
        ExpectPoint(p[0], {c.cx - c.r, c.cy - c.r}, "top-left");
        ExpectPoint(p[1], {c.cx + c.r, c.cy + c.r}, "bottom-right");
    }
}

TEST(FitCircleLeastSquares, CoincidentOrCollinearPointsLeaveThePointsAlone)
{
    const _RPOINT cases[][3] = {
        {{1, 1}, {1, 1}, {5, 2}},
        {{1, 1}, {5, 2}, {1, 1}},
        {{0, 0}, {1, 1}, {2, 2}},
        {{3, 0}, {3, 7}, {3, -4}},
        // Far from the origin, where the spread of the points, not the size of their coordinates, decides.
        {{1e6, 1e6}, {1e6 + 1, 1e6 + 1}, {1e6 + 2, 1e6 + 2}},
        {{5e5, -3e6}, {5e5, -3e6 + 7}, {5e5, -3e6 - 4}},
        {{1e6, 1e6}, {1e6 + 3, 1e6 + 4}, {1e6, 1e6}},
        {{0.1, 0.2}, {0.2, 0.4}, {0.3, 0.6}},
        {{1e-6, 0}, {2e-6, 0}, {3e-6, 0}},
    };
    for (const auto& c : cases) {
        _RPOINT p[3] = {c[0], c[1], c[2]};
        EXPECT_EQ(FitCircleLeastSquares(p), 0);
        EXPECT_EQ(p[0], c[0]);
        EXPECT_EQ(p[1], c[1]);
    }
}

namespace {

struct CircleCase
{
    const char* what;
    _RPOINT a, b, c;
    _RPOINT centre;
    double radius;
};

std::ostream& operator<<(std::ostream& out, const CircleCase& c)
{
    return out << c.what;
}

class FitCircle : public testing::TestWithParam<CircleCase>
{
};

}  // namespace

// The circle through three points depends only on where they lie relative to each other: close clicks far from the
// origin make the same circle as the same clicks near it.
TEST_P(FitCircle, ThroughThePointsWhereverTheyLie)
{
    const CircleCase& c = GetParam();
    _RPOINT p[3] = {c.a, c.b, c.c};
    ASSERT_EQ(FitCircleLeastSquares(p), 1);
    const double r = (p[1].x - p[0].x) / 2.0;
    const _RPOINT centre{p[0].x + r, p[0].y + r};
    const double position = 1e-15 * std::max({1.0, std::fabs(c.centre.x), std::fabs(c.centre.y)});
    EXPECT_NEAR(r, c.radius, 1e-9 * c.radius + 4 * position);
    EXPECT_NEAR(centre.x, c.centre.x, 1e-9 * c.radius + 4 * position);
    EXPECT_NEAR(centre.y, c.centre.y, 1e-9 * c.radius + 4 * position);
    EXPECT_NEAR(p[1].y - p[0].y, 2 * r, 1e-9 * c.radius + 8 * position);
    for (const _RPOINT& q : {c.a, c.b, c.c})
        EXPECT_NEAR(std::hypot(q.x - c.centre.x, q.y - c.centre.y), c.radius, 1e-12 * c.radius) << "not on the circle";
}

INSTANTIATE_TEST_SUITE_P(
    FitCircleLeastSquares, FitCircle,
    testing::Values(
        CircleCase{"near_the_origin", {0, 0}, {4, 0}, {0, 3}, {2, 1.5}, 2.5},
        // Clicks a few pixels apart far out: once refused as collinear, the radius then read 0.
        CircleCase{"close_clicks_at_a_million", {1e6, 1e6}, {1e6 + 4, 1e6}, {1e6, 1e6 + 3}, {1e6 + 2, 1e6 + 1.5}, 2.5},
        CircleCase{"radius_5_at_a_million", {1e6 + 5, 1e6}, {1e6 + 3, 1e6 + 4}, {1e6, 1e6 - 5}, {1e6, 1e6}, 5},
        CircleCase{"radius_13_far_left",
                   {-3e6 + 5, 5e5 + 12},
                   {-3e6 - 12, 5e5 + 5},
                   {-3e6, 5e5 - 13},
                   {-3e6, 5e5},
                   13},
        CircleCase{"short_arc_of_a_large_circle",
                   {2e6 + 500, 2e6},
                   {2e6 + 480, 2e6 + 140},
                   {2e6 + 400, 2e6 + 300},
                   {2e6, 2e6},
                   500},
        CircleCase{"micro_pixel_triangle", {0, 0}, {4e-6, 0}, {0, 3e-6}, {2e-6, 1.5e-6}, 2.5e-6}));

TEST(FitPointsLeastSquares, SegmentAlongTheWiderExtent)
{
    struct Case { const char* what; std::vector<_RPOINT> points; _RPOINT start, end; };
    const Case cases[] = {
        {"diagonal", {{0, 0}, {1, 1}, {2, 2}}, {0, 0}, {2, 2}},
        {"two points", {{5, 1}, {1, 3}}, {1, 3}, {5, 1}},
        {"vertical", {{3, 5}, {3, 1}, {3, 4}}, {3, 1}, {3, 5}},
        {"steep: clipped along y", {{0, 0}, {1, 10}, {2, 20}}, {0, 0}, {2, 20}},
        {"level regression, wider than tall", {{0, 0}, {2, 1}, {4, 0}, {2, -1}}, {0, 0}, {4, 0}},
        {"taller than wide: along its long axis", {{0, 0}, {1, 2}, {2, 0}, {1, -2}}, {1, -2}, {1, 2}},
        {"far from the origin", {{2e6, 3e6}, {2e6 + 4, 3e6 + 2}}, {2e6, 3e6}, {2e6 + 4, 3e6 + 2}},
    };
    for (const Case& c : cases) {
        std::vector<_RPOINT> p = c.points;
        ASSERT_EQ(FitPointsLeastSquares(p.data(), static_cast<int>(p.size())), 1) << c.what;
        ExpectPoint(p[0], c.start, c.what);
        ExpectPoint(p[1], c.end, c.what);
    }
}

namespace {

struct EdgeCase
{
    const char* what;
    std::vector<_RPOINT> points;
    bool steep;  // spreads more along y than along x
};

std::ostream& operator<<(std::ostream& out, const EdgeCase& c)
{
    return out << c.what;
}

// The least-squares regression of v on u from the raw sums in long double (not the centred sums the fit uses),
// clipped as the fit clips: along u unless the v extent is at least the u extent and the slope is not 0.
// Returns the ends as (u, v).
std::pair<_RPOINT, _RPOINT> RegressionOfVOnU(const std::vector<_RPOINT>& uv)
{
    long double su = 0, sv = 0, suu = 0, suv = 0;
    double minU = uv[0].x, maxU = uv[0].x, minV = uv[0].y, maxV = uv[0].y;
    for (const _RPOINT& p : uv) {
        su += p.x;
        sv += p.y;
        suu += (long double)p.x * p.x;
        suv += (long double)p.x * p.y;
        minU = std::min(minU, p.x);
        maxU = std::max(maxU, p.x);
        minV = std::min(minV, p.y);
        maxV = std::max(maxV, p.y);
    }
    const long double n = uv.size();
    const long double k = (n * suv - su * sv) / (n * suu - su * su);
    const long double c = (sv - k * su) / n;
    if (maxV - minV < maxU - minU || k == 0)
        return {{minU, double(c + k * minU)}, {maxU, double(c + k * maxU)}};
    return {{double((minV - c) / k), minV}, {double((maxV - c) / k), maxV}};
}

class FitEdge : public testing::TestWithParam<EdgeCase>
{
};

}  // namespace

// Every edge is fitted by regressing across its long axis: y on x when it lies within 45 degrees of horizontal
// (what the fit always did), x on y when steeper. A steep edge regressed y on x takes its jitter for its slope.
TEST_P(FitEdge, RegressesAcrossTheLongAxis)
{
    const EdgeCase& c = GetParam();
    std::vector<_RPOINT> uv = c.points;
    if (c.steep)
        for (_RPOINT& p : uv)
            std::swap(p.x, p.y);
    auto [start, end] = RegressionOfVOnU(uv);
    if (c.steep) {
        std::swap(start.x, start.y);
        std::swap(end.x, end.y);
    }

    std::vector<_RPOINT> p = c.points;
    ASSERT_EQ(FitPointsLeastSquares(p.data(), static_cast<int>(p.size())), 1);
    const double tolerance = 1e-9 * (1 + std::max(std::fabs(start.x), std::fabs(start.y)));
    EXPECT_NEAR(p[0].x, start.x, tolerance);
    EXPECT_NEAR(p[0].y, start.y, tolerance);
    EXPECT_NEAR(p[1].x, end.x, tolerance);
    EXPECT_NEAR(p[1].y, end.y, tolerance);

    // Whatever the jitter, the fitted segment spans the points' extent along the long axis and leans at most 45
    // degrees from it.
    const auto [minY, maxY] = std::minmax_element(c.points.begin(), c.points.end(),
                                                  [](const _RPOINT& a, const _RPOINT& b) { return a.y < b.y; });
    const auto [minX, maxX] = std::minmax_element(c.points.begin(), c.points.end(),
                                                  [](const _RPOINT& a, const _RPOINT& b) { return a.x < b.x; });
    const double longSide = c.steep ? maxY->y - minY->y : maxX->x - minX->x;
    const double length = std::hypot(p[1].x - p[0].x, p[1].y - p[0].y);
    EXPECT_GE(length, longSide - 1e-9);
    EXPECT_LE(length, std::sqrt(2.0) * longSide + 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    FitPointsLeastSquares, FitEdge,
    testing::Values(
        // An edge 163 pixels long with one pixel of jitter, once read as 991.5 long at 350.5 degrees.
        EdgeCase{"steep_one_pixel_of_jitter",
                 {{200, 300}, {200, 327}, {201, 354}, {201, 382}, {201, 409}, {200, 436}, {200, 463}},
                 true},
        // Jitter that does not lean at all: y on x gave a level segment 1 pixel long across the edge.
        EdgeCase{"steep_jitter_with_no_slope", {{0, 0}, {1, 10}, {0, 20}, {1, 30}, {0, 40}}, true},
        EdgeCase{"steep_leaning_right", {{50, 0}, {54, 20}, {58, 40}, {57, 60}, {62, 80}, {66, 100}, {70, 120}},
                 true},
        EdgeCase{"steep_leaning_left", {{300, 10}, {294, 30}, {289, 50}, {282, 70}, {279, 90}}, true},
        EdgeCase{"steep_far_from_the_origin",
                 {{1e6 + 1, 2e6}, {1e6, 2e6 + 40}, {1e6 + 1, 2e6 + 80}, {1e6 + 1, 2e6 + 120}, {1e6, 2e6 + 160}},
                 true},
        EdgeCase{"steep_taller_than_wide_box_of_points", {{10, 10}, {30, 10}, {30, 70}, {10, 70}}, true},
        EdgeCase{"steep_just_past_45_degrees", {{0, 0}, {10, 11}, {20, 21}, {30, 31}}, true},
        // Flat edges keep the fit they always had.
        EdgeCase{"flat_one_pixel_of_jitter",
                 {{300, 200}, {327, 200}, {354, 201}, {382, 201}, {409, 201}, {436, 200}, {463, 200}},
                 false},
        EdgeCase{"flat_leaning", {{0, 50}, {20, 54}, {40, 58}, {60, 57}, {80, 62}}, false},
        EdgeCase{"flat_exactly_45_degrees", {{0, 0}, {10, 10}, {20, 20}, {30, 30}}, false},
        EdgeCase{"flat_just_under_45_degrees", {{0, 0}, {11, 10}, {21, 20}, {31, 30}}, false}),
    [](const testing::TestParamInfo<EdgeCase>& info) { return std::string(info.param.what); });

namespace {

struct VerticalCase
{
    const char* what;
    std::vector<_RPOINT> points;
    _RPOINT start, end;
};

std::ostream& operator<<(std::ostream& out, const VerticalCase& c)
{
    return out << c.what;
}

class FitVerticalEdge : public testing::TestWithParam<VerticalCase>
{
};

}  // namespace

// Points with one x give the vertical segment from the smallest to the largest y, exactly.
TEST_P(FitVerticalEdge, RunsFromTheSmallestToTheLargestY)
{
    const VerticalCase& c = GetParam();
    std::vector<_RPOINT> p = c.points;
    ASSERT_EQ(FitPointsLeastSquares(p.data(), static_cast<int>(p.size())), 1);
    EXPECT_EQ(p[0], c.start);
    EXPECT_EQ(p[1], c.end);
}

INSTANTIATE_TEST_SUITE_P(
    FitPointsLeastSquares, FitVerticalEdge,
    testing::Values(VerticalCase{"unsorted_with_repeats", {{7, 9}, {7, 2}, {7, 9}, {7, 5}}, {7, 2}, {7, 9}},
                    VerticalCase{"far_from_the_origin",
                                 {{1e6, 1e6 + 120}, {1e6, 1e6}, {1e6, 1e6 + 300}, {1e6, 1e6 + 50}},
                                 {1e6, 1e6},
                                 {1e6, 1e6 + 300}},
                    VerticalCase{"fractional_x", {{0.1, 3}, {0.1, -4}, {0.1, 8}}, {0.1, -4}, {0.1, 8}},
                    VerticalCase{"two_points", {{-5, 40}, {-5, -40}}, {-5, -40}, {-5, 40}}),
    [](const testing::TestParamInfo<VerticalCase>& info) { return std::string(info.param.what); });

TEST(FitPointsLeastSquares, OnePointGivesAPointSegmentNoneIsRefused)
{
    _RPOINT p[2] = {{1, 2}, {3, 4}};
    EXPECT_EQ(FitPointsLeastSquares(p, 0), 0);
    EXPECT_EQ(FitPointsLeastSquares(p, -1), 0);
    EXPECT_EQ(p[0], (_RPOINT{1, 2}));
    EXPECT_EQ(p[1], (_RPOINT{3, 4}));

    EXPECT_EQ(FitPointsLeastSquares(p, 1), 1);
    EXPECT_EQ(p[0], (_RPOINT{1, 2}));
    EXPECT_EQ(p[1], (_RPOINT{1, 2}));
}

TEST(SolveLinearSystem, PivotsPastAZeroAndRefusesSingularSystems)
{
    // y + z = 3, x + z = 4, x + y = 5: the first pivot is zero until rows are exchanged.
    double system[] = {0, 1, 1, 3, 1, 0, 1, 4, 1, 1, 0, 5};
    double out[3] = {};
    ASSERT_EQ(SolveLinearSystem(system, 3, out), 1);
    EXPECT_NEAR(out[0], 3, 1e-12);
    EXPECT_NEAR(out[1], 2, 1e-12);
    EXPECT_NEAR(out[2], 1, 1e-12);

    double singular[] = {1, 2, 3, 2, 4, 6};
    EXPECT_EQ(SolveLinearSystem(singular, 2, out), 0);
}
