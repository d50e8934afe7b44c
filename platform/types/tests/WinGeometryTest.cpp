#include "types/WinGeometry.h"

#include <gtest/gtest.h>

TEST(CRect, HoldsPixelsUpToButExcludingRightAndBottom)
{
    const CRect r(10, 20, 30, 40);
    EXPECT_EQ(r.Width(), 20);
    EXPECT_EQ(r.Height(), 20);
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_TRUE(r.PtInRect(CPoint(29, 39)));
    EXPECT_FALSE(r.PtInRect(CPoint(30, 39)));
    EXPECT_FALSE(r.PtInRect(CPoint(29, 40)));
    EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
    EXPECT_TRUE(CRect(5, 5, 4, 9).IsRectEmpty());
    EXPECT_TRUE(CRect().IsRectNull());
}

TEST(CRect, NormalizeInflateDeflateOffset)
{
    CRect r(CPoint(30, 40), CPoint(10, 20));
    EXPECT_TRUE(r.IsRectEmpty());
    r.NormalizeRect();
    EXPECT_EQ(r, CRect(10, 20, 30, 40));
    r.InflateRect(2);
    EXPECT_EQ(r, CRect(8, 18, 32, 42));
    r.DeflateRect(3, 1);
    EXPECT_EQ(r, CRect(11, 19, 29, 41));
    r.OffsetRect(-11, 1);
    EXPECT_EQ(r, CRect(0, 20, 18, 42));
    EXPECT_EQ(r.TopLeft(), CPoint(0, 20));
    EXPECT_EQ(r.BottomRight(), CPoint(18, 42));
}

TEST(CRect, IntersectAndUnion)
{
    struct Case { CRect a, b; bool meets; CRect inter; CRect uni; };
    const Case cases[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, true, {5, 5, 10, 10}, {0, 0, 15, 15}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, false, {0, 0, 0, 0}, {0, 0, 20, 10}},   // touching edges do not meet
        {{0, 0, 10, 10}, {3, 3, 3, 8}, false, {0, 0, 0, 0}, {0, 0, 10, 10}},      // empty operand ignored by union
        {{4, 4, 4, 4}, {7, 7, 7, 7}, false, {0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        CRect inter(1, 2, 3, 4);
        EXPECT_EQ(inter.IntersectRect(c.a, c.b), c.meets);
        EXPECT_EQ(inter, c.inter);
        CRect uni;
        uni.UnionRect(c.a, c.b);
        EXPECT_EQ(uni, c.uni);
    }
}

TEST(CPoint, ArithmeticWithSizes)
{
    const CPoint p(3, 4);
    EXPECT_EQ(p + CSize(1, -1), CPoint(4, 3));
    EXPECT_EQ(CPoint(10, 10) - p, CSize(7, 6));
    EXPECT_EQ(p - CSize(3, 4), CPoint(0, 0));
}
