#include "latticer/CLatticer.h"
#include "RecordedCalls.h"
#include "testing/RenderCheck.h"

#include "gdi/CDC.h"
#include "gdi/CMeasureDC.h"
#include "gdi/CRecordingDC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>

using latticer_test::CallsNamed;
using latticer_test::Segment;
using latticer_test::Segments;
using latticer_test::Texts;
using testing_support::BlankSurface;
using testing_support::CountColour;
using testing_support::PixelAt;

namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;

CLatticer Grid(int kinds, SIZE canvas, float gap, double upp = 1.0)
{
    CLatticer grid;
    grid.Create(kinds, canvas, upp, gap);
    grid.SetLineColor(0x000000);
    return grid;
}

QImage Render(CLatticer& grid, int width, int height, POINT origin = {0, 0}, float ratio = 1.0f)
{
    QImage surface = BlankSurface(width, height);
    {
        CDC dc(surface);
        grid.Draw(&dc, origin, ratio);
    }
    return surface;
}

std::vector<std::string> Record(CLatticer& grid, POINT origin = {0, 0}, float ratio = 1.0f)
{
    CRecordingDC dc;
    grid.Draw(&dc, origin, ratio);
    return dc.Calls();
}

bool IsVertical(const Segment& s) { return s.x0 == s.x1; }
bool IsHorizontal(const Segment& s) { return s.y0 == s.y1; }

TEST(LatticerDraw, MinimumSpacingIsTenImagePixels)
{
    struct Case
    {
        float gap;
        double upp;
        int kinds;
        float gapAfter;
        int firstColumnsStep;  // distance between the first two grid columns in device pixels
    } cases[] = {
        {5.0f, 1.0, G_CHECK, 10.0f, 10},
        {9.99f, 1.0, G_CHECK, 10.0f, 10},
        {30.0f, 1.0, G_CHECK, 30.0f, 30},
        {5.0f, 0.5, G_CHECK, 5.0f, 10},
        {4.9f, 0.5, G_CHECK, 5.0f, 10},
        {-3.0f, 1.0, G_CHECK, 10.0f, 10},
        {std::numeric_limits<float>::quiet_NaN(), 1.0, G_CHECK, 10.0f, 10},
        {5.0f, 1.0, 0, 10.0f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "gap " << c.gap << " upp " << c.upp);
        CLatticer grid = Grid(c.kinds, SIZE{640, 480}, c.gap, c.upp);
        CRecordingDC dc;
        grid.Draw(&dc, POINT{0, 0}, 1.0f);
        EXPECT_FLOAT_EQ(grid.gap, c.gapAfter);
        const std::vector<Segment> lines = Segments(dc);
        if (c.kinds == 0) {
            EXPECT_TRUE(dc.Calls().empty());
            continue;
        }
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[1].x0 - lines[0].x0, c.firstColumnsStep);
    }
}

TEST(LatticerDraw, UnusableScaleOrZoomDrawsNothing)
{
    for (const double upp : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity()}) {
        CLatticer grid = Grid(0x3F, SIZE{640, 480}, 30.0f, upp);
        grid.ShowRuler(1);
        EXPECT_TRUE(Record(grid).empty()) << "upp " << upp;
        EXPECT_EQ(grid.gap, 30.0f);
    }
    // Nor does a zoom that is not a positive number; the spacing rule still holds.
    for (const float ratio : {0.0f, -2.0f, std::numeric_limits<float>::quiet_NaN()}) {
        CLatticer grid = Grid(0x3F, SIZE{640, 480}, 5.0f);
        grid.ShowRuler(1);
        EXPECT_TRUE(Record(grid, POINT{0, 0}, ratio).empty()) << "ratio " << ratio;
        EXPECT_EQ(grid.gap, 10.0f);
    }
}

