#include "gobjects/geometry/GeoStatistics.h"

#include <gtest/gtest.h>

#include <vector>

TEST(GeoStatistics, SumMeanPopulationDeviationMinMax)
{
    struct Case { std::vector<double> values; double sum, mean, stdDev, min, max; };
    const Case cases[] = {
        {{2, 4}, 6, 3, 1, 2, 4},
        {{3, 1, 2}, 6, 2, 0.81649658092772603, 1, 3},
        {{5}, 5, 5, 0, 5, 5},
        {{-1.5, 7, 0, -3}, 2.5, 0.625, 3.8303883615111407, -3, 7},
    };
    for (const Case& c : cases) {
        std::vector<double> v = c.values;
        const int n = static_cast<int>(v.size());
        EXPECT_DOUBLE_EQ(GetSum(v.data(), n), c.sum);
        EXPECT_DOUBLE_EQ(GetMean(v.data(), n), c.mean);
        EXPECT_DOUBLE_EQ(GetStdDev(v.data(), n), c.stdDev);
        v = c.values;
        EXPECT_EQ(GetMin(v.data(), n), c.min);
        v = c.values;
        EXPECT_EQ(GetMax(v.data(), n), c.max);
    }
}

TEST(GeoStatistics, MinAndMaxLeaveTheColumnSortedAscending)
{
    std::vector<double> v = {3, 1, 2};
    EXPECT_EQ(GetMin(v.data(), 3), 1);
    EXPECT_EQ(v, (std::vector<double>{1, 2, 3}));

    v = {9, -4, 9, 0.5, -4};
    EXPECT_EQ(GetMax(v.data(), 5), 9);
    EXPECT_EQ(v, (std::vector<double>{-4, -4, 0.5, 9, 9}));
}

TEST(GeoStatistics, NoValuesGiveZero)
{
    for (int count : {0, -1}) {
        EXPECT_EQ(GetSum(nullptr, count), 0);
        EXPECT_EQ(GetMean(nullptr, count), 0);
        EXPECT_EQ(GetStdDev(nullptr, count), 0);
        EXPECT_EQ(GetMin(nullptr, count), 0);
        EXPECT_EQ(GetMax(nullptr, count), 0);
    }
}
