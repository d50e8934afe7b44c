// Round shapes answer hit tests from their outlines instead of building elliptic regions: the answers agree with the
// regions on everything but the regions' boundary pixels, and cost the same for a circle of any size.
#include "gobjects/shapes/CQvGObjectCenterToCenter.h"
#include "gobjects/geometry/GeoHitRegion.h"
#include "RoundTestScene.h"

#include "gdi/CRgn.h"
#include "gdi/GdiDefs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace {

// --- The ring test against the region it stands for ---

struct RingCase
{
    const char* what;
    CRect box;
    int reach;
};

std::ostream& operator<<(std::ostream& out, const RingCase& c)
{
    return out << c.what;
}

class EllipticRing : public testing::TestWithParam<RingCase>
{
};

// The ring as the round shapes' regions make it: the ellipse of the inflated box minus the one of the deflated box.
void MakeRingRegion(CRgn& ring, const CRect& box, int reach)
{
    CRgn outer;
    CRgn inner;
    outer.CreateEllipticRgn(box.left - reach, box.top - reach, box.right + reach, box.bottom + reach);
    inner.CreateEllipticRgn(box.left + reach, box.top + reach, box.right - reach, box.bottom - reach);
    ring.CreateRectRgn(0, 0, 0, 0);
    ring.CombineRgn(&outer, &inner, RGN_DIFF);
}

// Whether the region holds the pixel, and whether its 3 x 3 neighbourhood lies all on one side of the region's
// edge.
bool OnRegionBoundary(const CRgn& region, int x, int y)
{
    const bool centre = region.PtInRegion(x, y);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (region.PtInRegion(x + dx, y + dy) != centre)
                return true;
    return false;
}

}  // namespace

// Pixel by pixel over the ring and around it, the outline's answer is the region's except on the region's boundary,
// where the region's polygon of the ellipse and the exact ellipse round differently.
TEST_P(EllipticRing, AgreesWithItsRegionOffTheBoundary)
{
    const RingCase& c = GetParam();
    CRgn region;
    MakeRingRegion(region, c.box, c.reach);
    int tested = 0;
    int differing = 0;
    for (int y = c.box.top - c.reach - 3; y <= c.box.bottom + c.reach + 3; ++y) {
        for (int x = c.box.left - c.reach - 3; x <= c.box.right + c.reach + 3; ++x) {
            ++tested;
            const bool outline = PixelsMeetEllipticRing(c.box, c.reach, CRect(x, y, x, y));
            if (outline == bool(region.PtInRegion(x, y)))
                continue;
            ++differing;
            EXPECT_TRUE(OnRegionBoundary(region, x, y)) << x << "," << y << " is " << (outline ? "" : "not ")
                                                        << "on the outline's ring, away from the region's edge";
        }
    }
    RecordProperty("differing_pixels", differing);
    RecordProperty("tested_pixels", tested);
    std::printf("%s: %d of %d pixels differ, all on the region's boundary\n", c.what, differing, tested);
}

INSTANTIATE_TEST_SUITE_P(PixelsMeetEllipticRing, EllipticRing,
                         testing::Values(RingCase{"circle_60_wide_reach_3", {150, 20, 210, 80}, 3},
                                         RingCase{"circle_60_wide_reach_1", {150, 20, 210, 80}, 1},
                                         RingCase{"ellipse_100_by_60", {20, 20, 120, 80}, 3},
                                         RingCase{"ellipse_odd_sides", {-13, 7, 24, 52}, 1},
                                         RingCase{"thin_ellipse", {0, 0, 80, 3}, 1},
                                         RingCase{"too_small_to_deflate", {5, 5, 7, 7}, 3},
                                         RingCase{"tall_circle_of_400", {1000, -2000, 1400, -1600}, 3}),
                         [](const testing::TestParamInfo<RingCase>& info) { return std::string(info.param.what); });

TEST(PixelsMeetEllipticRing, RectanglesMeetTheRingWhereAnyOfTheirPixelsDoes)
{
    // The ring from 3 inside to 3 outside the circle of radius 50 about (50, 50): pixels at distances in [47, 53).
    struct Case
    {
        CRect pixels;  // both corners included
        bool meets;
    };
    const Case cases[] = {
        {{40, 40, 60, 60}, false},     // well inside
        {{5, 5, 95, 95}, true},        // inside, its sides reaching into the ring
        {{20, 20, 80, 80}, false},     // inside the inner ellipse all over
        {{-20, -20, 120, 120}, true},  // holding the whole ring
        {{-20, -20, 5, 5}, false},     // the corner outside the circle
        {{-20, 45, -3, 55}, false},    // left of the ring
        {{-20, 45, -2, 55}, true},     // its last column touches it
        {{3, 50, 3, 50}, true},        // the ring's inner edge
        {{4, 50, 4, 50}, false},
        {{60, 60, 59, 70}, false},     // no pixel
    };
    const CRect box(0, 0, 100, 100);
    for (const Case& c : cases)
        EXPECT_EQ(PixelsMeetEllipticRing(box, 3, c.pixels), c.meets)
            << c.pixels.left << "," << c.pixels.top << " - " << c.pixels.right << "," << c.pixels.bottom;
}

