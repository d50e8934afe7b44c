#include "quantor/SurfacePlotModel.h"
#include "quantor/tests/RecordingGlSeam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace quantor {
namespace {

using testing::GlOp;
using testing::RecordingGlSeam;

constexpr float h = kHalfSize;

// Pixels of one depth with their row pointers.
struct TestImage {
    int width, height, bytes;
    std::vector<uint8_t> pixels;
    std::vector<const uint8_t*> rows;
    PlotImage view;

    TestImage(int w, int hgt, int bitCount) : width(w), height(hgt), bytes(bitCount / 8)
    {
        pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(hgt) * static_cast<size_t>(std::max(bytes, 1)), 0);
        for (int y = 0; y < hgt; ++y)
            rows.push_back(pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w) * std::max(bytes, 1));
        view = {w, hgt, bitCount, rows.data()};
    }
    uint8_t* At(int x, int y) { return pixels.data() + (static_cast<size_t>(y) * width + x) * std::max(bytes, 1); }
};

float Height(const GridData& g, int i, int j) { return g.m_pCoordZ[static_cast<size_t>(i + j * g.m_nSizeX)]; }

TEST(SurfacePlotBuild, AGreyImageSamplesEveryStepWithTheBottomRowInFront)
{
    TestImage image(23, 17, 8);  // step 5: 4 x 3 nodes
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 23; ++x)
            *image.At(x, y) = static_cast<uint8_t>(y * 15 + x);
    *image.At(0, 10) = 0;
    *image.At(15, 0) = 255;
    SurfacePlot plot;
    plot.SetImage(&image.view, 0);
    plot.SetStep(5);
    plot.BuildFromImage();
    ASSERT_FALSE(plot.ShowsDemo());
    const GridData& g = *plot.CurrentGrid();
    EXPECT_EQ(g.m_nSizeX, 4);
    EXPECT_EQ(g.m_nSizeY, 3);
    EXPECT_EQ(g.m_strName.Text(), "Surfer File");
    EXPECT_EQ(g.m_fMaxZ, 256);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(Height(g, i, j), *image.At(i * 5, (2 - j) * 5) / 256.0f - h) << i << "," << j;
    EXPECT_FLOAT_EQ(Height(g, 0, 0), -0.5f);            // image row 10 is the front row
    EXPECT_FLOAT_EQ(Height(g, 3, 2), 0.5f - 1 / 256.0f);  // image row 0 is the back row
    EXPECT_EQ(g.m_pCoordX, (std::vector<float>{-h, 1 / 3.0f - h, 2 / 3.0f - h, 1 - h}));
    EXPECT_EQ(g.m_pCoordY, (std::vector<float>{-h, 0, h}));
    EXPECT_FLOAT_EQ(g.m_fScaleX, 1);
    EXPECT_FLOAT_EQ(g.m_fScaleY, 0.75f);  // 3 / 4, not the 0 of integer division
}

TEST(SurfacePlotBuild, AColourImageTakesLuminanceOrOneChannel)
{
    for (int bits : {24, 32}) {
        TestImage image(2, 2, bits);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) {
                uint8_t* p = image.At(x, y);
                p[0] = 10;   // blue
                p[1] = 100;  // green
                p[2] = 200;  // red
            }
        const float expected[] = {(0.212671f * 200 + 0.71516f * 100 + 0.072169f * 10) / 256 - h, 200 / 256.0f - h,
                                  100 / 256.0f - h, 10 / 256.0f - h};
        SurfacePlot plot;
        plot.SetImage(&image.view, 0);
        plot.SetStep(1);
        for (int channel = 0; channel < 4; ++channel) {
            plot.SetChannel(channel);
            plot.BuildFromImage();
            ASSERT_NE(plot.CurrentGrid(), nullptr);
            EXPECT_NEAR(Height(*plot.CurrentGrid(), 1, 1), expected[channel], 1e-6) << bits << " " << channel;
        }
    }
}

