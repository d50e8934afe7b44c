// The surface plot: building the height grid of a 20-megapixel image (grey and colour, at the default step 5 and at
// step 1) against OpenCV's nearest-neighbour resize, flip and weighted float conversion of the same pixels (target:
// under 100 ms); and drawing the surface of a 1024 x 1024 image offscreen through OpenGL, our frame (the cells as
// one batch; second argument 0: one Begin/End per cell, as records too large to batch are drawn) against a bare
// program drawing the same coloured quads from one vertex buffer (target: 30 frames per second and within 2x of that
// baseline at step 5). Both sides are checked before timing.
#include "quantor/OpenGlSeam.h"
#include "quantor/SurfacePlotModel.h"
#include "quantor/tests/OffscreenGl.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using quantor::PlotImage;
using quantor::SurfacePlot;

constexpr int kWidth = 5472;
constexpr int kHeight = 3648;  // 20 megapixels

struct Image {
    cv::Mat pixels;
    std::vector<const uint8_t*> rows;
    PlotImage view;
    Image(int width, int height, int channels)
    {
        pixels.create(height, width, CV_MAKETYPE(CV_8U, channels));
        cv::RNG rng(7);
        rng.fill(pixels, cv::RNG::UNIFORM, cv::Scalar::all(0), cv::Scalar::all(256));
        for (int y = 0; y < height; ++y)
            rows.push_back(pixels.ptr<uint8_t>(y));
        view = {width, height, channels * 8, rows.data()};
    }
};

Image& Source(int channels)
{
    static Image grey(kWidth, kHeight, 1);
    static Image colour(kWidth, kHeight, 3);
    return channels == 1 ? grey : colour;
}

// The peer: every step-th pixel (nearest neighbour), for colour the same weighted sum of blue, green and red, the
// heights as floats, bottom row first.
void PeerGrid(const Image& image, int step, cv::Mat& sampled, cv::Mat& floats, cv::Mat& heights)
{
    const int nx = image.view.width / step, ny = image.view.height / step;
    cv::resize(image.pixels(cv::Rect(0, 0, nx * step, ny * step)), sampled, cv::Size(nx, ny), 0, 0,
               cv::INTER_NEAREST);
    cv::flip(sampled, sampled, 0);
    if (sampled.channels() == 3) {
        sampled.convertTo(floats, CV_32F);
        cv::transform(floats, heights, cv::Matx14f(0.072169f / 256, 0.71516f / 256, 0.212671f / 256, -0.5f));
    } else {
        sampled.convertTo(heights, CV_32F, 1.0 / 256, -0.5);
    }
}

void BM_BuildHeightGrid(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    const int step = static_cast<int>(state.range(1));
    Image& image = Source(channels);
    SurfacePlot plot;
    plot.SetImage(&image.view, 0);
    plot.SetStep(step);
    plot.BuildFromImage();
    if (!plot.CurrentGrid() || plot.CurrentGrid()->m_nSizeX != kWidth / step) {
        state.SkipWithError("no grid");
        return;
    }
    for (auto _ : state) {
        plot.BuildFromImage();
        benchmark::DoNotOptimize(plot.CurrentGrid()->m_pCoordZ.data());
    }
    state.SetLabel(channels == 1 ? "grey" : "colour");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * (kWidth / step) * (kHeight / step));
}

// The first build, as the dialog opening on the image does: the grid's memory is new.
void BM_BuildHeightGridFresh(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    const int step = static_cast<int>(state.range(1));
    Image& image = Source(channels);
    for (auto _ : state) {
        SurfacePlot plot;
        plot.SetImage(&image.view, 0);
        plot.SetStep(step);
        plot.BuildFromImage();
        benchmark::DoNotOptimize(plot.CurrentGrid());
    }
    state.SetLabel(channels == 1 ? "grey" : "colour");
}

void BM_BuildHeightGridOpenCv(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    const int step = static_cast<int>(state.range(1));
    Image& image = Source(channels);
    cv::Mat sampled, floats, heights;
    PeerGrid(image, step, sampled, floats, heights);
    SurfacePlot plot;
    plot.SetImage(&image.view, 0);
    plot.SetStep(step);
    plot.BuildFromImage();
    const std::vector<float>& ours = plot.CurrentGrid()->m_pCoordZ;
    double worst = 0;
    for (int j = 0; j < heights.rows; ++j)
        for (int i = 0; i < heights.cols; ++i)
            worst = std::max(worst, std::fabs(double(heights.at<float>(j, i)) - ours[size_t(j) * heights.cols + i]));
    if (worst > 1e-5) {
        state.SkipWithError("the peer samples other nodes");
        return;
    }
    for (auto _ : state) {
        PeerGrid(image, step, sampled, floats, heights);
        benchmark::DoNotOptimize(heights.data);
    }
    state.SetLabel(channels == 1 ? "grey" : "colour");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * heights.total());
}

