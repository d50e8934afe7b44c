// What the surface-plot dialog's controls do to a grid, its channel list and the colours it keeps.
#include "quantor/SurfacePlotControls.h"

#include "quantor/QuantorStrings.h"

#include "profile/CAppProfile.h"
#include "profile/Registry.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace quantor;

TEST(SurfacePlotControls, ApplyTakesRotationHeightScaleAndZoomWithRealDivision)
{
    struct Case
    {
        PlotControls controls;
        float rotX, rotZ, scaleZ, scaleX, scaleY;
    };
    const double third = 0.6666666666666666;
    const Case cases[] = {
        // The starting positions: zoom 20 of 100 counts (an integer division would drop it).
        {{20, 100, 10, 100, 0, -40, false}, -40, 0, float((third + 0.2) * (10.1 / 100)), float((third + 0.2) * 0.5),
         float(third + 0.2)},
        {{100, 100, 100, 100, 360, -90, false}, -90, 360, float((third + 1) * (100.1 / 100)), float((third + 1) * 0.5),
         float(third + 1)},
        {{1, 100, 1, 100, 45, 0, false}, 0, 45, float((third + 0.01) * (1.1 / 100)), float((third + 0.01) * 0.5),
         float(third + 0.01)},
        // Flat keeps the rotations and the height scale it had, the zoom still scales x and y.
        {{50, 100, 70, 100, 90, -10, true}, -70, 0, 1, float((third + 0.5) * 0.5), float(third + 0.5)},
    };
    for (const Case& c : cases) {
        GridData grid = MakeSurfaceRecord(4, 8, 0);
        ApplyControls(grid, c.controls, KeptScale{0.5f, 1.0f});
        EXPECT_FLOAT_EQ(grid.m_fRotX, c.rotX) << c.controls.zoom;
        EXPECT_FLOAT_EQ(grid.m_fRotZ, c.rotZ);
        EXPECT_FLOAT_EQ(grid.m_fScaleZ, c.scaleZ);
        EXPECT_FLOAT_EQ(grid.m_fScaleX, c.scaleX);
        EXPECT_FLOAT_EQ(grid.m_fScaleY, c.scaleY);
        EXPECT_EQ(grid.m_fLowColor, (Colour3{0, 0, 1}));
        EXPECT_EQ(grid.m_fHighColor, (Colour3{1, 0, 0}));
    }
}

TEST(SurfacePlotControls, ApplyTakesThePickersColoursLowByteRed)
{
    GridData grid = MakeSurfaceRecord(2, 2, 0);
    PlotControls controls;
    controls.low = RGB(255, 0, 51);
    controls.high = RGB(0, 102, 0);
    ApplyControls(grid, controls, {});
    EXPECT_EQ(grid.m_fLowColor, (Colour3{1, 0, 0.2f}));
    EXPECT_EQ(grid.m_fHighColor, (Colour3{0, 0.4f, 0}));
}

TEST(SurfacePlotControls, DisplayButtonsSetKindAndFlags)
{
    struct Case
    {
        DisplayKind kind;
        int boxBefore;
        int plotKind, floor, walls, box, axes;
    };
    const Case cases[] = {
        {DisplayKind::Grid, 1, 1, 0, 0, 1, 1},
        {DisplayKind::Grid, 0, 1, 0, 0, 0, 0},  // axes go with a hidden box
        {DisplayKind::Surface, 0, 2, 1, 0, 0, 1},
        {DisplayKind::Flat, 0, 0, 0, 0, 1, 1},
    };
    for (const Case& c : cases) {
        for (const bool legend : {false, true}) {
            GridData grid = MakeSurfaceRecord(2, 2, 0);
            grid.m_bShowBox = c.boxBefore;
            ApplyDisplay(grid, c.kind, legend);
            EXPECT_EQ(grid.m_nPlotKind, c.plotKind);
            EXPECT_EQ(grid.m_bShowFloor, c.floor);
            EXPECT_EQ(grid.m_bShowWalls, c.walls);
            EXPECT_EQ(grid.m_bShowBox, c.box);
            EXPECT_EQ(grid.m_bShowAxes, c.axes);
            EXPECT_EQ(grid.m_bShowLegend, legend ? 1 : 0);
        }
    }
}

TEST(SurfacePlotControls, ChannelListFollowsTheImageDepth)
{
    const std::vector<int> colour = {IDS_CHANNEL_RGB, IDS_CHANNEL_RED, IDS_CHANNEL_GREEN, IDS_CHANNEL_BLUE};
    EXPECT_EQ(ChannelEntries(8), std::vector<int>{IDS_CHANNEL_RGB});
    EXPECT_EQ(ChannelEntries(24), colour);
    EXPECT_EQ(ChannelEntries(32), colour);
    for (const int bits : {0, 1, 4, 16})
        EXPECT_TRUE(ChannelEntries(bits).empty()) << bits;
    EXPECT_EQ(QuantorString(IDS_CHANNEL_RED), "Red Intensity");
}

TEST(SurfacePlotControls, LegendColoursAreKeptInTheProfile)
{
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    setenv("XDG_CONFIG_HOME", config.path().toUtf8().constData(), 1);
    RegReloadStore();
    CAppProfile profile("QRX", "Quantor");
    const LegendColours defaults = LoadLegendColours(profile);
    EXPECT_EQ(defaults.low, 0xFF0000u) << "blue";
    EXPECT_EQ(defaults.high, 255u) << "red";
    SaveLegendColours(profile, {RGB(1, 2, 3), RGB(4, 5, 6)});
    RegReloadStore();  // as the next run reads it
    const LegendColours kept = LoadLegendColours(CAppProfile("QRX", "Quantor"));
    EXPECT_EQ(kept.low, RGB(1, 2, 3));
    EXPECT_EQ(kept.high, RGB(4, 5, 6));
    EXPECT_EQ(profile.GetProfileInt("COLORS", "Low Color", 0), static_cast<int>(RGB(1, 2, 3)));
    unsetenv("XDG_CONFIG_HOME");
    RegReloadStore();
}

}  // namespace
