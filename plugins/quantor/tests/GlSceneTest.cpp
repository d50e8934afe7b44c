#include "quantor/GlScene.h"
#include "quantor/SurfacePlotModel.h"
#include "quantor/tests/RecordingGlSeam.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quantor {
namespace {

using testing::GlOp;
using testing::RecordingGlSeam;

// A plot with one 3 x 3 record, bound to a recorder.
struct SceneFixture : ::testing::Test {
    RecordingGlSeam gl;
    GridPlot plot;
    void SetUp() override
    {
        plot.Attach(&gl);
        plot.InitGrids(3, 3, 0, 1);
        gl.Reset();
    }
};

TEST(GlSceneProjection, AspectFollowsTheClientAndAZeroHeightTakesOne)
{
    const struct {
        int w, h;
        double aspect;
    } cases[] = {{640, 480, 640.0 / 480}, {300, 600, 0.5}, {640, 0, 1.0}, {0, 0, 1.0}};
    for (const auto& c : cases) {
        const Projection p = ProjectionFor(c.w, c.h);
        EXPECT_DOUBLE_EQ(p.aspect, c.aspect) << c.w << "x" << c.h;
        EXPECT_EQ(p.fovy, 40);
        EXPECT_EQ(p.zNear, 1);
        EXPECT_EQ(p.zFar, 15);
    }
}

TEST_F(SceneFixture, ReshapeSetsViewportAndPerspectiveAndReturnsToTheModelview)
{
    plot.Reshape(400, 200);
    ASSERT_EQ(gl.Ops(), (std::vector<GlOp>{GlOp::Viewport, GlOp::MatrixMode, GlOp::LoadIdentity, GlOp::Perspective,
                                           GlOp::MatrixMode}));
    EXPECT_EQ(gl.calls[0].args[2], 400);
    EXPECT_EQ(gl.calls[0].args[3], 200);
    EXPECT_EQ(gl.calls[1].matrix, GlMatrix::Projection);
    EXPECT_EQ(gl.calls[3].args[1], 2.0);
    EXPECT_EQ(gl.calls[4].matrix, GlMatrix::Modelview);
}

// A painter pass between two frames turns depth testing off and leaves its own matrix mode and alignment: every
// frame must set them again before it clears, or the second frame draws without hidden-surface removal.
TEST_F(SceneFixture, EveryFrameSetsItsStateAgainBeforeClearing)
{
    for (int frame = 0; frame < 2; ++frame) {
        gl.Reset();
        plot.Render();
        const auto ops = gl.Ops();
        const auto clear = std::find(ops.begin(), ops.end(), GlOp::Clear);
        ASSERT_NE(clear, ops.end());
        for (GlOp needed : {GlOp::ResetForeignState, GlOp::EnableDepthTest, GlOp::ClearDepth, GlOp::UnpackAlignment,
                            GlOp::MatrixMode})
            EXPECT_NE(std::find(ops.begin(), clear, needed), clear) << "frame " << frame << " op " << int(needed);
        const auto mode = std::find_if(gl.calls.begin(), gl.calls.end(),
                                       [](const testing::GlCall& c) { return c.op == GlOp::MatrixMode; });
        EXPECT_EQ(mode->matrix, GlMatrix::Modelview);
        EXPECT_EQ(gl.Count(GlOp::PushMatrix), gl.Count(GlOp::PopMatrix));
        EXPECT_EQ(ops.back(), GlOp::Finish);
    }
}

TEST_F(SceneFixture, TheClearColourIsTheGridsBackgroundAndBlackForTheDemo)
{
    plot.CurrentGrid()->m_fBackColor = {0.25f, 0.5f, 0.75f};
    plot.Render();
    const auto clearColour = [this] {
        return *std::find_if(gl.calls.begin(), gl.calls.end(),
                             [](const testing::GlCall& c) { return c.op == GlOp::ClearColor; });
    };
    EXPECT_EQ(clearColour().args, (std::array<double, 6>{0.25, 0.5, 0.75, 1, 0, 0}));
    GridPlot demo;
    demo.Attach(&gl);
    gl.Reset();
    demo.Render();
    EXPECT_EQ(clearColour().args, (std::array<double, 6>{0, 0, 0, 1, 0, 0}));
}

TEST_F(SceneFixture, TimerIdsSpinTheirAxesAndOthersOnlyRedraw)
{
    const struct {
        int id;
        float dx, dy, dz;
    } cases[] = {{0, 3, 0, 0}, {1, 0, 3, 0}, {2, 0, 0, 3}, {3, 2, 3, 0}, {4, 2, 0, 3}, {5, 0, 2, 3},
                 {6, 1, 2, 3}, {7, 0, 0, 0}, {-1, 0, 0, 0}, {100, 0, 0, 0}};
    for (const auto& c : cases) {
        GridData& g = *plot.CurrentGrid();
        g.m_fRotX = g.m_fRotY = g.m_fRotZ = 0;
        EXPECT_TRUE(plot.OnTimer(c.id));
        EXPECT_EQ(g.m_fRotX, c.dx) << c.id;
        EXPECT_EQ(g.m_fRotY, c.dy) << c.id;
        EXPECT_EQ(g.m_fRotZ, c.dz) << c.id;
        EXPECT_EQ(GlScene::IsTimerId(c.id), c.id >= 0 && c.id <= 6);
    }
    plot.m_bAnimate = 0;
    plot.OnTimer(0);
    EXPECT_EQ(plot.CurrentGrid()->m_fRotX, 0);
}

TEST_F(SceneFixture, ShiftDragMovesAShownLegendAndWithTheLegendHiddenChangesNothingAtAll)
{
    GridData& g = *plot.CurrentGrid();
    plot.OnButtonDown(100, 100);
    g.m_bShowLegend = 0;
    EXPECT_FALSE(plot.OnMouseMove(true, 130, 80, 400, 300));
    EXPECT_EQ(plot.m_ptLastX, 100);
    EXPECT_EQ(plot.m_ptLastY, 100);
    EXPECT_EQ(g.m_nLegendX, 0);
    EXPECT_EQ(g.m_fPanX, 0);

    g.m_bShowLegend = 1;
    EXPECT_TRUE(plot.OnMouseMove(true, 130, 80, 400, 300));
    EXPECT_EQ(g.m_nLegendX, 30);
    EXPECT_EQ(g.m_nLegendY, 20);
    EXPECT_EQ(plot.m_ptLastX, 130);
    EXPECT_EQ(g.m_fPanX, 0);
}

// The pan moves by the drag's share of the client size: integer division would leave it at 0 for any drag
// shorter than the whole client.
TEST_F(SceneFixture, DragPansByTheShareOfTheClientAndRotatesInTheOtherModes)
{
    GridData& g = *plot.CurrentGrid();
    plot.OnButtonDown(100, 100);
    EXPECT_TRUE(plot.OnMouseMove(false, 140, 130, 400, 300));
    EXPECT_FLOAT_EQ(g.m_fPanX, -0.1f);
    EXPECT_FLOAT_EQ(g.m_fPanY, 0.1f);
    EXPECT_EQ(plot.m_nClientWidth, 400);

    g.m_nMouseMode = 1;
    g.m_fRotX = g.m_fRotY = 0;
    EXPECT_TRUE(plot.OnMouseMove(false, 110, 160, 400, 300));  // from (140, 130)
    EXPECT_FLOAT_EQ(g.m_fRotX, 10.0f);                          // -= (130 - 160) / 3
    EXPECT_FLOAT_EQ(g.m_fRotY, 10.0f);                          // += (140 - 110) / 3

    g.m_nMouseMode = 5;
    EXPECT_TRUE(plot.OnMouseMove(false, 0, 0, 400, 300));
    EXPECT_FLOAT_EQ(g.m_fRotX, 10.0f);
    EXPECT_EQ(plot.m_ptLastX, 0);

    // A client of no size does not divide by zero; released, the mouse does nothing.
    g.m_nMouseMode = 0;
    const float panX = g.m_fPanX, panY = g.m_fPanY;
    EXPECT_TRUE(plot.OnMouseMove(false, 50, 50, 0, 0));
    EXPECT_EQ(g.m_fPanX, panX);
    EXPECT_EQ(g.m_fPanY, panY);
    plot.OnButtonUp();
    EXPECT_FALSE(plot.OnMouseMove(false, 70, 70, 400, 300));
    EXPECT_EQ(plot.m_ptLastX, 50);
}

TEST(GlSceneDemo, WithoutAGridTheDemoSpinsACubeAndAnOliveWireSphere)
{
    RecordingGlSeam gl;
    GridPlot demo;
    demo.Attach(&gl);
    EXPECT_TRUE(demo.ShowsDemo());
    EXPECT_FALSE(demo.OnMouseMove(false, 1, 1, 10, 10));
    demo.m_fDemoAngles[2] = 355;
    gl.Reset();
    demo.Render();
    EXPECT_FLOAT_EQ(demo.m_fDemoAngles[0], 10.2f);
    EXPECT_FLOAT_EQ(demo.m_fDemoAngles[1], 55.2f);
    EXPECT_EQ(demo.m_fDemoAngles[2], 0);  // past 360 starts again
    ASSERT_EQ(gl.primitives.size(), 2u);
    EXPECT_EQ(gl.primitives[0].type, GlPrimitive::QuadStrip);
    EXPECT_EQ(gl.primitives[0].vertices.size(), 10u);
    EXPECT_EQ(gl.primitives[1].type, GlPrimitive::Quads);
    EXPECT_EQ(gl.primitives[1].vertices.size(), 8u);
    for (const auto& p : gl.primitives)
        for (const auto& v : p.vertices)
            EXPECT_EQ(v.colour, (std::array<float, 3>{v.z + 0.5f, v.x + 0.5f, v.y + 0.5f}));
    ASSERT_EQ(gl.Count(GlOp::WireSphere), 1u);
    const auto sphere = std::find_if(gl.calls.begin(), gl.calls.end(),
                                     [](const testing::GlCall& c) { return c.op == GlOp::WireSphere; });
    EXPECT_EQ(sphere->args[0], 1);
    EXPECT_EQ(sphere->args[1], 16);
    EXPECT_EQ(sphere->args[2], 16);
    EXPECT_EQ(gl.colour, (std::array<float, 3>{128.0f / 255, 128.0f / 255, 0}));
}

TEST(GlSceneBinding, AttachBuildsTheFontAndReleaseFreesIt)
{
    RecordingGlSeam gl;
    GridPlot plot;
    EXPECT_FALSE(plot.Attach(nullptr));
    plot.Render();  // unbound: nothing to draw with, nothing happens
    EXPECT_TRUE(plot.Attach(&gl));
    EXPECT_EQ(gl.Ops(), (std::vector<GlOp>{GlOp::ClearDepth, GlOp::EnableDepthTest, GlOp::UnpackAlignment,
                                           GlOp::BuildFont}));
    EXPECT_EQ(plot.m_nFontBase, gl.fontBase);
    plot.Release();
    EXPECT_EQ(gl.calls.back().op, GlOp::DeleteFont);
    EXPECT_EQ(plot.Seam(), nullptr);
}

TEST(GlSceneFont, EveryPrintableGlyphButTheSpaceHasPixels)
{
    const GlyphTable& glyphs = PlotFontGlyphs();
    for (int i = 0; i < kGlyphCount; ++i) {
        int bits = 0;
        for (uint8_t row : glyphs[i])
            bits += __builtin_popcount(row);
        EXPECT_EQ(bits == 0, i == 0) << char(kGlyphFirst + i);
    }
}

}  // namespace
}  // namespace quantor
