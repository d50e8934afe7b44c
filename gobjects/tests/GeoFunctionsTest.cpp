#include "gobjects/geometry/GeoFunctions.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numbers>
#include <random>

namespace {

constexpr double kPi = std::numbers::pi;

// Screen direction of a vector (y down), counter-clockwise, in [0, 360).
double ScreenDegrees(double dx, double dy)
{
    const double a = std::atan2(-dy, dx) * 180.0 / kPi;
    return a < 0 ? a + 360.0 : a;
}

}  // namespace

TEST(GetLineAngle360, CompassDirectionsQuadrantsAndEqualPoints)
{
    struct Case { double dx, dy, degrees; };
    const Case cases[] = {
        {1, 0, 0},     {1, -1, 45},   {0, -1, 90},    {-1, -1, 135}, {-1, 0, 180},
        {-1, 1, 225},  {0, 1, 270},   {1, 1, 315},    {0, 0, -1},
        {2, -1, 26.565051177077990},  {-2, -1, 153.43494882292202},
        {-2, 1, 206.56505117707799},  {2, 1, 333.43494882292202},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(GetLineAngle360(7, -3, 7 + c.dx, -3 + c.dy), c.degrees, 1e-9) << c.dx << "," << c.dy;
}

TEST(GetLineAngle360, AgreesWithTheScreenDirectionForArbitraryVectors)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> coord(-500, 500);
    for (int i = 0; i < 200; ++i) {
        const double x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
        EXPECT_NEAR(GetLineAngle360(x1, y1, x2, y2), ScreenDegrees(x2 - x1, y2 - y1), 1e-9);
    }
}