TEST(LatticerDraw, CalibrationChangeKeepsLinesAndHalvesLabels)
{
    CLatticer grid = Grid(0x3F, SIZE{640, 480}, 30.0f);
    grid.ShowRuler(1);
    CRecordingDC before;
    grid.Draw(&before, POINT{0, 0}, 1.0f);

    grid.Update(grid.type, grid.canvas, 0.5, grid.gap);
    ASSERT_FLOAT_EQ(grid.gap, 15.0f);
    CRecordingDC after;
    grid.Draw(&after, POINT{0, 0}, 1.0f);

    EXPECT_EQ(Segments(after), Segments(before));
    EXPECT_EQ(CallsNamed(after, "Rectangle").size(), CallsNamed(before, "Rectangle").size());
    const std::vector<std::string> labelsBefore = Texts(before);
    const std::vector<std::string> labelsAfter = Texts(after);
    ASSERT_EQ(labelsAfter.size(), labelsBefore.size());
    ASSERT_FALSE(labelsAfter.empty());
    EXPECT_EQ(labelsBefore.front(), "30");
    EXPECT_EQ(labelsAfter.front(), "15");
    EXPECT_EQ(labelsAfter.back(), std::to_string(std::stoi(labelsBefore.back()) / 2));
}

// The check grid on an 80 x 60 surface with a 64 x 48 image, 10-pixel spacing: vertical lines start on row 48
// and stop short of row 0, horizontal lines stop short of column 64.
TEST(LatticerDraw, CheckGridPixels)
{
    CLatticer grid = Grid(G_CHECK, SIZE{64, 48}, 10.0f);
    const QImage image = Render(grid, 80, 60);

    for (int column = 0; column <= 60; column += 10) {
        EXPECT_EQ(PixelAt(image, column, 48), kBlack) << column;
        EXPECT_EQ(PixelAt(image, column, 49), kWhite) << column;
        EXPECT_EQ(PixelAt(image, column, 5), kBlack) << column;
    }
    for (int row = 0; row <= 40; row += 10) {
        EXPECT_EQ(PixelAt(image, 63, row), kBlack) << row;
        EXPECT_EQ(PixelAt(image, 64, row), kWhite) << row;
    }
    EXPECT_EQ(PixelAt(image, 5, 5), kWhite);
    // 7 columns of 48 pixels, 5 rows of 64, less the 28 crossings below row 0 that both paint.
    EXPECT_EQ(CountColour(image, kBlack), 7 * 48 + 5 * 64 - 28);
}