// A rebuild takes over the former heights' storage: whatever it held before, the new grid is what a fresh plot
// builds.
TEST(SurfacePlotBuild, RebuildingAtAnotherStepGivesWhatAFreshPlotGives)
{
    TestImage image(30, 20, 8);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = static_cast<uint8_t>(i * 13);
    SurfacePlot plot;
    plot.SetImage(&image.view, 0);
    for (int step : {1, 3, 7, 2, 2}) {
        plot.SetStep(step);
        plot.BuildFromImage();
        SurfacePlot fresh;
        fresh.SetImage(&image.view, 0);
        fresh.SetStep(step);
        fresh.BuildFromImage();
        ASSERT_NE(plot.CurrentGrid(), nullptr);
        EXPECT_EQ(plot.CurrentGrid()->m_pCoordZ, fresh.CurrentGrid()->m_pCoordZ) << step;
        EXPECT_EQ(plot.CurrentGrid()->m_pCoordX, fresh.CurrentGrid()->m_pCoordX) << step;
    }
}

TEST(SurfacePlotBuild, NoGridForOtherDepthsSmallImagesOrNoStep)
{
    const struct {
        int width, height, bits, step;
    } cases[] = {{40, 40, 16, 5}, {40, 40, 1, 5}, {4, 40, 8, 5}, {40, 4, 8, 5}, {40, 40, 8, 0}, {40, 40, 8, -3}};
    for (const auto& c : cases) {
        TestImage image(c.width, c.height, c.bits);
        SurfacePlot plot;
        plot.SetImage(&image.view, 0);
        plot.SetStep(c.step);
        plot.BuildFromImage();
        EXPECT_TRUE(plot.ShowsDemo()) << c.width << "x" << c.height << "x" << c.bits << " step " << c.step;
        EXPECT_EQ(plot.CurrentGrid(), nullptr);
        plot.Invert();  // nothing to turn
        RecordingGlSeam gl;
        plot.Attach(&gl);
        plot.Render();
        EXPECT_EQ(gl.Count(GlOp::WireSphere), 1u);  // the demo
    }
}

// An image between one and two steps wide has a single node along that axis: its coordinate must not be 0 / 0.
TEST(SurfacePlotBuild, ASingleNodeAxisGetsAFiniteCoordinate)
{
    TestImage image(7, 30, 8);
    SurfacePlot plot;
    plot.SetImage(&image.view, 0);
    plot.SetStep(5);
    plot.BuildFromImage();
    ASSERT_NE(plot.CurrentGrid(), nullptr);
    EXPECT_EQ(plot.CurrentGrid()->m_nSizeX, 1);
    EXPECT_EQ(plot.CurrentGrid()->m_pCoordX, std::vector<float>{-h});
    RecordingGlSeam gl;
    plot.Attach(&gl);
    plot.Render();
    for (const auto& c : gl.calls)
        for (double a : c.args)
            EXPECT_TRUE(std::isfinite(a));
}

TEST(SurfacePlotBuild, InvertTwiceGivesTheHeightsBack)
{
    TestImage image(10, 10, 8);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = static_cast<uint8_t>(i * 7);
    SurfacePlot plot;
    plot.SetImage(&image.view, 0);
    plot.SetStep(1);
    plot.BuildFromImage();
    const std::vector<float> before = plot.CurrentGrid()->m_pCoordZ;
    plot.Invert();
    EXPECT_FLOAT_EQ(plot.CurrentGrid()->m_pCoordZ[0], 1 - before[0] - 1);
    EXPECT_NE(plot.CurrentGrid()->m_pCoordZ, before);
    plot.Invert();
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_NEAR(plot.CurrentGrid()->m_pCoordZ[i], before[i], 1e-6);
}

