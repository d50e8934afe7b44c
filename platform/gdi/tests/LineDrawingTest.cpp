// Lines, pen styles, polylines and arcs on a rendered surface.
#include "gdi/CDC.h"

#include "testing/RenderCheck.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>

namespace {

using testing_support::BlankSurface;
using testing_support::CountColour;
using testing_support::PixelAt;

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;

// The pixels along row y from x0 to x1 as '#' (black), '.' (white) or 'o' (anything else).
std::string Row(const QImage& image, int y, int x0, int x1)
{
    std::string row;
    for (int x = x0; x <= x1; ++x) {
        const QRgb pixel = PixelAt(image, x, y);
        row += pixel == kBlack ? '#' : pixel == kWhite ? '.' : 'o';
    }
    return row;
}

TEST(LineDrawing, LineToLeavesItsEndPixelAndMovesThePosition)
{
    struct Case { POINT from; POINT to; POINT lastPainted; };
    for (const Case& c : {Case{{2, 10}, {18, 10}, {17, 10}}, Case{{18, 10}, {2, 10}, {3, 10}},
                          Case{{10, 2}, {10, 18}, {10, 17}}, Case{{10, 18}, {10, 2}, {10, 3}},
                          Case{{2, 2}, {18, 18}, {17, 17}}, Case{{18, 2}, {2, 18}, {3, 17}}}) {
        QImage surface = BlankSurface(21, 21);
        CDC dc(surface);
        dc.MoveTo(c.from);
        dc.LineTo(c.to);
        EXPECT_EQ(dc.GetCurrentPosition(), CPoint(c.to));
        EXPECT_EQ(PixelAt(surface, c.from.x, c.from.y), kBlack);
        EXPECT_EQ(PixelAt(surface, c.lastPainted.x, c.lastPainted.y), kBlack);
        EXPECT_EQ(PixelAt(surface, c.to.x, c.to.y), kWhite) << c.to.x << "," << c.to.y;
        EXPECT_EQ(CountColour(surface, kBlack), 16);
    }
}

TEST(LineDrawing, LinesFromTheEndsOfTheCoordinateRangePaintTheirVisiblePart)
{
    // Endpoints far off the surface, up to the ends of int: only the pixels on the surface are painted, where
    // the ideal line crosses it.
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    struct Case { POINT from; POINT to; POINT painted; int count; };
    for (const Case& c : {Case{{kMin, 5}, {kMax, 5}, {0, 5}, 10}, Case{{kMax, 5}, {kMin, 5}, {9, 5}, 10},
                          Case{{5, kMin}, {5, kMax}, {5, 0}, 10}, Case{{5, kMax}, {5, kMin}, {5, 9}, 10},
                          Case{{kMin, kMin}, {kMax, kMax}, {4, 4}, 10}, Case{{kMax, kMax}, {kMin, kMin}, {4, 4}, 10},
                          Case{{kMin, kMax}, {kMax, kMin}, {4, 5}, 0},   // x + y = -1: misses the surface
                          Case{{kMin + 1, kMax}, {kMax, kMin + 1}, {0, 0}, 1}}) {
        QImage surface = BlankSurface(10, 10);
        CDC dc(surface);
        dc.MoveTo(c.from);
        dc.LineTo(c.to);
        EXPECT_EQ(CountColour(surface, kBlack), c.count) << c.from.x << "," << c.from.y;
        if (c.count > 0) {
            EXPECT_EQ(PixelAt(surface, c.painted.x, c.painted.y), kBlack) << c.from.x << "," << c.from.y;
        }
    }
}

TEST(LineDrawing, ConsecutiveLinesJoinWithoutGapsOrDoubles)
{
    QImage surface = BlankSurface(12, 12);
    CDC dc(surface);
    dc.SetROP2(R2_NOT);
    dc.MoveTo(1, 1);
    dc.LineTo(10, 1);
    dc.LineTo(10, 10);
    dc.LineTo(1, 1);
    // Every pixel of the closed triangle inverted once: 9 + 9 + 9 pixels.
    EXPECT_EQ(CountColour(surface, kBlack), 27);
    EXPECT_EQ(PixelAt(surface, 10, 1), kBlack);
}

TEST(LineDrawing, PenStylesAtOnePixel)
{
    struct Case { int style; const char* row; };
    for (const Case& c : {Case{PS_SOLID, "##############################"},
                          Case{PS_DOT, "###...###...###...###...###..."},
                          Case{PS_DASH, "##################......######"},
                          Case{PS_DASHDOT, "#########......###......######"},
                          Case{PS_DASHDOTDOT, "#########...###...###...######"},
                          Case{PS_NULL, ".............................."}}) {
        for (int width : {0, 1}) {
            QImage surface = BlankSurface(40, 3);
            CDC dc(surface);
            dc.SetBkMode(TRANSPARENT);
            CPen pen(c.style, width, RGB(0, 0, 0));
            dc.SelectObject(&pen);
            dc.MoveTo(0, 1);
            dc.LineTo(40, 1);
            EXPECT_EQ(Row(surface, 1, 0, 29), c.row) << "style " << c.style << " width " << width;
        }
    }
}

TEST(LineDrawing, StyledPenWiderThanOnePixelIsSolid)
{
    QImage surface = BlankSurface(40, 9);
    CDC dc(surface);
    CPen pen(PS_DOT, 3, RGB(0, 0, 0));
    dc.SelectObject(&pen);
    dc.MoveTo(4, 4);
    dc.LineTo(34, 4);
    EXPECT_EQ(Row(surface, 4, 4, 33), std::string(30, '#'));
    EXPECT_EQ(Row(surface, 3, 4, 33), std::string(30, '#'));
    EXPECT_EQ(Row(surface, 5, 4, 33), std::string(30, '#'));
    EXPECT_EQ(CountColour(surface, kBlack, QRect(0, 0, 40, 2)), 0);
}

TEST(LineDrawing, OpaqueModeFillsDashGapsWithTheBackgroundColour)
{
    QImage surface = BlankSurface(20, 3);
    CDC dc(surface);
    dc.SetBkColor(RGB(255, 0, 0));
    CPen pen(PS_DOT, 1, RGB(0, 0, 0));
    dc.SelectObject(&pen);
    dc.MoveTo(0, 1);
    dc.LineTo(12, 1);
    EXPECT_EQ(Row(surface, 1, 0, 12), "###ooo###ooo.");
    EXPECT_EQ(PixelAt(surface, 4, 1), 0xFF0000u);
}

TEST(LineDrawing, TheSameStyledLineDrawnAgainHasTheSamePattern)
{
    QImage once = BlankSurface(40, 40);
    QImage twice = BlankSurface(40, 40);
    for (QImage* surface : {&once, &twice}) {
        CDC dc(*surface);
        dc.SetBkMode(TRANSPARENT);
        CPen pen(PS_DASHDOT, 1, RGB(0, 0, 0));
        dc.SelectObject(&pen);
        for (int pass = 0; pass < (surface == &once ? 1 : 2); ++pass) {
            dc.MoveTo(3, 5);
            dc.LineTo(37, 31);
        }
    }
    EXPECT_TRUE(testing_support::ImagesMatch(twice, once, "gdi-styled-line-again"));
}

TEST(LineDrawing, PolylineLeavesOnlyItsLastPoint)
{
    QImage surface = BlankSurface(12, 12);
    CDC dc(surface);
    const POINT points[] = {{1, 1}, {8, 1}, {8, 8}};
    EXPECT_TRUE(dc.Polyline(points, 3));
    EXPECT_EQ(PixelAt(surface, 1, 1), kBlack);
    EXPECT_EQ(PixelAt(surface, 8, 1), kBlack);
    EXPECT_EQ(PixelAt(surface, 8, 7), kBlack);
    EXPECT_EQ(PixelAt(surface, 8, 8), kWhite);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(0, 0));
    EXPECT_FALSE(dc.Polyline(points, 1));
}

