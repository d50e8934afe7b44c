#include "types/Rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Rounding, TruncHalfUpAndHalfAwayDifferForNegativeValues)
{
    struct Case { double v; int truncHalfUp; int halfAway; };
    const Case cases[] = {
        {0.0, 0, 0},   {0.49, 0, 0},   {0.5, 1, 1},   {2.5, 3, 3},   {1.7, 2, 2},
        {-0.4, 0, 0},  {-0.5, 0, -1},  {-1.7, -1, -2}, {-2.5, -2, -3}, {-3.2, -2, -3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TruncHalfUp(c.v), c.truncHalfUp) << c.v;
        EXPECT_EQ(RoundHalfAway(c.v), c.halfAway) << c.v;
    }
}

TEST(Rounding, ValuesBeyondIntSaturateAndNanGivesZero)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    struct Case { double v; int truncHalfUp; int halfAway; };
    const Case cases[] = {
        {3e9, kMax, kMax},          {-3e9, kMin, kMin},          {1e300, kMax, kMax}, {-1e300, kMin, kMin},
        {kInf, kMax, kMax},         {-kInf, kMin, kMin},         {std::nan(""), 0, 0},
        {2147483646.6, kMax, kMax}, {-2147483647.6, -2147483647, kMin},   // the last whole steps stay exact
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TruncHalfUp(c.v), c.truncHalfUp) << c.v;
        EXPECT_EQ(RoundHalfAway(c.v), c.halfAway) << c.v;
    }
}

TEST(Rounding, MulDivRoundsHalfAwayFromZeroAndRefusesZeroDivisor)
{
    struct Case { int32_t a, b, c, expected; };
    const Case cases[] = {
        {10, 96, 72, 13},   // the default font height
        {11, 96, 72, 15},   // 14.67
        {1, 1, 2, 1},       // 0.5 -> 1
        {-1, 1, 2, -1},     // -0.5 -> -1
        {1, -3, 2, -2},     // -1.5 -> -2
        {-7, -1, 2, 4},     // 3.5 -> 4
        {5, 5, 0, -1},
        {0x40000000, 4, 2, -1},  // result does not fit in 32 bits
        {0x40000000, 4, 8, 0x20000000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}
