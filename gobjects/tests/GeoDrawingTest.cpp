#include "gobjects/geometry/GeoDrawing.h"

#include "testing/RenderCheck.h"
#include "gdi/CDC.h"
#include "gdi/CRecordingDC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

using testing_support::BlankSurface;
using testing_support::CountColour;
using testing_support::PixelAt;

namespace {

constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhite = 0xFFFFFF;

// Draws one line end in black (pen and brush) on a white 100 x 100 surface.
QImage LineEndImage(ARROW_TYPE type, double tipX, double tipY, double otherX, double otherY)
{
    QImage image = BlankSurface(100, 100);
    CDC dc(image);
    CBrush black(RGB(0, 0, 0));
    CBrush* previous = dc.SelectObject(&black);
    DrawLineEnd(&dc, type, tipX, tipY, otherX, otherY);
    dc.SelectObject(previous);
    return image;
}

bool AnyBlackNear(const QImage& image, int x, int y)
{
    return CountColour(image, kBlack, QRect(x - 1, y - 1, 3, 3)) > 0;
}

}  // namespace

TEST(DrawLineEnd, ArrowHeadSitsAtTheTipAndOpensTowardsTheOtherEnd)
{
    struct Case { double ux, uy; };  // unit direction from the tip towards the other end
    const double d = std::sqrt(0.5);
    const Case cases[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {d, -d}, {-d, d}, {d, d}};
    for (const Case& c : cases) {
        const QImage image = LineEndImage(ARROW_TRIANGLE, 50, 50, 50 + 40 * c.ux, 50 + 40 * c.uy);
        auto at = [&](double along, double across) {
            return PixelAt(image, std::lround(50 + along * c.ux - across * c.uy),
                           std::lround(50 + along * c.uy + across * c.ux));
        };
        EXPECT_EQ(at(6, 0), kBlack) << c.ux << "," << c.uy;
        EXPECT_EQ(at(10, 0), kBlack) << c.ux << "," << c.uy;
        EXPECT_EQ(at(-4, 0), kWhite) << c.ux << "," << c.uy;    // nothing behind the tip
        EXPECT_EQ(at(15, 0), kWhite) << c.ux << "," << c.uy;    // the head is 12 pixels long
        EXPECT_EQ(at(6, 5), kWhite) << c.ux << "," << c.uy;     // 2.5 pixels to each side at mid length
        EXPECT_EQ(at(6, -5), kWhite) << c.ux << "," << c.uy;
    }
}

TEST(DrawLineEnd, EachTypeHasItsOwnShape)
{
    // Tip (50,50), other end to the right.
    const QImage none = LineEndImage(ARROW_NONE, 50, 50, 90, 50);
    EXPECT_EQ(CountColour(none, kBlack), 0);

    const QImage triangle = LineEndImage(ARROW_TRIANGLE, 50, 50, 90, 50);
    const QImage notched = LineEndImage(ARROW_NOTCHED, 50, 50, 90, 50);
    EXPECT_EQ(PixelAt(triangle, 59, 50), kBlack);
    EXPECT_EQ(PixelAt(notched, 59, 50), kWhite);  // inside the notch between x 56 and 62
    EXPECT_EQ(PixelAt(notched, 53, 50), kBlack);
    EXPECT_TRUE(AnyBlackNear(notched, 60, 46));    // the barbs reach back to x 62

    // The bar: 72 pixels across the line, centred on the tip, its last pixel left out as LineTo does.
    const QImage bar = LineEndImage(ARROW_BAR, 50, 50, 90, 50);
    EXPECT_EQ(CountColour(bar, kBlack), 72);
    EXPECT_EQ(CountColour(bar, kBlack, QRect(50, 14, 1, 72)), 72);
}

TEST(DrawLineEnd, BarIsPerpendicularToTheLineInEveryDirection)
{
    struct Case { double otherX, otherY; std::string move, line; };
    const Case cases[] = {
        {90, 50, "MoveTo(50,14)", "LineTo(50,86)"},
        {50, 10, "MoveTo(14,50)", "LineTo(86,50)"},
        {10, 50, "MoveTo(50,86)", "LineTo(50,14)"},
        {50, 90, "MoveTo(86,50)", "LineTo(14,50)"},
    };
    for (const Case& c : cases) {
        CRecordingDC dc;
        DrawLineEnd(&dc, ARROW_BAR, 50, 50, c.otherX, c.otherY);
        ASSERT_EQ(dc.Calls().size(), 2u);
        EXPECT_EQ(dc.Calls()[0], c.move);
        EXPECT_EQ(dc.Calls()[1], c.line);
    }
}

