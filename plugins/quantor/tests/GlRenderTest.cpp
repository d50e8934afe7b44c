// The scene and the plot drawn by OpenGL itself, offscreen: coarse checks on the pixels (Mesa versions differ in
// the exact ones).
#include "quantor/OpenGlSeam.h"
#include "quantor/SurfacePlotModel.h"
#include "quantor/tests/OffscreenGl.h"
#include "testing/RenderCheck.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace quantor {
namespace {

using testing::OffscreenGl;

constexpr int kSize = 96;

// An 8-bit image rising from left to right, its plot as a filled surface.
struct RampImage {
    std::vector<uint8_t> pixels;
    std::vector<const uint8_t*> rows;
    PlotImage view;
    explicit RampImage(int size) : pixels(static_cast<size_t>(size) * size)
    {
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x)
                pixels[static_cast<size_t>(y * size + x)] = static_cast<uint8_t>(x * 255 / (size - 1));
            rows.push_back(&pixels[static_cast<size_t>(y * size)]);
        }
        view = {size, size, 8, rows.data()};
    }
};

struct RenderFixture : ::testing::Test {
    OffscreenGl context;
    OpenGlSeam gl;
    std::unique_ptr<RampImage> image;
    SurfacePlot plot;

    // The surface of a 64 x 64 ramp at step 4, bound to OpenGL at the context's size.
    void RampPlot()
    {
        image = std::make_unique<RampImage>(64);
        plot.SetImage(&image->view, 0);
        plot.SetStep(4);
        plot.BuildFromImage();
        plot.Attach(&gl);
        plot.Reshape(kSize, kSize);
    }

    void SetUp() override
    {
        if (!context.Open(kSize, kSize))
            GTEST_SKIP() << "no surfaceless OpenGL context here";
    }
    void TearDown() override
    {
        plot.Release();
        if (!HasFailure() || context.Width() == 0)
            return;
        const std::vector<uint8_t> rgba = context.Pixels();
        const QImage image = QImage(rgba.data(), kSize, kSize, QImage::Format_RGBA8888).mirrored();
        const QDir folder(testing_support::FailureImageFolder());
        QDir().mkpath(folder.absolutePath());
        const QString path = folder.absoluteFilePath(
            QString("quantor-%1.png").arg(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        ADD_FAILURE() << (image.save(path) ? "image saved as " : "could not save ") << path.toStdString();
    }
    // Pixels that are not the clear colour.
    size_t Drawn(const std::array<uint8_t, 3>& background) const
    {
        const std::vector<uint8_t> p = context.Pixels();
        size_t n = 0;
        for (size_t i = 0; i < p.size(); i += 4)
            n += p[i] != background[0] || p[i + 1] != background[1] || p[i + 2] != background[2];
        return n;
    }
};

TEST_F(RenderFixture, TheDemoSceneDrawsOverTheBlackBackground)
{
    GridPlot demo;
    ASSERT_TRUE(demo.Attach(&gl));
    demo.Reshape(kSize, kSize);
    demo.Render();
    EXPECT_GT(Drawn({0, 0, 0}), static_cast<size_t>(kSize * kSize / 10));
    demo.Release();
}

TEST_F(RenderFixture, AGlyphSetsPixelsAtItsRasterPosition)
{
    const uint32_t base = gl.BuildFont(PlotFontGlyphs());
    ASSERT_NE(base, 0u);
    gl.Viewport(0, 0, kSize, kSize);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gl.Ortho2D(0, kSize, 0, kSize);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gl.Color3f(1, 1, 1);
    gl.RasterPos3f(10, 10, 0);
    gl.PrintText(base, "X");
    const std::vector<uint8_t> p = context.Pixels();
    size_t inCell = 0, elsewhere = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const bool lit = p[static_cast<size_t>(y * kSize + x) * 4] > 128;
            const bool cell = x >= 10 && x < 18 && y >= 8 && y < 21;  // the glyph's 8 x 13 cell, 2 rows below
            (cell ? inCell : elsewhere) += lit;
        }
    EXPECT_GE(inCell, 9u);
    EXPECT_EQ(elsewhere, 0u);
    gl.DeleteFont(base);
}

TEST_F(RenderFixture, TheSurfaceRunsFromTheLowToTheHighColour)
{
    RampPlot();
    plot.CurrentGrid()->m_fRotX = 0;  // seen from above
    plot.CurrentGrid()->m_bShowWalls = plot.CurrentGrid()->m_bShowFloor = 0;
    plot.Render();
    const std::vector<uint8_t> p = context.Pixels();
    size_t blue = 0, red = 0;
    for (size_t i = 0; i < p.size(); i += 4) {
        blue += p[i + 2] > 150 && p[i] < 100;
        red += p[i] > 150 && p[i + 2] < 100;
    }
    EXPECT_GT(blue, 50u);
    EXPECT_GT(red, 50u);
}

// The cells drawn as one batch from a buffer look as they do drawn one Begin/End at a time, and so do the legend's
// quads and letters drawn in immediate mode after them.
TEST_F(RenderFixture, BatchedCellsDrawWhatOneCellAtATimeDraws)
{
    RampPlot();
    GridData& g = *plot.CurrentGrid();
    g.m_fRotX = -60;
    g.m_fRotZ = 30;
    g.m_bShowLegend = 1;
    const size_t batched = plot.m_nMostBatchedCells;
    for (int kind : {kPlotSurface, kPlotGrid, kPlotFlat}) {
        g.m_nPlotKind = kind;
        plot.m_nMostBatchedCells = 0;
        plot.Render();
        const std::vector<uint8_t> direct = context.Pixels();
        plot.m_nMostBatchedCells = batched;
        plot.Render();
        EXPECT_TRUE(context.Pixels() == direct) << "kind " << kind;
        plot.Render();  // from the buffer the first frame filled
        EXPECT_TRUE(context.Pixels() == direct) << "kind " << kind << ", second frame";
    }
}

// Between frames a painter pass over the widget turns depth testing off and blends; the next frame must still
// hide what lies behind, so it looks as the first.
TEST_F(RenderFixture, AFrameAfterAForeignPassDrawsAsTheFirst)
{
    RampPlot();
    plot.CurrentGrid()->m_fRotX = -60;
    plot.CurrentGrid()->m_fRotZ = 30;
    plot.Render();
    const std::vector<uint8_t> first = context.Pixels();

    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glMatrixMode(GL_PROJECTION);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    plot.Render();
    EXPECT_TRUE(context.Pixels() == first);
}

}  // namespace
}  // namespace quantor
