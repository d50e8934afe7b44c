// Regions: construction, combination and containment on whole pixels.
#include "gdi/CRgn.h"

#include <gtest/gtest.h>

namespace {

TEST(Region, ShapesHoldTheirPixels)
{
    CRgn rect;
    rect.CreateRectRgn(10, 10, 20, 20);
    CRgn ellipse;
    ellipse.CreateEllipticRgn(0, 0, 20, 10);
    const POINT triangle[] = {{0, 0}, {10, 0}, {0, 10}};
    CRgn polygon;
    polygon.CreatePolygonRgn(triangle, 3, ALTERNATE);

    struct Case { const CRgn* region; int x; int y; bool inside; };
    for (const Case& c : {Case{&rect, 10, 10, true}, Case{&rect, 19, 19, true}, Case{&rect, 20, 19, false},
                          Case{&rect, 19, 20, false}, Case{&rect, 9, 15, false},
                          Case{&ellipse, 10, 5, true}, Case{&ellipse, 0, 0, false}, Case{&ellipse, 19, 9, false},
                          Case{&ellipse, 1, 5, true},
                          Case{&polygon, 1, 1, true}, Case{&polygon, 8, 8, false}, Case{&polygon, 4, 4, true},
                          Case{&polygon, 10, 0, false}}) {
        EXPECT_EQ(c.region->PtInRegion(c.x, c.y) != 0, c.inside) << c.x << "," << c.y;
    }
}

TEST(Region, EmptyShapes)
{
    CRgn inverted;
    inverted.CreateEllipticRgn(10, 10, 0, 0);
    RECT box{};
    EXPECT_EQ(inverted.GetRgnBox(&box), NULLREGION);
    CRgn flat;
    flat.CreateEllipticRgn(0, 5, 10, 5);
    EXPECT_EQ(flat.GetRgnBox(&box), NULLREGION);
    const POINT line[] = {{0, 0}, {10, 10}};
    CRgn twoPoints;
    EXPECT_TRUE(twoPoints.CreatePolygonRgn(line, 2, WINDING));
    EXPECT_EQ(twoPoints.GetRgnBox(&box), NULLREGION);
    CRgn badMode;
    EXPECT_FALSE(badMode.CreatePolygonRgn(line, 2, 0));
    CRgn swapped;
    swapped.CreateRectRgn(10, 10, 0, 0);
    EXPECT_EQ(swapped.GetRgnBox(&box), SIMPLEREGION);
    EXPECT_EQ(CRect(box), CRect(0, 0, 10, 10));
    CRgn never;
    EXPECT_EQ(never.GetRgnBox(&box), RGN_ERROR);
}

TEST(Region, CombineReturnsTheKindOfTheResult)
{
    CRgn a;
    a.CreateRectRgn(0, 0, 10, 10);
    CRgn b;
    b.CreateRectRgn(5, 5, 15, 15);
    CRgn far;
    far.CreateRectRgn(50, 50, 60, 60);
    CRgn empty;

    struct Case { const CRgn* second; int mode; int kind; RECT box; POINT in; POINT out; };
    for (const Case& c : {Case{&b, RGN_AND, SIMPLEREGION, {5, 5, 10, 10}, {9, 9}, {4, 4}},
                          Case{&b, RGN_OR, COMPLEXREGION, {0, 0, 15, 15}, {14, 14}, {14, 0}},
                          Case{&b, RGN_XOR, COMPLEXREGION, {0, 0, 15, 15}, {0, 0}, {7, 7}},
                          Case{&b, RGN_DIFF, COMPLEXREGION, {0, 0, 10, 10}, {0, 9}, {9, 9}},
                          Case{nullptr, RGN_COPY, SIMPLEREGION, {0, 0, 10, 10}, {0, 0}, {10, 10}},
                          Case{&far, RGN_AND, NULLREGION, {0, 0, 0, 0}, {-1, -1}, {0, 0}}}) {
        CRgn result;
        ASSERT_EQ(result.CombineRgn(&a, c.second, c.mode), c.kind) << c.mode;
        RECT box{};
        EXPECT_EQ(result.GetRgnBox(&box), c.kind);
        EXPECT_EQ(CRect(box), CRect(c.box)) << c.mode;
        if (c.in.x >= 0) {
            EXPECT_TRUE(result.PtInRegion(c.in)) << c.mode;
        }
        EXPECT_FALSE(result.PtInRegion(c.out)) << c.mode;
    }
    CRgn result;
    EXPECT_EQ(result.CombineRgn(&a, &empty, RGN_OR), RGN_ERROR);
    EXPECT_EQ(result.CombineRgn(&a, &b, 9), RGN_ERROR);
}

TEST(Region, RectInRegion)
{
    CRgn rect;
    rect.CreateRectRgn(10, 10, 20, 20);
    struct Case { RECT rect; bool hits; };
    for (const Case& c : {Case{{0, 0, 11, 11}, true}, Case{{0, 0, 10, 10}, false}, Case{{19, 19, 30, 30}, true},
                          Case{{20, 0, 30, 30}, false}, Case{{12, 12, 12, 18}, false}, Case{{15, 15, 15, 15}, false},
                          Case{{18, 18, 12, 12}, true}, Case{{25, 25, 20, 20}, false}}) {
        EXPECT_EQ(rect.RectInRegion(&c.rect) != 0, c.hits)
            << c.rect.left << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom;
    }
}

}  // namespace
