// One target reticle painted into a 1920 x 1080 window: on a canvas the window's size (the baseline, in the same
// run) and on a 65536-pixel canvas: with the target in the middle of the window, and with the window far from the
// target, where rings of radius 31,700 to 32,800 pixels cross it. Target: each large-canvas case
// within 2x of the baseline's median. Before timing, each result is checked: the large canvas paints what the
// small one paints wherever the small one's rings reach, and a window half the size paints the same pixels as the
// same part of the full window (so rings left out or walked from the wrong place fail). The large canvas's far
// views paint more ring pixels than the baseline: their rings cross the whole window.
#include "CQvGObject.h"
#include "CQvGObjectContainer.h"

#include "gdi/CDC.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kWindowWidth = 1920;
constexpr int kWindowHeight = 1080;
constexpr int kLargeSide = 65536;
constexpr QRgb kBackground = 0xFFFFFFFF;

struct TargetView
{
    CSize canvas;
    CPoint target;  // image pixels
    CPoint origin;  // window position of image pixel (0, 0)
};

const TargetView kBaseline{CSize(kWindowWidth, kWindowHeight), CPoint(kWindowWidth / 2, kWindowHeight / 2),
                           CPoint(0, 0)};
const TargetView kLargeCentred{CSize(kLargeSide, kLargeSide), CPoint(kLargeSide / 2, kLargeSide / 2),
                               CPoint(kWindowWidth / 2 - kLargeSide / 2, kWindowHeight / 2 - kLargeSide / 2)};
// The window on the canvas's top edge, above the target, and half-way between the target and the canvas's
// top-left corner: rings of radius 31,700 to 32,800 pixels cross it there, level or at 45 degrees.
const TargetView kLargeEdge{CSize(kLargeSide, kLargeSide), CPoint(kLargeSide / 2, kLargeSide / 2),
                            CPoint(kWindowWidth / 2 - kLargeSide / 2, 0)};
constexpr int kDiagonal = kLargeSide / 2 - 22500;
const TargetView kLargeDiagonal{CSize(kLargeSide, kLargeSide), CPoint(kLargeSide / 2, kLargeSide / 2),
                                CPoint(kWindowWidth / 2 - kDiagonal, kWindowHeight / 2 - kDiagonal)};

// A container holding one target clicked at the view's point, with the default look (a ring every 20 pixels).
std::unique_ptr<CQvGObjectContainer> TargetOverlay(const TargetView& view)
{
    auto overlay = std::make_unique<CQvGObjectContainer>();
    overlay->SetCanvasSize(view.canvas);
    overlay->SetAutoRepeatCreatingObject(0);
    // The reticle alone: its value label would show a different position on each canvas.
    overlay->SetDisplayData(0);
    overlay->AddObject(SHAPE_TARGET);
    overlay->MouseMove(nullptr, 0, view.target);
    overlay->LButtonDown(1, view.target);
    overlay->LButtonUp(0, view.target);
    overlay->SetRelative(view.origin);
    return overlay;
}

QImage Paint(CQvGObjectContainer& overlay, int width, int height)
{
    QImage surface(width, height, QImage::Format_RGB32);
    surface.fill(kBackground);
    CDC dc(surface);
    overlay.Draw(&dc, -1);
    return surface;
}

int Ink(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) != kBackground;
    return count;
}

bool SameInside(const QImage& a, const QImage& b, const QRect& area, double radius, QPoint centre)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (std::hypot(x - centre.x(), y - centre.y()) <= radius && a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

bool PaintingIsRight()
{
    auto baseline = TargetOverlay(kBaseline);
    const QImage small = Paint(*baseline, kWindowWidth, kWindowHeight);
    auto centred = TargetOverlay(kLargeCentred);
    const QImage large = Paint(*centred, kWindowWidth, kWindowHeight);
    // The small canvas's rings reach 960 pixels from the centre; inside that both paint the same, but for the
    // cross-hair's last pixel, where the small canvas ends.
    const QPoint centre(kWindowWidth / 2, kWindowHeight / 2);
    if (Ink(small) < 10000 || !SameInside(small, large, QRect(0, 0, kWindowWidth - 1, kWindowHeight - 1), 955, centre))
        return false;
    for (const TargetView* view : {&kLargeCentred, &kLargeEdge, &kLargeDiagonal}) {
        auto overlay = TargetOverlay(*view);
        const QImage whole = Paint(*overlay, kWindowWidth, kWindowHeight);
        const QImage part = Paint(*overlay, kWindowWidth / 2 + 7, kWindowHeight / 2 + 3);
        if (Ink(whole) < 10000 || part != whole.copy(0, 0, part.width(), part.height()))
            return false;
    }
    return true;
}

void TimeTarget(benchmark::State& state, const TargetView& view)
{
    auto overlay = TargetOverlay(view);
    QImage surface(kWindowWidth, kWindowHeight, QImage::Format_RGB32);
    CDC dc(surface);
    for (auto _ : state) {
        surface.fill(kBackground);
        overlay->Draw(&dc, -1);
        benchmark::ClobberMemory();
    }
}

void BM_TargetOnWindowSizedCanvas(benchmark::State& state)
{
    TimeTarget(state, kBaseline);
}

void BM_TargetOnLargeCanvasCentred(benchmark::State& state)
{
    TimeTarget(state, kLargeCentred);
}

void BM_TargetOnLargeCanvasEdge(benchmark::State& state)
{
    TimeTarget(state, kLargeEdge);
}

void BM_TargetOnLargeCanvasDiagonal(benchmark::State& state)
{
    TimeTarget(state, kLargeDiagonal);
}

constexpr int kRepetitions = 9;
BENCHMARK(BM_TargetOnWindowSizedCanvas)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TargetOnLargeCanvasCentred)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TargetOnLargeCanvasEdge)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TargetOnLargeCanvasDiagonal)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (!PaintingIsRight()) {
        std::fprintf(stderr, "the target gave a wrong result; not timing it\n");
        return EXIT_FAILURE;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