TEST(LineDrawing, SetPixelIgnoresTheMixModeAndGetPixelReadsBack)
{
    QImage surface = BlankSurface(4, 4);
    CDC dc(surface);
    dc.SetROP2(R2_XORPEN);
    EXPECT_EQ(dc.SetPixel(1, 2, RGB(10, 20, 30)), RGB(10, 20, 30));
    EXPECT_EQ(dc.GetPixel(1, 2), RGB(10, 20, 30));
    EXPECT_EQ(PixelAt(surface, 1, 2), 0x0A141Eu);
    EXPECT_EQ(dc.SetPixel(4, 0, 0), CLR_INVALID);
    EXPECT_EQ(dc.GetPixel(-1, 0), CLR_INVALID);
}

// Counts the black pixels of each quadrant around (cx, cy): {upper right, upper left, lower left, lower right}.
std::array<int, 4> Quadrants(const QImage& image, int cx, int cy)
{
    const int w = image.width();
    const int h = image.height();
    return {CountColour(image, kBlack, QRect(QPoint(cx + 1, 0), QPoint(w - 1, cy - 1))),
            CountColour(image, kBlack, QRect(QPoint(0, 0), QPoint(cx - 1, cy - 1))),
            CountColour(image, kBlack, QRect(QPoint(0, cy + 1), QPoint(cx - 1, h - 1))),
            CountColour(image, kBlack, QRect(QPoint(cx + 1, cy + 1), QPoint(w - 1, h - 1)))};
}

TEST(LineDrawing, ArcRunsCounterClockwiseFromTheStartRadial)
{
    struct Case { POINT start; POINT end; std::array<bool, 4> painted; };
    // Box [10, 51) x [10, 51): centre (30, 30), radius 20.
    for (const Case& c : {Case{{60, 30}, {30, 0}, {true, false, false, false}},      // right to top
                          Case{{30, 0}, {60, 30}, {false, true, true, true}},       // top, left, bottom to right
                          Case{{0, 30}, {30, 60}, {false, false, true, false}},     // left to bottom
                          Case{{60, 60}, {0, 0}, {true, true, false, true}},        // lower right to upper left
                          Case{{40, 30}, {80, 30}, {true, true, true, true}}}) {    // same radial: whole ellipse
        QImage surface = BlankSurface(61, 61);
        CDC dc(surface);
        dc.Arc(10, 10, 51, 51, c.start.x, c.start.y, c.end.x, c.end.y);
        const auto quadrants = Quadrants(surface, 30, 30);
        for (int q = 0; q < 4; ++q)
            EXPECT_EQ(quadrants[q] > 3, c.painted[q]) << "start " << c.start.x << "," << c.start.y << " quadrant " << q;
        EXPECT_EQ(CountColour(surface, kBlack, QRect(0, 0, 10, 61)) + CountColour(surface, kBlack, QRect(51, 0, 10, 61)),
                  0);
    }
}

}  // namespace