BENCHMARK(BM_BuildHeightGrid)->Args({1, 5})->Args({3, 5})->Args({1, 1})->Args({3, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildHeightGridFresh)->Args({1, 5})->Args({3, 5})->Args({1, 1})->Args({3, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildHeightGridOpenCv)->Args({1, 5})->Args({3, 5})->Args({1, 1})->Args({3, 1})
    ->Unit(benchmark::kMillisecond);

// --- drawing -------------------------------------------------------------------------------------------------

constexpr int kView = 512;
constexpr int kPlotImage = 1024;

quantor::testing::OffscreenGl* Context()
{
    static quantor::testing::OffscreenGl context;
    static const bool open = context.Open(kView, kView);
    return open ? &context : nullptr;
}

Image& PlotSource()
{
    static Image image = [] {
        Image ramp(kPlotImage, kPlotImage, 1);
        for (int y = 0; y < kPlotImage; ++y)
            for (int x = 0; x < kPlotImage; ++x)
                ramp.pixels.at<uint8_t>(y, x) = static_cast<uint8_t>((x ^ y) & 0xFF);
        return ramp;
    }();
    return image;
}

size_t DrawnPixels()
{
    std::vector<uint8_t> p(size_t(kView) * kView * 4);
    glReadPixels(0, 0, kView, kView, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    size_t n = 0;
    for (size_t i = 0; i < p.size(); i += 4)
        n += p[i] || p[i + 1] || p[i + 2];
    return n;
}

void BM_DrawSurface(benchmark::State& state)
{
    if (!Context()) {
        state.SkipWithError("no surfaceless OpenGL context");
        return;
    }
    quantor::OpenGlSeam gl;
    SurfacePlot plot;
    plot.SetImage(&PlotSource().view, 0);
    plot.SetStep(static_cast<int>(state.range(0)));
    if (state.range(1) == 0)
        plot.m_nMostBatchedCells = 0;
    plot.BuildFromImage();
    plot.Attach(&gl);
    plot.Reshape(kView, kView);
    plot.Render();
    if (DrawnPixels() < size_t(kView) * kView / 10) {
        state.SkipWithError("the plot drew nothing");
        return;
    }
    for (auto _ : state) {
        plot.CurrentGrid()->m_fRotZ += 1;  // rotating, as a dragged plot does
        plot.Render();
    }
    plot.Release();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The floor: the same cells as coloured quads in one vertex buffer, drawn with one call per frame.
void BM_DrawSurfaceVertexBuffer(benchmark::State& state)
{
    if (!Context()) {
        state.SkipWithError("no surfaceless OpenGL context");
        return;
    }
    SurfacePlot plot;
    plot.SetImage(&PlotSource().view, 0);
    plot.SetStep(static_cast<int>(state.range(0)));
    plot.BuildFromImage();
    const quantor::GridData& g = *plot.CurrentGrid();
    std::vector<float> vertices;  // x y z r g b
    for (int j = 0; j + 1 < g.m_nSizeY; ++j)
        for (int i = 0; i + 1 < g.m_nSizeX; ++i) {
            const int nodes[4][2] = {{i, j}, {i + 1, j}, {i + 1, j + 1}, {i, j + 1}};
            for (const auto& n : nodes) {
                const float z = g.m_pCoordZ[size_t(n[0] + n[1] * g.m_nSizeX)];
                quantor::Colour3 c{};
                quantor::ValueColour(g, z, c);
                vertices.insert(vertices.end(), {g.m_pCoordX[size_t(n[0])], g.m_pCoordY[size_t(n[1])], z, c[0], c[1],
                                                 c[2]});
            }
        }
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(float)), vertices.data(), GL_STATIC_DRAW);
    const GLsizei count = GLsizei(vertices.size() / 6);
    glViewport(0, 0, kView, kView);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    quantor::OpenGlSeam projection;
    projection.Perspective(40, 1, 1, 15);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    float angle = 0;
    const auto frame = [&] {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();  // as the plot's frame does: any order of the benchmarks draws the same
        glLoadIdentity();
        glTranslated(g.m_fTransX, g.m_fTransY, g.m_fTransZ);
        glRotatef(g.m_fRotX, 1, 0, 0);
        glRotatef(angle += 1, 0, 0, 1);
        glScalef(g.m_fScaleX, g.m_fScaleY, g.m_fScaleZ);
        glOrtho(-0.5, 0.5, -0.5, 0.5, 1, -1);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, 6 * sizeof(float), nullptr);
        glColorPointer(3, GL_FLOAT, 6 * sizeof(float), reinterpret_cast<const void*>(3 * sizeof(float)));
        glDrawArrays(GL_QUADS, 0, count);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glPopMatrix();
        glFinish();
    };
    frame();
    if (DrawnPixels() < size_t(kView) * kView / 10) {
        state.SkipWithError("the baseline drew nothing");
        return;
    }
    for (auto _ : state)
        frame();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDeleteBuffers(1, &buffer);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_DrawSurface)->Args({5, 1})->Args({5, 0})->Args({1, 1})->Args({1, 0})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DrawSurfaceVertexBuffer)->Arg(5)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