TEST(DrawAngleArc, InnerOrOuterSideWhicheverLineComesFirst)
{
    // Lines leave the crossing (50,50) to the right and upwards; midpoints 20 pixels out.
    const _RPOINT right[2] = {{50, 50}, {90, 50}};
    const _RPOINT up[2] = {{50, 50}, {50, 10}};
    struct Case { bool rightFirst; int inner; int radius; };
    const Case cases[] = {
        {true, 1, 20}, {false, 1, 20}, {true, 0, 20}, {false, 0, 20}, {true, 1, -1}, {false, 0, -1},
    };
    for (const Case& c : cases) {
        QImage image = BlankSurface(100, 100);
        CDC dc(image);
        const _RPOINT* a = c.rightFirst ? right : up;
        const _RPOINT* b = c.rightFirst ? up : right;
        DrawAngleArc(&dc, a[0], a[1], b[0], b[1], c.inner, c.radius);
        // 45 degrees into the upper-right quadrant (inner side) and the opposite point (outer side).
        EXPECT_EQ(AnyBlackNear(image, 64, 36), c.inner != 0) << c.rightFirst << c.inner << c.radius;
        EXPECT_EQ(AnyBlackNear(image, 36, 64), c.inner == 0) << c.rightFirst << c.inner << c.radius;
        EXPECT_EQ(AnyBlackNear(image, 30, 50), c.inner == 0) << c.rightFirst << c.inner << c.radius;
        EXPECT_EQ(AnyBlackNear(image, 50, 69), c.inner == 0) << c.rightFirst << c.inner << c.radius;
        EXPECT_EQ(CountColour(image, kBlack, QRect(25, 25, 51, 51)), CountColour(image, kBlack));  // radius 20
    }
}

TEST(DrawAngleArc, ParallelLinesDrawNothing)
{
    CRecordingDC dc;
    DrawAngleArc(&dc, {0, 0}, {40, 20}, {0, 10}, {40, 30}, 1, -1);
    DrawAngleArc(&dc, {5, 0}, {5, 40}, {9, 3}, {9, 30}, 0, 20);
    EXPECT_TRUE(dc.Calls().empty());
}

TEST(DrawRectangleOutline, FourClosedEdgesAndThePenRestored)
{
    QImage image = BlankSurface(40, 30);
    CDC dc(image);
    CPen* before = dc.GetCurrentPen();
    DrawRectangleOutline(&dc, 10, 5, 30, 20, RGB(255, 0, 0), 1);
    EXPECT_EQ(dc.GetCurrentPen(), before);

    constexpr QRgb kRed = 0xFF0000;
    for (auto [x, y] : {std::pair{10, 5}, {30, 5}, {30, 20}, {10, 20}, {20, 5}, {30, 12}, {20, 20}, {10, 12}})
        EXPECT_EQ(PixelAt(image, x, y), kRed) << x << "," << y;
    EXPECT_EQ(CountColour(image, kRed), 2 * 20 + 2 * 15);
    EXPECT_EQ(PixelAt(image, 20, 12), kWhite);
}

TEST(EstimateTextWidth, LengthTimesAverageCharacterWidthAndAHalf)
{
    LOGFONTA font{};
    font.lfHeight = -13;
    font.lfWeight = 400;
    std::copy_n("Tahoma", 7, font.lfFaceName);

    const int two = EstimateTextWidth(&font, "ab");
    ASSERT_GT(two, 0);
    EXPECT_EQ(two % 3, 0);  // 2 x width x 1.5 is a whole number
    EXPECT_EQ(EstimateTextWidth(&font, "abcd"), 2 * two);
    EXPECT_EQ(EstimateTextWidth(&font, "\xEA\xB0\x80\xEB\x82\x98"), 2 * two);  // two Hangul syllables
    EXPECT_EQ(EstimateTextWidth(&font, ""), 0);

    CFont created;
    ASSERT_TRUE(created.CreateFontIndirect(&font));
    EXPECT_EQ(EstimateTextWidth(&created, "abcd"), 2 * two);

    font.lfHeight = -26;
    EXPECT_GT(EstimateTextWidth(&font, "ab"), two);
}
