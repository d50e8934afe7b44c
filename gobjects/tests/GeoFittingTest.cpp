#include "GeoFitting.h"

#include <gtest/gtest.h>

#include <cmath>
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
    };
    for (const auto& c : cases) {
        _RPOINT p[3] = {c[0], c[1], c[2]};
        EXPECT_EQ(FitCircleLeastSquares(p), 0);
        EXPECT_EQ(p[0], c[0]);
        EXPECT_EQ(p[1], c[1]);
    }
}

TEST(FitPointsLeastSquares, SegmentAlongTheWiderExtent)
{
    struct Case { const char* what; std::vector<_RPOINT> points; _RPOINT start, end; };
    const Case cases[] = {
        {"diagonal", {{0, 0}, {1, 1}, {2, 2}}, {0, 0}, {2, 2}},
        {"two points", {{5, 1}, {1, 3}}, {1, 3}, {5, 1}},
        {"vertical", {{3, 5}, {3, 1}, {3, 4}}, {3, 1}, {3, 5}},
        {"steep: clipped along y", {{0, 0}, {1, 10}, {2, 20}}, {0, 0}, {2, 20}},
        {"level regression, taller than wide", {{0, 0}, {1, 2}, {2, 0}, {1, -2}}, {0, 0}, {2, 0}},
        {"far from the origin", {{2e6, 3e6}, {2e6 + 4, 3e6 + 2}}, {2e6, 3e6}, {2e6 + 4, 3e6 + 2}},
    };
    for (const Case& c : cases) {
        std::vector<_RPOINT> p = c.points;
        ASSERT_EQ(FitPointsLeastSquares(p.data(), static_cast<int>(p.size())), 1) << c.what;
        ExpectPoint(p[0], c.start, c.what);
        ExpectPoint(p[1], c.end, c.what);
    }
}

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