TEST(PixelsMeetEllipticRing, ABoxAsLargeAsIntHasItsRingAtTheEndsOfInt)
{
    const CRect all(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_TRUE(PixelsMeetEllipticRing(all, 3, CRect(INT_MIN, 0, INT_MIN, 0)));
    EXPECT_TRUE(PixelsMeetEllipticRing(all, 3, CRect(0, INT_MAX, 0, INT_MAX)));
    EXPECT_FALSE(PixelsMeetEllipticRing(all, 3, CRect(-5, -5, 5, 5)));
    EXPECT_FALSE(PixelsMeetEllipticRing(all, 3, CRect(INT_MIN, INT_MIN, INT_MIN + 100, INT_MIN + 100)));
    // A rectangle over the whole plane meets it after a row or two, however tall.
    EXPECT_TRUE(PixelsMeetEllipticRing(all, 3, all));
}

TEST(PixelsMeetSquare, EightPixelsCentredOnThePoint)
{
    EXPECT_TRUE(PixelsMeetSquare(CPoint(10, 10), 4, CRect(6, 6, 6, 6)));
    EXPECT_TRUE(PixelsMeetSquare(CPoint(10, 10), 4, CRect(13, 13, 13, 13)));
    EXPECT_FALSE(PixelsMeetSquare(CPoint(10, 10), 4, CRect(14, 10, 20, 10)));
    EXPECT_FALSE(PixelsMeetSquare(CPoint(10, 10), 4, CRect(0, 0, 5, 5)));
    EXPECT_TRUE(PixelsMeetSquare(CPoint(10, 10), 4, CRect(0, 0, 6, 6)));
    EXPECT_FALSE(PixelsMeetSquare(CPoint(10, 10), 4, CRect(11, 11, 10, 10)));
    // At the ends of int the square is not pushed round.
    EXPECT_TRUE(PixelsMeetSquare(CPoint(INT_MAX, INT_MIN), 4, CRect(INT_MAX, INT_MIN, INT_MAX, INT_MIN)));
    EXPECT_FALSE(PixelsMeetSquare(CPoint(INT_MAX, 0), 4, CRect(INT_MIN, 0, INT_MIN + 10, 0)));
}

namespace {

// --- Every round shape, answered from its outline against its region ---

struct ShapeCase
{
    const char* what;
    OBJ_SHAPE shape;
    std::vector<CPoint> clicks;
    float ratio;
};

std::ostream& operator<<(std::ostream& out, const ShapeCase& c)
{
    return out << c.what;
}

class OutlineAgainstRegion : public testing::TestWithParam<ShapeCase>
{
};

CRect Inflated(const CRect& r, int by)
{
    return CRect(r.left - by, r.top - by, r.right + by, r.bottom + by);
}

// Whether the outline meets the rectangle (right and bottom excluded, as the regions take it).
bool OutlineMeets(CQvGObject& obj, const CRect& rect)
{
    return obj.HitByOutline(CRect(rect.left, rect.top, rect.right - 1, rect.bottom - 1)) == CQvGObject::OutlineHit::Met;
}

// Whether the rectangle's edge lies on the boundary of the region or of the outline's area: grown by a pixel it
// meets it, shrunk by one it does not. Grip squares lying over the ring may hide the ring's edge in one of them.
bool OnBoundary(const CRgn& region, CQvGObject& obj, const CRect& rect)
{
    const CRect grown = Inflated(rect, 1);
    const CRect shrunk = Inflated(rect, -1);
    return (region.RectInRegion(&grown) && !region.RectInRegion(&shrunk)) ||
           (OutlineMeets(obj, grown) && !OutlineMeets(obj, shrunk));
}

}  // namespace

// Points and clicks (the container's click rectangle: the point inflated by 4, or by 1 above a zoom of 2) all over
// and around the shape: a click meets the outline when it meets the region, except where the click's edge lies on
// the region's boundary (the click grown by a pixel meets the region and shrunk by one does not).
TEST_P(OutlineAgainstRegion, SameAnswersOffTheRegionsBoundary)
{
    const ShapeCase& c = GetParam();
    RoundTestScene scene;
    std::vector<CPoint> clicks = c.clicks;
    EXPECT_EQ(scene.container.AddObject(c.shape), 1);
    CQvGObject* obj = scene.container.GetCreatingObject();
    for (CPoint p : clicks)
        scene.Click({p});
    ASSERT_EQ(obj->GetState(), GS_FINISHED);
    scene.container.SetRatio(c.ratio);
    CRgn region;
    ASSERT_EQ(obj->GetHitTestRgn(region), 1);
    RECT bounds;
    region.GetRgnBox(&bounds);

    const int clickReach = c.ratio > 2.0f ? 1 : 4;
    int tested = 0;
    int pointsDiffering = 0;
    int clicksDiffering = 0;
    for (int y = bounds.top - 6; y < bounds.bottom + 6; ++y) {
        for (int x = bounds.left - 6; x < bounds.right + 6; ++x) {
            ++tested;
            if (OutlineMeets(*obj, CRect(x, y, x + 1, y + 1)) != bool(region.PtInRegion(x, y))) {
                ++pointsDiffering;
                EXPECT_TRUE(OnBoundary(region, *obj, CRect(x, y, x + 1, y + 1))) << "point " << x << "," << y;
            }
            const CRect click = Inflated(CRect(x, y, x, y), clickReach);  // the container's rectangle
            if (OutlineMeets(*obj, click) != bool(region.RectInRegion(&click))) {
                ++clicksDiffering;
                EXPECT_TRUE(OnBoundary(region, *obj, click)) << "click " << x << "," << y;
            }
        }
    }
    RecordProperty("tested", tested);
    RecordProperty("points_differing", pointsDiffering);
    RecordProperty("clicks_differing", clicksDiffering);
    std::printf("%s: of %d places, %d points and %d clicks differ, all on the region's boundary\n", c.what, tested,
                pointsDiffering, clicksDiffering);
}

INSTANTIATE_TEST_SUITE_P(
    RoundShapes, OutlineAgainstRegion,
    testing::Values(ShapeCase{"ellipse", SHAPE_ELLIPSE, {{20, 20}, {120, 80}}, 1.0f},
                    ShapeCase{"ellipse_zoomed_in", SHAPE_ELLIPSE, {{20, 20}, {120, 80}}, 2.5f},
                    ShapeCase{"circle", SHAPE_CIRCLE, {{150, 20}, {210, 80}}, 1.0f},
                    ShapeCase{"circle_zoomed_in", SHAPE_CIRCLE, {{150, 20}, {210, 80}}, 2.5f},
                    ShapeCase{"circle_from_centre", SHAPE_CIRCLE_FROM_CENTER, {{100, 100}, {131, 131}}, 1.0f},
                    ShapeCase{"three_point_circle", SHAPE_3POINT_CIRCLE, {{20, 40}, {61, 40}, {40, 17}}, 1.0f},
                    ShapeCase{"three_point_circle_zoomed_in",
                              SHAPE_3POINT_CIRCLE,
                              {{100, 50}, {120, 90}, {80, 90}},
                              2.5f},
                    ShapeCase{"centre_to_centre",
                              SHAPE_CENTER_TO_CENTER,
                              {{30, 20}, {20, 10}, {10, 20}, {100, 50}, {80, 30}, {60, 50}},
                              1.0f},
                    ShapeCase{"centre_to_centre_zoomed_in",
                              SHAPE_CENTER_TO_CENTER,
                              {{30, 20}, {20, 10}, {10, 20}, {100, 50}, {80, 30}, {60, 50}},
                              2.5f}),
    [](const testing::TestParamInfo<ShapeCase>& info) { return std::string(info.param.what); });

namespace {

// --- Circles far larger than any region ---

struct HugeCase
{
    const char* what;
    int radius;
    CPoint click;
    int hit;
};

std::ostream& operator<<(std::ostream& out, const HugeCase& c)
{
    return out << c.what;
}

class HugeCentreToCentre : public testing::TestWithParam<HugeCase>
{
};

}  // namespace

// Circles of any size are picked by their outline: before, a circle wider than the region library's limit
// (65536 pixels) could not be picked at all, and smaller large ones built giant regions on every click.
TEST_P(HugeCentreToCentre, IsPickedByItsOutlineOnly)
{
    const HugeCase& c = GetParam();
    RoundTestScene scene;
    const int r = c.radius;
    // Circle A about (0, 0), circle B about (3r, 0), rim points at 0, 90 and 180 degrees.
    CQvGObject* obj = scene.Draw(SHAPE_CENTER_TO_CENTER,
                                 {{r, 0}, {0, -r}, {-r, 0}, {4 * r, 0}, {3 * r, -r}, {2 * r, 0}});
    ASSERT_EQ(obj->GetState(), GS_FINISHED);
    scene.container.SetRatio(1.0f);
    CRect click(c.click, c.click);
    click.InflateRect(4);
    EXPECT_EQ(obj->IsSelected(click), c.hit);
}

INSTANTIATE_TEST_SUITE_P(
    CenterToCenter, HugeCentreToCentre,
    testing::Values(HugeCase{"radius_28000_bottom_of_circle_A", 28000, {0, 28002}, 1},
                    HugeCase{"radius_28000_inside_circle_A", 28000, {0, 27990}, 0},
                    HugeCase{"radius_28000_outside_circle_B", 28000, {84000, 28010}, 0},
                    HugeCase{"radius_28000_bottom_of_circle_B", 28000, {84000, 27998}, 1},
                    HugeCase{"radius_40000_bottom_of_circle_A", 40000, {0, 40000}, 1},
                    HugeCase{"radius_40000_inside_circle_A", 40000, {0, 39990}, 0},
                    HugeCase{"radius_40000_bottom_of_circle_B", 40000, {120000, 40001}, 1},
                    HugeCase{"radius_1000000_bottom_of_circle_A", 1000000, {0, 1000001}, 1},
                    HugeCase{"radius_1000000_centre_of_circle_A", 1000000, {0, 0}, 0}),
    [](const testing::TestParamInfo<HugeCase>& info) { return std::string(info.param.what); });