TEST(GetLineAngle, RadiansWithYDownNotFlipped)
{
    struct Case { double dx, dy, radians; };
    const Case cases[] = {
        {0, 5, kPi / 2}, {0, -5, -kPi / 2}, {0, 0, 0}, {1, 1, kPi / 4}, {-1, 0, kPi}, {3, -3, -kPi / 4},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(GetLineAngle(2, 2, 2 + c.dx, 2 + c.dy), c.radians, 1e-12) << c.dx << "," << c.dy;
}

TEST(RotatePoints, TurnsCounterClockwiseOnScreenAndMatchesTheMeasuredDirection)
{
    for (double degrees : {0.0, 30.0, 90.0, 135.0, 180.0, 270.0, 300.0}) {
        _RPOINT p[2] = {{60, 40}, {40, 40}};  // the second is the centre and stays put
        RotatePoints(degrees, 40, 40, p, 2);
        EXPECT_NEAR(GetDistance(40, 40, p[0].x, p[0].y), 20, 1e-9);
        EXPECT_NEAR(GetLineAngle360(40, 40, p[0].x, p[0].y), degrees, 1e-9);
        EXPECT_EQ(p[1], (_RPOINT{40, 40}));
    }
    _RPOINT up[1] = {{10, 0}};
    RotatePoints(90, 0, 0, up, 1);
    EXPECT_NEAR(up[0].x, 0, 1e-12);
    EXPECT_NEAR(up[0].y, -10, 1e-12);
}

TEST(GetPolarPoint, AngleGrowsClockwiseOnScreen)
{
    _RPOINT p;
    GetPolarPoint(p, 10, 20, kPi / 2, 5);
    EXPECT_NEAR(p.x, 10, 1e-12);
    EXPECT_NEAR(p.y, 25, 1e-12);
    GetPolarPointF(p, 10, 20, 0.0f, 2.5f);
    EXPECT_EQ(p, (_RPOINT{12.5, 20}));
}

TEST(GetLinesIntersection, CrossingsAndParallelLines)
{
    struct Case { _RPOINT p1, p2, p3, p4; int found; _RPOINT at; };
    const Case cases[] = {
        {{0, 0}, {4, 4}, {0, 4}, {4, 0}, 1, {2, 2}},
        {{3, -5}, {3, 9}, {0, 1}, {2, 3}, 1, {3, 4}},      // first line vertical
        {{0, 1}, {2, 3}, {3, -5}, {3, 9}, 1, {3, 4}},      // second line vertical
        {{0, 7}, {10, 7}, {2, 0}, {2, 1}, 1, {2, 7}},      // horizontal and vertical
        {{0, 0}, {1, 2}, {5, 0}, {6, 2}, 0, {-99, -99}},   // parallel
        {{0, 0}, {1, 2}, {2, 4}, {3, 6}, 0, {-99, -99}},   // the same line
        {{1, 0}, {1, 5}, {4, 2}, {4, 8}, 0, {-99, -99}},   // both vertical
    };
    for (const Case& c : cases) {
        _RPOINT out{-99, -99};
        EXPECT_EQ(GetLinesIntersection(c.p1, c.p2, c.p3, c.p4, out), c.found);
        EXPECT_NEAR(out.x, c.at.x, 1e-9);
        EXPECT_NEAR(out.y, c.at.y, 1e-9);
    }
}

TEST(GetPerpendicularPoint, IsTheOrthogonalProjectionForAnySlope)
{
    struct Case { _RPOINT p1, p2, p, foot; };
    const Case cases[] = {
        {{2, 0}, {2, 10}, {7, 3}, {2, 3}},      // vertical
        {{0, 4}, {10, 4}, {6, -1}, {6, 4}},     // horizontal
        {{0, 0}, {4, 4}, {0, 4}, {2, 2}},
        {{0, 0}, {4, -4}, {0, -4}, {2, -2}},
    };
    for (const Case& c : cases) {
        _RPOINT foot;
        EXPECT_EQ(GetPerpendicularPoint(c.p1, c.p2, c.p, foot), 1);
        EXPECT_NEAR(foot.x, c.foot.x, 1e-9);
        EXPECT_NEAR(foot.y, c.foot.y, 1e-9);
    }

    std::mt19937 rng(5);
    std::uniform_real_distribution<double> coord(-300, 300);
    for (int i = 0; i < 200; ++i) {
        const _RPOINT p1{coord(rng), coord(rng)}, p2{coord(rng), coord(rng)}, p{coord(rng), coord(rng)};
        const double dx = p2.x - p1.x, dy = p2.y - p1.y;
        const double t = ((p.x - p1.x) * dx + (p.y - p1.y) * dy) / (dx * dx + dy * dy);
        _RPOINT foot;
        GetPerpendicularPoint(p1, p2, p, foot);
        EXPECT_NEAR(foot.x, p1.x + t * dx, 1e-7);
        EXPECT_NEAR(foot.y, p1.y + t * dy, 1e-7);
        // The connector to the foot is square to the line.
        EXPECT_NEAR(((p.x - foot.x) * dx + (p.y - foot.y) * dy) / std::hypot(dx, dy), 0, 1e-7);
    }
}

TEST(GetAngleBetweenLines, InnerAndOuterAngleBetweenTheFartherRays)
{
    struct Case { _RPOINT p1, p2, p3, p4; double inner; };
    const Case cases[] = {
        {{10, 0}, {0, 0}, {0, 0}, {0, 10}, 90},            // a corner, as a 3-point angle passes it
        {{10, 0}, {0, 0}, {0, 0}, {-10, -10}, 135},
        {{10, 0}, {0, 0}, {0, 0}, {10, 10}, 45},
        {{-2, 0}, {10, 0}, {0, -1}, {0, 20}, 90},           // rays towards the ends farther from the crossing
        {{-10, 0}, {2, 0}, {-1, -1}, {20, 20}, 135},
        {{0, 0}, {5, 5}, {0, 3}, {5, 8}, 0},                 // parallel
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(GetAngleBetweenLines(c.p1, c.p2, c.p3, c.p4, 1), c.inner, 1e-9);
        const double outer = c.inner == 0 ? 0 : 360 - c.inner;
        EXPECT_NEAR(GetAngleBetweenLines(c.p1, c.p2, c.p3, c.p4, 0), outer, 1e-9);
    }
}

TEST(NormalizeAngle180, WrapsIntoMinus180To180KeepingTheFraction)
{
    struct Case { double in, out; };
    const Case cases[] = {
        {270, -90}, {-270, 90}, {180, 180}, {-180, -180}, {360, 0}, {725.25, 5.25},
        {540.5, -179.5}, {-190.75, 169.25}, {0.5, 0.5}, {-3600, 0},
    };
    for (const Case& c : cases) {
        double a = c.in;
        NormalizeAngle180(a);
        EXPECT_DOUBLE_EQ(a, c.out) << c.in;
    }
}

TEST(CosDegSinDeg, ExactOnTheAxes)
{
    struct Case { double degrees, cos, sin; };
    const Case cases[] = {
        {0, 1, 0}, {90, 0, 1}, {-90, 0, -1}, {180, -1, 0}, {-180, -1, 0},
        {270, 0, -1}, {360, 1, 0}, {450, 0, 1}, {-450, 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CosDeg(c.degrees), c.cos) << c.degrees;
        EXPECT_EQ(SinDeg(c.degrees), c.sin) << c.degrees;
    }
    EXPECT_NEAR(CosDeg(60), 0.5, 1e-15);
    EXPECT_NEAR(SinDeg(-30), -0.5, 1e-15);
    EXPECT_DOUBLE_EQ(DegreeToRadian(180), kPi);
}

TEST(PowerInt, IntegerExponentsIncludingNegativeOnes)
{
    struct Case { double x; int n; double result; };
    const Case cases[] = {
        {2, 10, 1024}, {2, -2, 0.25}, {3, 0, 1}, {-2, 3, -8}, {1.5, 2, 2.25}, {10, -3, 0.001},
        {2, INT_MIN, 0},  // underflows to zero, the exponent's magnitude must not overflow
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(PowerInt(c.x, c.n), c.result) << c.x << "^" << c.n;
}