TEST(SurfacePlotColour, BandsGradientTableFloorAndAbove)
{
    GridData g = MakeSurfaceRecord(2, 2, 0);
    g.m_fColorFloor = -0.3f;
    g.m_nGradientSteps = 5;  // bands 0.2 wide: -0.5, -0.3, -0.1, 0.1, 0.3, 0.5
    const Colour3 unset{-1, -1, -1};
    const struct {
        uint8_t gradient;
        float value;
        bool set;
        Colour3 colour;
    } cases[] = {
        {1, -0.4f, true, {0, 0, 0}},          // below the floor: background
        {1, -0.1f, true, {0.25f, 0, 0.75f}},  // a boundary takes the lower band (band 1 of 5)
        {1, 0.5f, true, {1, 0, 0}},           // the top band is the high colour
        {1, 0.51f, false, unset},             // above the cube: unchanged
        {0, -0.1f, true, {1, 0, 0}},          // table band 3 of 10: 0x0000FF, low byte red
        {0, 0.45f, true, {0, 1, 1}},          // table band 9 of 10: 0xFFFF00
    };
    for (const auto& c : cases) {
        g.m_bGradient = c.gradient;
        Colour3 colour = unset;
        EXPECT_EQ(ValueColour(g, c.value, colour), c.set) << c.value;
        for (size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(colour[k], c.colour[k], 1e-6) << int(c.gradient) << " " << c.value << " " << k;
    }
}

// One band, or a table longer than its colours: no division by zero and no reading past the table.
TEST(SurfacePlotColour, DegenerateBandCountsStayInRange)
{
    GridData g = MakeSurfaceRecord(2, 2, 0);
    g.m_nGradientSteps = 1;
    Colour3 colour{};
    ASSERT_TRUE(ValueColour(g, 0.2f, colour));
    EXPECT_EQ(colour, g.m_fLowColor);
    g.m_bGradient = 0;
    g.m_nTableColors = 40;
    g.m_arrColorTable.resize(3);
    colour = {7, 7, 7};
    EXPECT_FALSE(ValueColour(g, 0.4f, colour));
    EXPECT_EQ(colour, (Colour3{7, 7, 7}));
}

// The band is found directly; it must be the first band whose bounds hold the value, as a walk over all bands
// finds it.
TEST(SurfacePlotColour, TheDirectBandIsTheFirstThatHoldsTheValue)
{
    GridData g = MakeSurfaceRecord(2, 2, 0);
    g.m_nGradientSteps = 0;
    Colour3 unused{};
    EXPECT_FALSE(ValueColour(g, 0, unused));
    for (int n : {1, 2, 3, 5, 7, 10, 33, 256}) {
        g.m_nGradientSteps = n;
        for (int s = 0; s <= 1000; ++s) {
            const float v = -h + static_cast<float>(s) / 1000.0f;
            int first = -1;
            for (int i = 0; i < n && first < 0; ++i)
                if (h * 2.0f * static_cast<float>(i) / static_cast<float>(n) - h <= v
                    && v <= h * static_cast<float>(2 * i + 2) / static_cast<float>(n) - h)
                    first = i;
            Colour3 colour{-1, -1, -1};
            ASSERT_EQ(ValueColour(g, v, colour), first >= 0) << n << " " << v;
            if (first >= 0) {
                ASSERT_EQ(colour, GradientBand(g, first, n)) << n << " " << v;
            }
        }
    }
}

// Records from a file may name any number of bands; the legend draws one quad per band.
TEST(SurfacePlotColour, RecordsTakenInKeepTheirBandsBounded)
{
    RecordingGlSeam gl;
    GridPlot plot;
    plot.Attach(&gl);
    plot.Reshape(200, 200);
    GridScene records;
    records.m_arrGrids.push_back(MakeSurfaceRecord(2, 2, 0));
    records.m_arrGrids[0].m_nGradientSteps = 2000000000;
    records.m_arrGrids[0].m_nTableColors = 1000;
    records.m_arrGrids[0].m_bShowLegend = 1;
    plot.AdoptRecords(std::move(records));
    EXPECT_EQ(plot.CurrentGrid()->m_nGradientSteps, kMaxBands);
    EXPECT_EQ(plot.CurrentGrid()->m_nTableColors, 20);
    plot.Render();
    EXPECT_LE(gl.Count(GlPrimitive::Quads), static_cast<size_t>(kMaxBands) + 10);
}

// A 3 x 2 plot with fixed heights, bound to a recorder.
struct PlotFixture : ::testing::Test {
    RecordingGlSeam gl;
    GridPlot plot;
    GridData* g = nullptr;
    void SetUp() override
    {
        plot.Attach(&gl);
        plot.InitGrids(3, 2, 0, 1);
        g = plot.CurrentGrid();
        g->m_pCoordX = {-h, 0, h};
        g->m_pCoordY = {-h, h};
        g->m_pCoordZ = {-0.4f, -0.2f, 0.0f, 0.1f, 0.3f, 0.45f};
        g->m_bShowAxes = g->m_bShowBox = g->m_bShowWalls = g->m_bShowFloor = 0;
        plot.Reshape(400, 300);
        gl.Reset();
    }
    std::vector<testing::RecordedPrimitive> Of(GlPrimitive type) const
    {
        std::vector<testing::RecordedPrimitive> out;
        for (const auto& p : gl.primitives)
            if (p.type == type)
                out.push_back(p);
        return out;
    }
};

TEST_F(PlotFixture, SurfaceAndGridDrawOneCellPerPrimitiveColouredByHeight)
{
    for (int kind : {kPlotSurface, kPlotGrid}) {
        g->m_nPlotKind = kind;
        gl.Reset();
        plot.Render();
        const GlPrimitive type = kind == kPlotSurface ? GlPrimitive::Quads : GlPrimitive::LineLoop;
        const auto cells = Of(type);
        ASSERT_EQ(cells.size(), 2u);
        ASSERT_EQ(gl.primitives.size(), 2u);
        const int order[2][4] = {{0, 1, 4, 3}, {1, 2, 5, 4}};
        for (int c = 0; c < 2; ++c)
            for (int v = 0; v < 4; ++v) {
                const int node = order[c][v];
                const auto& vertex = cells[static_cast<size_t>(c)].vertices[static_cast<size_t>(v)];
                EXPECT_EQ(vertex.x, g->m_pCoordX[static_cast<size_t>(node % 3)]);
                EXPECT_EQ(vertex.y, g->m_pCoordY[static_cast<size_t>(node / 3)]);
                EXPECT_EQ(vertex.z, g->m_pCoordZ[static_cast<size_t>(node)]);
                Colour3 expected{};
                ValueColour(*g, g->m_pCoordZ[static_cast<size_t>(node)], expected);
                EXPECT_EQ(vertex.colour, expected);
            }
        EXPECT_EQ(gl.Count(GlOp::Rotate), 3u);
        EXPECT_EQ(gl.Count(GlOp::Ortho), 1u);
    }
}

TEST_F(PlotFixture, FlatDrawsQuadsOnTheFloorThenAThickFrameAndNoZAxis)
{
    g->m_nPlotKind = kPlotFlat;
    g->m_bShowAxes = 1;
    plot.Render();
    const auto quads = Of(GlPrimitive::Quads);
    ASSERT_EQ(quads.size(), 2u);  // (nx - 1)(ny - 1)
    for (const auto& q : quads)
        for (const auto& v : q.vertices)
            EXPECT_EQ(v.z, -h);
    ASSERT_EQ(gl.primitives.back().type, GlPrimitive::LineStrip);
    const auto& frame = gl.primitives.back().vertices;
    ASSERT_EQ(frame.size(), 5u);
    EXPECT_EQ(frame.front().x, frame.back().x);
    EXPECT_EQ(frame.front().y, frame.back().y);
    EXPECT_EQ(frame[0].colour, g->m_fFrameColor);
    std::vector<double> widths;
    for (const auto& c : gl.calls)
        if (c.op == GlOp::LineWidth)
            widths.push_back(c.args[0]);
    EXPECT_EQ(widths, (std::vector<double>{2, 1}));
    std::vector<std::string> letters;
    for (const auto& t : gl.texts)
        letters.push_back(t.text);
    EXPECT_EQ(letters, (std::vector<std::string>{"X", "Y"}));
    const auto axes = Of(GlPrimitive::Lines);
    ASSERT_EQ(axes.size(), 1u);
    EXPECT_EQ(axes[0].vertices.size(), 4u);  // x and y only
    const auto scale = std::find_if(gl.calls.begin(), gl.calls.end(), [](auto& c) { return c.op == GlOp::Scale; });
    EXPECT_EQ(scale->args[2], 0);
    for (const auto& c : gl.calls) {
        if (c.op == GlOp::Rotate) {
            EXPECT_EQ(c.args[0], 0);
        }
    }
}

TEST_F(PlotFixture, AxesCarryTheirLettersAtTheEndsAndTheBoxStandsAbove)
{
    g->m_bShowAxes = 1;
    g->m_bShowBox = 1;
    plot.Render();
    ASSERT_EQ(gl.texts.size(), 3u);
    const struct {
        const char* text;
        std::array<float, 3> at;
    } letters[] = {{"X", {1.26f * h, -h, -h}}, {"Y", {-h, 1.32f * h, -h}}, {"Z", {-h, -h, 1.4f * h}}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(gl.texts[i].text, letters[i].text);
        EXPECT_EQ(gl.texts[i].at, letters[i].at);
    }
    const auto lines = Of(GlPrimitive::Lines);
    ASSERT_EQ(lines.size(), 2u);                // axes, box posts
    EXPECT_EQ(lines[0].vertices.size(), 6u);
    EXPECT_EQ(lines[1].vertices.size(), 8u);
    EXPECT_FLOAT_EQ(lines[1].vertices[1].z, 1.2f * h);
    const auto strips = Of(GlPrimitive::LineStrip);
    ASSERT_EQ(strips.size(), 2u);               // over the posts, around the floor
    EXPECT_FLOAT_EQ(strips[0].vertices[0].z, 1.2f * h);
    EXPECT_EQ(strips[1].vertices[0].z, -h);
}

TEST_F(PlotFixture, WallsCurtainEveryEdgeSegmentShadedOrFramed)
{
    g->m_bShowWalls = 1;
    g->m_nPlotKind = kPlotGrid;  // cells as loops, so the walls are the only quads
    plot.Render();
    auto walls = Of(GlPrimitive::Quads);
    ASSERT_EQ(walls.size(), 2u * (3 - 1) + 2u * (2 - 1));
    // Front curtain first: floor vertices below the floor colour band, tops at the nodes' heights.
    EXPECT_EQ(walls[0].vertices[0].z, -h);
    EXPECT_EQ(walls[0].vertices[0].y, -h);
    EXPECT_EQ(walls[0].vertices[2].z, g->m_pCoordZ[1]);
    EXPECT_EQ(walls[0].vertices[3].z, g->m_pCoordZ[0]);
    Colour3 floorColour{};
    ValueColour(*g, -h, floorColour);
    EXPECT_EQ(walls[0].vertices[0].colour, floorColour);

    g->m_bGradient = 0;
    gl.Reset();
    plot.Render();
    walls = Of(GlPrimitive::Quads);
    ASSERT_EQ(walls.size(), 6u);
    for (const auto& w : walls)
        EXPECT_EQ(w.vertices[0].colour, g->m_fFrameColor);
    // Each filled segment is followed by its outline in the background colour, moved outward.
    ASSERT_EQ(Of(GlPrimitive::LineLoop).size(), 2u + 6u);
    const auto& front = gl.primitives[1];
    ASSERT_EQ(front.type, GlPrimitive::LineLoop);
    EXPECT_EQ(front.vertices[0].colour, g->m_fBackColor);
    EXPECT_FLOAT_EQ(front.vertices[0].y, -h - plot.m_fEdgeOffset);
}

TEST_F(PlotFixture, FloorIsOneQuadInTheFloorColour)
{
    g->m_bShowFloor = 1;
    g->m_nPlotKind = kPlotGrid;
    plot.Render();
    const auto quads = Of(GlPrimitive::Quads);
    ASSERT_EQ(quads.size(), 1u);
    for (const auto& v : quads[0].vertices)
        EXPECT_EQ(v.z, -h);
}

TEST_F(PlotFixture, MarkersStandOnPostsWithTheirLabels)
{
    g->m_bShowMarkers = 1;
    g->m_arrMarkers.push_back({0.1f, 0.2f, 0.5f, 1, "one"});
    g->m_arrMarkers.push_back({-0.1f, 0.0f, 1.0f, 2, "two"});
    g->m_nPlotKind = kPlotGrid;
    plot.Render();
    const auto posts = Of(GlPrimitive::Lines);
    ASSERT_EQ(posts.size(), 1u);
    ASSERT_EQ(posts[0].vertices.size(), 4u);
    EXPECT_FLOAT_EQ(posts[0].vertices[0].z, -0.99f * h);
    EXPECT_FLOAT_EQ(posts[0].vertices[1].z, 2.4f * h * 0.5f - h);
    ASSERT_EQ(gl.texts.size(), 2u);
    EXPECT_EQ(gl.texts[1].text, "two");
    EXPECT_FLOAT_EQ(gl.texts[1].at[2], 2.4f * h - h);

    g->m_nPlotKind = kPlotFlat;
    gl.Reset();
    plot.Render();
    EXPECT_EQ(Of(GlPrimitive::Lines).size(), 0u);
    ASSERT_EQ(gl.texts.size(), 2u);
    EXPECT_FLOAT_EQ(gl.texts[0].at[2], -0.99f * h);
}

TEST_F(PlotFixture, GradientLegendBandsAndLabelsInThePixelProjection)
{
    g->m_bShowLegend = 1;
    g->m_nPlotKind = kPlotGrid;
    g->m_fMinZ = 0;
    g->m_fMaxZ = 256;
    g->m_nLegendX = 10;
    g->m_nLegendY = 5;
    plot.Render();
    const auto ops = gl.Ops();
    const auto ortho2D = std::find(ops.begin(), ops.end(), GlOp::Ortho2D);
    ASSERT_NE(ortho2D, ops.end());
    const auto& projection = gl.calls[static_cast<size_t>(ortho2D - ops.begin())];
    EXPECT_EQ(projection.args, (std::array<double, 6>{80, 480, 0, 300, 0, 0}));
    const auto bands = Of(GlPrimitive::Quads);
    ASSERT_EQ(bands.size(), 10u);
    const int e = 300 - (10 * 10 + 40);
    EXPECT_EQ(bands[0].vertices[0].x, 10);
    EXPECT_EQ(bands[0].vertices[0].y, 5 + e);
    EXPECT_EQ(bands[9].vertices[2].y, 200 + 5 + e);
    EXPECT_EQ(bands[0].vertices[0].colour, g->m_fLowColor);
    EXPECT_EQ(bands[9].vertices[0].colour, g->m_fHighColor);
    ASSERT_EQ(gl.texts.size(), 11u);
    EXPECT_EQ(gl.texts[0].text, "0.00      ");
    EXPECT_EQ(gl.texts[10].text, "256.00    ");
    EXPECT_EQ(gl.texts[1].at, (std::array<float, 3>{35, 5 + 20 + e - 5, 0}));
    EXPECT_EQ(g->m_fMinZ, 0);  // the raised minimum was only for the labels
}

TEST_F(PlotFixture, TableLegendStandsAtTheRightEdgeCentredAndFramed)
{
    g->m_bShowLegend = 1;
    g->m_bGradient = 0;
    g->m_nPlotKind = kPlotGrid;
    g->m_fMinZ = 0;
    g->m_fMaxZ = 100;
    g->m_fColorFloor = 0;  // labels start half-way up
    plot.Render();
    const auto bands = Of(GlPrimitive::Quads);
    ASSERT_EQ(bands.size(), 10u);
    const int y0 = (300 - 10 * 20) / 2;
    EXPECT_EQ(bands[0].vertices[0].x, 400);
    EXPECT_EQ(bands[0].vertices[0].y, y0);
    EXPECT_EQ(bands[0].vertices[1].x, 440);
    EXPECT_EQ(bands[1].vertices[0].colour, (Colour3{1, 1, 0}));
    const auto loops = Of(GlPrimitive::LineLoop);
    const auto& frame = loops.back();
    EXPECT_EQ(frame.vertices[0].x, 399);
    EXPECT_EQ(frame.vertices[2].x, 441);
    EXPECT_EQ(frame.vertices[2].y, y0 + 200);
    ASSERT_EQ(gl.texts.size(), 11u);
    EXPECT_EQ(gl.texts[0].text, "50.00     ");
    EXPECT_EQ(gl.texts[0].at[0], 450);
    EXPECT_EQ(g->m_fMinZ, 0);
}

TEST_F(PlotFixture, ARecordWhoseArraysAreShortDrawsNoCells)
{
    g->m_bShowWalls = 1;
    g->m_pCoordZ.resize(4);
    plot.Render();
    EXPECT_TRUE(gl.primitives.empty());
    plot.m_nColorSource = 1;  // colour by values the record does not carry
    g->m_pCoordZ.resize(6);
    gl.Reset();
    plot.Render();
    EXPECT_TRUE(gl.primitives.empty());
}

// The cells are made into one batch and drawn from it while the record stays as it is: whatever changes between two
// frames must show in the second just as when each cell is drawn from the record itself.
TEST_F(PlotFixture, BatchedCellsFollowEveryChangeToTheRecord)
{
    g->m_bShowWalls = g->m_bShowFloor = 1;
    const GridData start = *g;
    const size_t batched = plot.m_nMostBatchedCells;
    const struct {
        const char* change;
        void (*apply)(GridPlot&, GridData&);
    } cases[] = {
        {"a height", [](GridPlot&, GridData& r) { r.m_pCoordZ[4] = 0.2f; }},
        {"a height above the cube keeps the colour before it", [](GridPlot&, GridData& r) { r.m_pCoordZ[2] = 0.7f; }},
        {"the first height above the cube", [](GridPlot&, GridData& r) { r.m_pCoordZ[0] = 0.9f; }},
        {"a NaN height", [](GridPlot&, GridData& r) { r.m_pCoordZ[5] = std::nanf(""); }},
        {"a coordinate", [](GridPlot&, GridData& r) { r.m_pCoordX[1] = 0.1f; }},
        {"the high colour", [](GridPlot&, GridData& r) { r.m_fHighColor = {0, 1, 0}; }},
        {"the band count", [](GridPlot&, GridData& r) { r.m_nGradientSteps = 3; }},
        {"the colour floor", [](GridPlot&, GridData& r) { r.m_fColorFloor = 0; }},
        {"table colours", [](GridPlot&, GridData& r) { r.m_bGradient = 0; }},
        {"a table colour", [](GridPlot&, GridData& r) { r.m_bGradient = 0; r.m_arrColorTable[3] = 0x123456; }},
        {"the grid kind", [](GridPlot&, GridData& r) { r.m_nPlotKind = kPlotGrid; }},
        {"the flat kind", [](GridPlot&, GridData& r) { r.m_nPlotKind = kPlotFlat; }},
        {"colouring by value",
         [](GridPlot& p, GridData& r) {
             p.m_nColorSource = 1;
             r.m_pValues = {0.4f, 0.3f, 0.2f, 0.1f, 0.0f, -0.1f};
         }},
        {"the node count", [](GridPlot& p, GridData&) { p.InitGrids(4, 3, 0, 1); }},
    };
    const auto cells = [this] {
        std::vector<std::vector<float>> out;
        for (const auto& p : gl.primitives)
            for (const auto& v : p.vertices)
                out.push_back({float(p.type), v.x, v.y, v.z, v.colour[0], v.colour[1], v.colour[2]});
        return out;
    };
    for (const auto& c : cases) {
        plot.InitGrids(3, 2, 0, 1);
        g = plot.CurrentGrid();
        *g = start;
        plot.m_nColorSource = 0;
        plot.m_nMostBatchedCells = batched;
        plot.Render();  // the batch of the record as it was
        c.apply(plot, *plot.CurrentGrid());
        gl.Reset();
        plot.Render();
        const auto fromBatch = cells();
        plot.m_nMostBatchedCells = 0;
        gl.Reset();
        plot.Render();
        const auto direct = cells();
        ASSERT_FALSE(fromBatch.empty()) << c.change;
        EXPECT_EQ(fromBatch.size(), direct.size()) << c.change;
        // NaN never equals itself: the bits are compared.
        for (size_t i = 0; i < std::min(fromBatch.size(), direct.size()); ++i)
            EXPECT_EQ(0, std::memcmp(fromBatch[i].data(), direct[i].data(), 7 * sizeof(float))) << c.change << " " << i;
    }
}

TEST_F(PlotFixture, RotationsFoldBackIntoOneTurn)
{
    g->m_fRotX = 365;
    g->m_fRotY = -370;
    g->m_fRotZ = 360;
    plot.Render();
    EXPECT_EQ(g->m_fRotX, 5);
    EXPECT_EQ(g->m_fRotY, -10);
    EXPECT_EQ(g->m_fRotZ, 360);
}

}  // namespace
}  // namespace quantor