// One probe table per kind on a 200 x 160 image with 20-pixel spacing, drawn 1:1 at the origin.
TEST(LatticerDraw, EachKindPaintsItsFigure)
{
    struct Probe
    {
        int x, y;
        QRgb colour;
    };
    struct Case
    {
        int kind;
        std::vector<Probe> probes;
    } cases[] = {
        {G_CHECK, {{0, 0, kBlack}, {20, 100, kBlack}, {100, 20, kBlack}, {10, 10, kWhite}, {199, 10, kWhite}}},
        // Cross at column trunc(201 / 2) = 100 and row trunc(161 / 2) = 80; the horizontal line is drawn
        // right to left, so its end at column 0 stays unpainted.
        {G_CROSS, {{100, 0, kBlack}, {100, 159, kBlack}, {100, 160, kWhite}, {101, 50, kWhite},
                   {1, 80, kBlack}, {0, 80, kWhite}, {199, 80, kBlack}}},
        // First square: box [80, 121) x [60, 101).
        {G_RECTANGLES, {{80, 80, kBlack}, {120, 80, kBlack}, {121, 80, kWhite}, {79, 80, kWhite},
                        {100, 60, kBlack}, {100, 100, kBlack}, {100, 101, kWhite}, {100, 80, kWhite}}},
        // Reticle: axes across the image, 9-pixel ticks each spacing (rows 76..84) and each 0.6 spacing.
        {G_CIRCLECROSS, {{0, 80, kBlack}, {199, 80, kBlack}, {100, 0, kBlack}, {100, 159, kBlack},
                         {120, 76, kBlack}, {120, 84, kBlack}, {120, 75, kWhite}, {120, 85, kWhite},
                         {80, 84, kBlack}, {96, 92, kBlack}, {104, 92, kBlack}, {95, 92, kWhite},
                         {105, 92, kWhite}, {104, 68, kBlack}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind);
        CLatticer grid = Grid(c.kind, SIZE{200, 160}, 20.0f);
        const QImage image = Render(grid, 220, 180);
        for (const Probe& p : c.probes)
            EXPECT_EQ(PixelAt(image, p.x, p.y), p.colour) << "(" << p.x << ", " << p.y << ")";
    }
}

TEST(LatticerDraw, DiagonalsAndCirclesPixels)
{
    CLatticer diagonals = Grid(G_DIAGONALS, SIZE{200, 160}, 20.0f);
    const QImage crossed = Render(diagonals, 200, 160);
    // Image rows -19 .. 180 across the full width: every row has ink one pixel either side of x = y + 19 and of
    // its mirror x = 200 - (y + 19).
    for (int row = 0; row < 160; ++row) {
        EXPECT_GT(CountColour(crossed, kBlack, QRect(row + 18, row, 3, 1)), 0) << row;
        EXPECT_GT(CountColour(crossed, kBlack, QRect(200 - row - 20, row, 3, 1)), 0) << row;
    }

    CLatticer circles = Grid(G_CIRCLES, SIZE{200, 160}, 20.0f);
    const QImage rings = Render(circles, 200, 160);
    // First circle in the box [80, 121) x [60, 101): ink at its four extremes, none at the box corner or centre.
    EXPECT_GT(CountColour(rings, kBlack, QRect(99, 60, 3, 1)), 0);
    EXPECT_GT(CountColour(rings, kBlack, QRect(99, 100, 3, 1)), 0);
    EXPECT_GT(CountColour(rings, kBlack, QRect(80, 79, 1, 3)), 0);
    EXPECT_GT(CountColour(rings, kBlack, QRect(120, 79, 1, 3)), 0);
    EXPECT_EQ(CountColour(rings, kBlack, QRect(80, 60, 4, 4)), 0);
    EXPECT_EQ(CountColour(rings, kBlack, QRect(95, 75, 10, 10)), 0);
}

TEST(LatticerDraw, FigureCountsOn640x480)
{
    CLatticer rectangles = Grid(G_RECTANGLES, SIZE{640, 480}, 30.0f);
    CRecordingDC rectDc;
    rectangles.Draw(&rectDc, POINT{0, 0}, 1.0f);
    const auto boxes = CallsNamed(rectDc, "Rectangle");
    ASSERT_EQ(boxes.size(), 11u);
    EXPECT_EQ(boxes.back().numbers, (std::vector<int>{-9, -89, 651, 571}));
    EXPECT_EQ(boxes.front().numbers, (std::vector<int>{290, 210, 351, 271}));

    CLatticer circles = Grid(G_CIRCLES, SIZE{640, 480}, 30.0f);
    CRecordingDC circleDc;
    circles.Draw(&circleDc, POINT{0, 0}, 1.0f);
    EXPECT_EQ(CallsNamed(circleDc, "Ellipse").size(), 11u);

    CLatticer diagonals = Grid(G_DIAGONALS, SIZE{640, 480}, 30.0f);
    CRecordingDC diagonalDc;
    diagonals.Draw(&diagonalDc, POINT{0, 0}, 1.0f);
    // Image rows -79 and 560; row -79 maps to device row rnd(-79) = trunc(-78.5) = -78.
    EXPECT_EQ(Segments(diagonalDc), (std::vector<Segment>{{0, -78, 640, 560}, {640, -78, 0, 560}}));
}

TEST(LatticerDraw, ReticleTicksStopAtNineAndSixteenOrAtTheImageEdge)
{
    struct Case
    {
        SIZE canvas;
        size_t ticksAcross;  // vertical tick lines on the horizontal axis, both sides
        size_t ticksDown;
    } cases[] = {
        {{1000, 1000}, 18, 32},
        {{640, 480}, 18, 26},
    };
    for (const Case& c : cases) {
        CLatticer grid = Grid(G_CIRCLECROSS, c.canvas, 30.0f);
        CRecordingDC dc;
        grid.Draw(&dc, POINT{0, 0}, 1.0f);
        const int xc = c.canvas.cx / 2;
        const int yc = c.canvas.cy / 2;
        const std::vector<Segment> lines = Segments(dc);
        const auto across = std::count_if(lines.begin(), lines.end(), [&](const Segment& s) {
            return IsVertical(s) && s.y0 == yc - 4 && s.y1 == yc + 5;
        });
        const auto down = std::count_if(lines.begin(), lines.end(), [&](const Segment& s) {
            return IsHorizontal(s) && s.x0 == xc - 4 && s.x1 == xc + 5;
        });
        EXPECT_EQ(size_t(across), c.ticksAcross) << c.canvas.cx;
        EXPECT_EQ(size_t(down), c.ticksDown) << c.canvas.cx;
        EXPECT_EQ(CallsNamed(dc, "Ellipse").size(), 1u);
    }
}

TEST(LatticerDraw, RulerLabelsBothSidesWithDecimals)
{
    CLatticer grid = Grid(G_CROSS, SIZE{640, 480}, 30.0f);
    grid.ShowRuler(1);
    grid.SetDecimal(2);
    CRecordingDC dc;
    grid.Draw(&dc, POINT{0, 0}, 1.0f);

    std::map<std::string, int> drawn;
    for (const std::string& text : Texts(dc))
        ++drawn[text];
    // Ten spacings fit right of the centre (320 + 300 < 640), seven below it (240 + 210 < 480).
    std::map<std::string, int> expected;
    for (int n = 1; n <= 10; ++n) {
        char text[16];
        std::snprintf(text, sizeof text, "%d.00", 30 * n);
        expected[text] = n <= 7 ? 4 : 2;
    }
    EXPECT_EQ(drawn, expected);

    // The first label box is centred under the tick at column 350, its top 12 pixels below the cross.
    CMeasureDC measure;
    CFont font;
    font.CreateFontIndirect(&grid.font);
    measure.SelectObject(&font);
    const int halfWidth = measure.GetTextExtent("30.00").cx / 2;
    const auto boxes = CallsNamed(dc, "DrawText");
    ASSERT_FALSE(boxes.empty());
    std::vector<int> box(boxes.front().numbers.begin(), boxes.front().numbers.begin() + 4);
    EXPECT_EQ(box, (std::vector<int>{350 - halfWidth, 252, 350 - halfWidth + 50, 282}));
}

TEST(LatticerDraw, RulerNeedsTheCross)
{
    CLatticer grid = Grid(G_CHECK | G_RECTANGLES | G_CIRCLECROSS, SIZE{640, 480}, 30.0f);
    grid.ShowRuler(1);
    CRecordingDC dc;
    grid.Draw(&dc, POINT{0, 0}, 1.0f);
    EXPECT_TRUE(Texts(dc).empty());
}

TEST(LatticerDraw, RulerTicksAndLabelInk)
{
    struct Case
    {
        float gap;
        size_t minorTicks;  // 6-pixel ticks down from the horizontal cross line
    } cases[] = {
        {30.0f, 0},
        {40.0f, 0},
        // Spacing 50: centre and six spacings right of it, ten minor ticks each, mirrored.
        {50.0f, 7 * 10 * 2},
    };
    for (const Case& c : cases) {
        CLatticer grid = Grid(G_CROSS, SIZE{640, 480}, c.gap);
        grid.ShowRuler(1);
        CRecordingDC dc;
        grid.Draw(&dc, POINT{0, 0}, 1.0f);
        const std::vector<Segment> lines = Segments(dc);
        const auto minor = std::count_if(lines.begin(), lines.end(), [](const Segment& s) {
            return IsVertical(s) && s.y0 == 240 && s.y1 == 246;
        });
        const auto major = std::count_if(lines.begin(), lines.end(), [](const Segment& s) {
            return IsVertical(s) && s.y0 == 240 && s.y1 == 252;
        });
        EXPECT_EQ(size_t(minor), c.minorTicks) << c.gap;
        EXPECT_EQ(size_t(major), 2 * size_t((320 - 1) / int(c.gap))) << c.gap;
    }

    CLatticer grid = Grid(G_CROSS, SIZE{640, 480}, 30.0f);
    grid.ShowRuler(1);
    const QImage image = Render(grid, 640, 480);
    // Text may be smoothed: count ink as anything not white.
    const QRect underFirstTick(335, 253, 30, 14);
    const QRect underCentre(307, 253, 12, 14);
    EXPECT_GT(underFirstTick.width() * underFirstTick.height() - CountColour(image, kWhite, underFirstTick), 10);
    EXPECT_EQ(CountColour(image, kWhite, underCentre), underCentre.width() * underCentre.height());
}

// Above a zoom of 4 the grid moves by half an image pixel onto the pixel centres, keeping the caller's origin so
// that a scrolled image keeps its grid.
TEST(LatticerDraw, ZoomAndScrolledOrigin)
{
    struct Case
    {
        float ratio;
        POINT origin;
        Segment firstColumn;
        Segment firstRow;
    } cases[] = {
        {0.5f, {-7, 3}, {-7, 3 + 24, -7, 3}, {-7, 3, -7 + 32, 3}},
        {4.0f, {-100, -50}, {-100, -50 + 192, -100, -50}, {-100, -50, -100 + 256, -50}},
        {5.0f, {-100, -50}, {-97, -47 + 240, -97, -47}, {-97, -47, -97 + 320, -47}},
        {5.0f, {0, 0}, {3, 243, 3, 3}, {3, 3, 323, 3}},
        {8.0f, {40, 20}, {44, 24 + 384, 44, 24}, {44, 24, 44 + 512, 24}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ratio " << c.ratio << " origin " << c.origin.x << "," << c.origin.y);
        CLatticer grid = Grid(G_CHECK, SIZE{64, 48}, 10.0f);
        CRecordingDC dc;
        grid.Draw(&dc, c.origin, c.ratio);
        const std::vector<Segment> lines = Segments(dc);
        ASSERT_EQ(lines.size(), 7u + 5u);
        EXPECT_EQ(lines[0], c.firstColumn);
        EXPECT_EQ(lines[7], c.firstRow);
        EXPECT_EQ(lines[1].x0 - lines[0].x0, int(c.ratio * 10));
    }

    // The same at the pixel level: zoom 5 with the image scrolled by (-100, -50).
    CLatticer grid = Grid(G_CHECK, SIZE{64, 48}, 10.0f);
    const QImage image = Render(grid, 200, 200, POINT{-100, -50}, 5.0f);
    EXPECT_EQ(PixelAt(image, 3, 100), kBlack) << "column of image x 20 at -97 + 100";
    EXPECT_EQ(PixelAt(image, 2, 100), kWhite);
    EXPECT_EQ(PixelAt(image, 100, 3), kBlack) << "row of image y 10 at -47 + 50";
}

// Origins, image sizes and tick lengths far past GDI's 27-bit range land at its edge, on their own side: nothing
// wraps round onto the other side of the device.
TEST(LatticerDraw, ExtremeOriginsSizesAndTicksStayOnTheirSide)
{
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kEdge = 1 << 27;
    struct Case
    {
        POINT origin;
        float ratio;
        int xSign;  // +1: every x at least 2^26, -1: at most -2^26, 0: not checked
        int ySign;
    } cases[] = {
        {{kMax, kMin}, 1.0f, +1, -1},
        {{kMin, kMax}, 1.0f, -1, +1},
        {{kMax, kMax}, 5.0f, +1, +1},
        {{kMin, kMin}, 5.0f, -1, -1},
        {{kMax, 0}, std::numeric_limits<float>::max(), +1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.origin.x << ", " << c.origin.y << " ratio " << c.ratio);
        CLatticer grid = Grid(0x3F, SIZE{640, 480}, 30.0f);
        grid.ShowRuler(1);
        CRecordingDC dc;
        grid.Draw(&dc, c.origin, c.ratio);
        const std::vector<Segment> lines = Segments(dc);
        ASSERT_FALSE(lines.empty());
        for (const Segment& s : lines) {
            if (c.xSign != 0) {
                EXPECT_GE(c.xSign * s.x0, kEdge / 2);
                EXPECT_GE(c.xSign * s.x1, kEdge / 2);
            }
            if (c.ySign != 0) {
                EXPECT_GE(c.ySign * s.y0, kEdge / 2);
                EXPECT_GE(c.ySign * s.y1, kEdge / 2);
            }
        }
    }

    // Diagonals of images whose rows or columns reach the int range.
    const struct
    {
        SIZE canvas;
        std::vector<Segment> lines;
    } sizes[] = {
        {{2, kMax}, {{0, kEdge, 2, kEdge}, {2, kEdge, 0, kEdge}}},
        {{kMax, 0}, {{0, 1 - kEdge, kEdge, kEdge}, {kEdge, 1 - kEdge, 0, kEdge}}},
    };
    for (const auto& c : sizes) {
        CLatticer grid = Grid(G_DIAGONALS, c.canvas, 30.0f);
        CRecordingDC dc;
        grid.Draw(&dc, POINT{0, 0}, 1.0f);
        EXPECT_EQ(Segments(dc), c.lines) << c.canvas.cx << " x " << c.canvas.cy;
    }

    // Reticle ticks of a huge tick length keep their direction: from above the axis to below it.
    for (const int tick : {kMax, kMax / 4 + 1}) {
        CLatticer grid = Grid(G_CIRCLECROSS, SIZE{640, 480}, 30.0f);
        grid.tickLength = tick;
        CRecordingDC dc;
        grid.Draw(&dc, POINT{0, 0}, 1.0f);
        const std::vector<Segment> lines = Segments(dc);
        const auto ticks = std::count_if(lines.begin(), lines.end(), [&](const Segment& s) {
            return IsVertical(s) && s.y0 == 240 - kEdge && s.y1 == 240 + kEdge + 1;
        });
        EXPECT_EQ(ticks, 18) << tick;
    }
}

// A scale so small that ten pixels' worth of units underflows float leaves no spacing to step by.
TEST(LatticerDraw, ScaleBelowFloatRangeEndsWithoutDrawing)
{
    struct Case
    {
        double upp;
        float gap;
        bool draws;
    } cases[] = {
        {1e-310, 0.0f, false},
        {1e-47, 0.0f, false},
        {1e-45, 0.0f, true},
        {1e-300, 30.0f, true},
    };
    for (const Case& c : cases) {
        CLatticer grid = Grid(0x3F, SIZE{640, 480}, c.gap, c.upp);
        grid.ShowRuler(1);
        EXPECT_EQ(!Record(grid).empty(), c.draws) << c.upp;
    }
    // The same reached through a change of calibration.
    CLatticer grid = Grid(0x3F, SIZE{640, 480}, 30.0f);
    grid.Update(grid.type, grid.canvas, 1e-310, grid.gap);
    EXPECT_TRUE(Record(grid).empty());
}

TEST(LatticerDraw, RulerDecimalsOutsideTheLabelRange)
{
    const struct
    {
        int decimal;
        std::string first;
    } cases[] = {
        {0, "30"},
        {2, "30.00"},
        {-3, "30"},
        {20, "30." + std::string(20, '0')},
        {std::numeric_limits<int>::max(), "30." + std::string(20, '0')},
    };
    for (const auto& c : cases) {
        CLatticer grid = Grid(G_CROSS, SIZE{640, 480}, 30.0f);
        grid.ShowRuler(1);
        grid.SetDecimal(c.decimal);
        const std::vector<std::string> texts = [&] {
            CRecordingDC dc;
            grid.Draw(&dc, POINT{0, 0}, 1.0f);
            return Texts(dc);
        }();
        ASSERT_FALSE(texts.empty()) << c.decimal;
        EXPECT_EQ(texts.front(), c.first) << c.decimal;
    }
}

}  // namespace
