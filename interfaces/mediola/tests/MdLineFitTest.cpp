#include "mediola/MdLineFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

// Points on a line at several directions with outliers mixed in: the fit passes through the line and spans its
// inliers, start on the side of the first point.
TEST(MdLineFit, IgnoresOutliersAndKeepsTheFirstPointsSide)
{
    for (double degrees : {0.0, 30.0, 90.0, 135.0, 200.0}) {
        const double c = std::cos(degrees * M_PI / 180.0);
        const double s = std::sin(degrees * M_PI / 180.0);
        std::vector<CMdPointF> points;
        for (int i = 0; i <= 20; ++i) {
            const double t = 5.0 * i;
            const double wobble = (i % 3 - 1) * 0.4;  // within the inlier distance
            points.push_back({static_cast<float>(100 + t * c - wobble * s), static_cast<float>(100 + t * s + wobble * c)});
        }
        // Outliers well off the line, across it.
        points[4].x -= static_cast<float>(9 * s);
        points[4].y += static_cast<float>(9 * c);
        points[11].x += static_cast<float>(7 * s);
        points[11].y -= static_cast<float>(7 * c);
        points[17] = {3, 250};
        CMdPointF start{}, end{};
        ASSERT_EQ(MDF_GetLineBestFitHT(start, end, points.data(), static_cast<int>(points.size()), 500), 18)
            << degrees;
        EXPECT_NEAR(start.x, 100.0, 0.3) << degrees;
        EXPECT_NEAR(start.y, 100.0, 0.3) << degrees;
        EXPECT_NEAR(end.x, 100 + 100 * c, 0.3) << degrees;
        EXPECT_NEAR(end.y, 100 + 100 * s, 0.3) << degrees;
    }
}

TEST(MdLineFit, TooFewOrCoincidentPointsLeaveTheEnds)
{
    CMdPointF start{1, 2}, end{3, 4};
    const CMdPointF one[] = {{5, 5}};
    EXPECT_EQ(MDF_GetLineBestFitHT(start, end, one, 1, 500), 0);
    const CMdPointF same[] = {{5, 5}, {5, 5}, {5, 5}};
    EXPECT_EQ(MDF_GetLineBestFitHT(start, end, same, 3, 500), 0);
    EXPECT_EQ(MDF_GetLineBestFitHT(start, end, nullptr, 3, 500), 0);
    EXPECT_EQ(start.x, 1.0f);
    EXPECT_EQ(end.y, 4.0f);
    const CMdPointF two[] = {{0, 0}, {10, 0}};
    EXPECT_EQ(MDF_GetLineBestFitHT(start, end, two, 2, 0), 2);
    EXPECT_NEAR(end.x, 10.0, 1e-4);
}
