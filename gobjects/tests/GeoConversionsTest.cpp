#include "gobjects/geometry/GeoConversions.h"

#include <gtest/gtest.h>

TEST(NormalizeDRect, AnyCornerOrderBecomesTopLeftBottomRight)
{
    const _RPOINT cases[][2] = {
        {{1, 2}, {5.5, 7}}, {{5.5, 7}, {1, 2}}, {{5.5, 2}, {1, 7}}, {{1, 7}, {5.5, 2}},
    };
    for (const auto& c : cases) {
        _RPOINT corners[2] = {c[0], c[1]};
        NormalizeDRect(corners);
        EXPECT_EQ(corners[0], (_RPOINT{1, 2}));
        EXPECT_EQ(corners[1], (_RPOINT{5.5, 7}));
    }
}

TEST(GeoConversions, DoubleToIntegerAddsAHalfAndTruncates)
{
    // Truncation toward zero after adding 0.5: negative halves go up, unlike half-away rounding.
    const _RPOINT in[] = {{2.5, -0.5}, {-1.7, 1.49}, {-2.5, 0}};
    const POINT expected[] = {{3, 0}, {-1, 1}, {-2, 0}};
    POINT out[3];
    DPointsToPoints(in, out, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(out[i].x, expected[i].x) << i;
        EXPECT_EQ(out[i].y, expected[i].y) << i;
    }

    EXPECT_EQ(DRectToRect(in), CRect(3, 0, -1, 1));

    _RPOINT back[3];
    PointsToDPoints(out, back, 3);
    EXPECT_EQ(back[1], (_RPOINT{-1, 1}));
}
