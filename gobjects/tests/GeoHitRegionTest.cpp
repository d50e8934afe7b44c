#include "gobjects/geometry/GeoHitRegion.h"

#include "gdi/CRgn.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(MakeHitPolygon, LengthensBothEndsAlongTheSegment)
{
    struct Case { _RPOINT p0, p1; double margin; _RPOINT q0, q1; };
    const Case cases[] = {
        {{0, 0}, {10, 0}, 2, {-2, 0}, {12, 0}},
        {{5, 10}, {5, 0}, 3, {5, 13}, {5, -3}},
        {{0, 0}, {3, -4}, 5, {-3, 4}, {6, -8}},
    };
    for (const Case& c : cases) {
        _RPOINT p[2] = {c.p0, c.p1};
        MakeHitPolygon(p, c.margin);
        EXPECT_NEAR(p[0].x, c.q0.x, 1e-12);
        EXPECT_NEAR(p[0].y, c.q0.y, 1e-12);
        EXPECT_NEAR(p[1].x, c.q1.x, 1e-12);
        EXPECT_NEAR(p[1].y, c.q1.y, 1e-12);
    }
}

TEST(MakeHitPolygon, ASegmentOfLengthZeroGrowsIntoAProperSegment)
{
    _RPOINT p[2] = {{40, 40}, {40, 40}};
    MakeHitPolygon(p, 3);
    ASSERT_TRUE(std::isfinite(p[0].x) && std::isfinite(p[0].y) && std::isfinite(p[1].x) && std::isfinite(p[1].y));
    EXPECT_NEAR(std::hypot(p[1].x - p[0].x, p[1].y - p[0].y), 6, 1e-9);
    EXPECT_NEAR((p[0].x + p[1].x) / 2, 40, 1e-9);
    EXPECT_NEAR((p[0].y + p[1].y) / 2, 40, 1e-9);
}

TEST(CreateLineHitRgn, BandThreePixelsEachSideLengthenedByTheMargin)
{
    struct Probe { int x, y; bool inside; };
    const Probe horizontal[] = {
        {30, 20, true}, {30, 22, true}, {30, 18, true}, {30, 25, false}, {30, 15, false},
        {8, 20, true},  {52, 20, true}, {5, 20, false}, {55, 20, false},
    };
    CRgn band;
    CreateLineHitRgn(band, {10, 20}, {50, 20}, 3, CPoint(0, 0), 1.0);
    for (const Probe& p : horizontal)
        EXPECT_EQ(band.PtInRegion(p.x, p.y) != 0, p.inside) << p.x << "," << p.y;

    // A diagonal band: near points along the whole segment are in, points 5 pixels off it are out.
    CRgn diagonal;
    CreateLineHitRgn(diagonal, {20, 80}, {80, 20}, 1, CPoint(0, 0), 1.0);
    const double nx = std::sqrt(0.5), ny = std::sqrt(0.5);  // unit normal of the segment
    for (int t = 2; t <= 58; t += 4) {
        const double x = 20 + t, y = 80 - t;
        EXPECT_TRUE(diagonal.PtInRegion(std::lround(x), std::lround(y))) << t;
        EXPECT_FALSE(diagonal.PtInRegion(std::lround(x + 5 * nx), std::lround(y + 5 * ny))) << t;
        EXPECT_FALSE(diagonal.PtInRegion(std::lround(x - 5 * nx), std::lround(y - 5 * ny))) << t;
    }
    EXPECT_FALSE(diagonal.PtInRegion(14, 86));
}

TEST(CreateLineHitRgn, MapsImagePointsToTheWindow)
{
    CRgn band;
    CreateLineHitRgn(band, {5, 10}, {25, 10}, 1, CPoint(100, 50), 2.0);  // window (110,70)-(150,70)
    EXPECT_TRUE(band.PtInRegion(130, 70));
    EXPECT_TRUE(band.PtInRegion(110, 72));
    EXPECT_FALSE(band.PtInRegion(15, 10));
    EXPECT_FALSE(band.PtInRegion(130, 76));
}

TEST(CreateLineHitRgn, AClickWithoutMovingStillHasABand)
{
    CRgn band;
    CreateLineHitRgn(band, {40, 40}, {40, 40}, 3, CPoint(0, 0), 1.0);
    EXPECT_TRUE(band.PtInRegion(40, 40));
    EXPECT_TRUE(band.PtInRegion(42, 41));
    EXPECT_FALSE(band.PtInRegion(40, 46));
    EXPECT_FALSE(band.PtInRegion(46, 40));
}
