// The overlay at the sizes a busy measurement session reaches: painting 1,000 and 10,000 finished lines with their
// value labels into a 1920 x 1080 surface, hit-testing a click among 10,000 objects, and writing and reading an
// overlay of 10,000 objects; painting and hit-testing a mixed overlay of 10,000 objects of every shape; and painting
// one target reticle. Targets: painting 10,000 lines under 60 ms (median), a click under 5 ms, each stream
// direction under 50 ms. Before timing, every case checks its result (ink where the lines are, the right object
// hit, nothing hit on empty ground, a stream that reads back into the same bytes), so a fast wrong path fails.
#include "CQvGObject.h"
#include "CQvGObjectContainer.h"

#include "gdi/CDC.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kSurfaceWidth = 1920;
constexpr int kSurfaceHeight = 1080;
constexpr int kManyObjects = 10000;
constexpr QRgb kBackground = 0xFFFFFFFF;

struct Segment
{
    CPoint start;
    CPoint end;
};

// Measurement lines 20 to 200 pixels long anywhere on the surface, the same on every run.
std::vector<Segment> ScatteredLines(int count)
{
    std::vector<Segment> lines;
    uint32_t state = 2024;
    auto next = [&state](int range) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<uint32_t>(range));
    };
    while (static_cast<int>(lines.size()) < count) {
        const CPoint start(next(kSurfaceWidth), next(kSurfaceHeight));
        const CPoint end(start.x - 100 + next(201), start.y - 100 + next(201));
        const int dx = end.x - start.x;
        const int dy = end.y - start.y;
        if (dx * dx + dy * dy >= 20 * 20 && end.x >= 0 && end.y >= 0 && end.x < kSurfaceWidth &&
            end.y < kSurfaceHeight)
            lines.push_back({start, end});
    }
    return lines;
}

// One short line per cell of a 100 x 100 grid of 60 x 40 pixel cells: the lower part of every cell stays empty,
// and the line of cell 0 lies under nothing else.
constexpr int kCellWidth = 60;
constexpr int kCellHeight = 40;
constexpr int kGridColumns = 100;

std::vector<Segment> GridLines()
{
    std::vector<Segment> lines;
    for (int i = 0; i < kManyObjects; ++i) {
        const int left = (i % kGridColumns) * kCellWidth;
        const int top = (i / kGridColumns) * kCellHeight;
        lines.push_back({CPoint(left + 5, top + 8), CPoint(left + 45, top + 8)});
    }
    return lines;
}

// Draws each line as the user would: a click, a move, a click; the container names it and gives it its label.
std::unique_ptr<CQvGObjectContainer> Overlay(const std::vector<Segment>& lines)
{
    auto overlay = std::make_unique<CQvGObjectContainer>();
    overlay->SetDecimalPointRange(3);
    overlay->SetAutoRepeatCreatingObject(0);
    overlay->SetCanvasSize(CSize(kSurfaceWidth, kSurfaceHeight));
    for (const Segment& line : lines) {
        overlay->AddObject(SHAPE_LINE);
        overlay->LButtonDown(1, line.start);
        overlay->MouseMove(nullptr, 0, line.end);
        overlay->LButtonDown(1, line.end);
    }
    return overlay;
}

QImage Surface()
{
    QImage image(kSurfaceWidth, kSurfaceHeight, QImage::Format_RGB32);
    image.fill(kBackground);
    return image;
}

bool InkNear(const QImage& image, CPoint p)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.valid(p.x + dx, p.y + dy) && image.pixel(p.x + dx, p.y + dy) != kBackground)
                return true;
    return false;
}

bool PaintingIsRight()
{
    const std::vector<Segment> lines = ScatteredLines(1000);
    auto overlay = Overlay(lines);
    QImage image = Surface();
    {
        CDC dc(image);
        overlay->Draw(&dc, -1);
    }
    int labelled = 0;
    for (CQvGObject* obj : overlay->GetMainObjList())
        labelled += obj->GetState() == GS_FINISHED && obj->GetLabelObject() != nullptr;
    int inkedQuarterPoints = 0;
    for (const Segment& line : lines)
        inkedQuarterPoints += InkNear(image, CPoint((3 * line.start.x + line.end.x) / 4,
                                                    (3 * line.start.y + line.end.y) / 4));
    std::printf("painting: %d of 1000 lines finished with a label, %d inked at a quarter of their length\n",
                labelled, inkedQuarterPoints);
    return labelled == 1000 && inkedQuarterPoints == 1000;
}

CPoint BottomMostClick()
{
    return CPoint(25, 8);  // on the line of cell 0, the first object drawn
}

CPoint EmptyClick()
{
    return CPoint(50 * kCellWidth + 30, 50 * kCellHeight + 34);  // low in a cell in the middle of the grid
}

bool HitTestingIsRight()
{
    auto overlay = Overlay(GridLines());
    const CQvGObject* bottom = overlay->HitTest(CRect(BottomMostClick(), BottomMostClick()));
    const CQvGObject* none = overlay->HitTest(CRect(EmptyClick(), EmptyClick()));
    const bool right = overlay->GetMainObjList().size() == static_cast<size_t>(kManyObjects) &&
                       bottom == overlay->GetMainObjList().front() && none == nullptr;
    std::printf("hit testing: %s\n", right ? "the first object under its click, nothing on empty ground" : "WRONG");
    return right;
}

std::vector<unsigned char> FileBytes(FILE* file)
{
    std::vector<unsigned char> bytes;
    std::rewind(file);
    int c;
    while ((c = std::fgetc(file)) != EOF)
        bytes.push_back(static_cast<unsigned char>(c));
    return bytes;
}

bool StreamIsRight()
{
    // Labels take their final size on their first paint (and on reading); a freshly drawn overlay is painted
    // before anyone saves it.
    auto overlay = Overlay(ScatteredLines(kManyObjects));
    QImage image = Surface();
    {
        CDC dc(image);
        overlay->Draw(&dc, -1);
    }
    FILE* written = std::tmpfile();
    FILE* rewritten = std::tmpfile();
    CQvGObjectContainer reread;
    bool right = written && rewritten && overlay->Write(written);
    if (right) {
        std::rewind(written);
        right = reread.Read(written) && reread.GetMainObjList().size() == static_cast<size_t>(kManyObjects) &&
                reread.Write(rewritten);
    }
    const std::vector<unsigned char> first = right ? FileBytes(written) : std::vector<unsigned char>();
    right = right && first == FileBytes(rewritten);
    std::printf("stream: %zu bytes for %d objects, %s\n", first.size(), kManyObjects,
                right ? "read back and written again byte for byte" : "WRONG");
    if (written)
        std::fclose(written);
    if (rewritten)
        std::fclose(rewritten);
    return right;
}

// Times painting the whole overlay onto a fresh surface.
void TimePainting(benchmark::State& state, CQvGObjectContainer& overlay)
{
    QImage image = Surface();
    CDC dc(image);
    for (auto _ : state) {
        state.PauseTiming();
        image.fill(kBackground);
        state.ResumeTiming();
        overlay.Draw(&dc, -1);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PaintLinesWithLabels(benchmark::State& state)
{
    auto overlay = Overlay(ScatteredLines(static_cast<int>(state.range(0))));
    TimePainting(state, *overlay);
}

void BM_HitTestClick(benchmark::State& state, CPoint click)
{
    auto overlay = Overlay(GridLines());
    for (auto _ : state)
        benchmark::DoNotOptimize(overlay->HitTest(CRect(click, click)));
}

void BM_WriteOverlay(benchmark::State& state)
{
    auto overlay = Overlay(ScatteredLines(kManyObjects));
    FILE* file = std::tmpfile();
    for (auto _ : state) {
        std::rewind(file);
        if (!overlay->Write(file))
            state.SkipWithError("write failed");
        std::fflush(file);
    }
    std::fclose(file);
}

void BM_ReadOverlay(benchmark::State& state)
{
    auto overlay = Overlay(ScatteredLines(kManyObjects));
    FILE* file = std::tmpfile();
    overlay->Write(file);
    CQvGObjectContainer reread;
    for (auto _ : state) {
        std::rewind(file);
        if (!reread.Read(file))
            state.SkipWithError("read failed");
    }
    std::fclose(file);
}

// A mixed overlay: 10,000 objects of every measurement shape, each drawn by clicks inside a 60 x 40 cell; the cells
// tile the surface and each takes about a dozen overlapping objects, as a dense session leaves them.
struct ShapeClicks
{
    OBJ_SHAPE shape;
    std::vector<CPoint> clicks;  // a right click after the last one finishes shapes that wait for it
};

const std::vector<ShapeClicks>& MeasurementShapes()
{
    static const std::vector<ShapeClicks> shapes = {
        {SHAPE_POINT, {{20, 20}}},
        {SHAPE_LINE, {{5, 8}, {45, 8}}},
        {SHAPE_RECT, {{5, 5}, {40, 25}}},
        {static_cast<OBJ_SHAPE>(3), {{10, 15}, {40, 15}}},
        {static_cast<OBJ_SHAPE>(4), {{25, 18}, {35, 18}}},
        {static_cast<OBJ_SHAPE>(5), {{5, 5}, {45, 30}}},
        {static_cast<OBJ_SHAPE>(6), {{5, 5}, {25, 20}, {45, 8}}},
        {static_cast<OBJ_SHAPE>(7), {{5, 5}, {40, 8}, {20, 30}}},
        {static_cast<OBJ_SHAPE>(9), {{5, 5}, {15, 9}, {25, 14}, {35, 18}}},
        {static_cast<OBJ_SHAPE>(10), {{25, 20}}},
        {static_cast<OBJ_SHAPE>(11), {{5, 10}, {40, 20}}},
        {static_cast<OBJ_SHAPE>(12), {{10, 5}, {30, 30}}},
        {static_cast<OBJ_SHAPE>(13), {{5, 10}, {45, 14}}},
        {static_cast<OBJ_SHAPE>(14), {{10, 5}, {14, 30}}},
        {static_cast<OBJ_SHAPE>(15), {{5, 10}, {15, 10}, {10, 16}, {30, 10}, {40, 10}, {35, 18}}},
        {static_cast<OBJ_SHAPE>(16), {{5, 5}, {45, 7}, {25, 25}}},
        {static_cast<OBJ_SHAPE>(17), {{5, 10}, {45, 10}, {15, 25}, {35, 3}}},
        {static_cast<OBJ_SHAPE>(18), {{5, 10}, {45, 12}, {15, 25}, {35, 3}}},
        {static_cast<OBJ_SHAPE>(19), {{5, 5}, {45, 10}, {5, 30}, {45, 20}}},
        {static_cast<OBJ_SHAPE>(20), {{5, 30}, {25, 5}, {45, 30}}},
        {static_cast<OBJ_SHAPE>(21), {{10, 20}, {40, 20}, {25, 5}}},
        {static_cast<OBJ_SHAPE>(28), {{5, 5}}},
        {static_cast<OBJ_SHAPE>(43), {{5, 30}, {25, 10}, {45, 30}}},
    };
    return shapes;
}

constexpr int kTargets = 2;

std::unique_ptr<CQvGObjectContainer> MixedOverlay()
{
    auto overlay = std::make_unique<CQvGObjectContainer>();
    overlay->SetDecimalPointRange(3);
    overlay->SetAutoRepeatCreatingObject(0);
    overlay->SetCanvasSize(CSize(kSurfaceWidth, kSurfaceHeight));
    const int columns = kSurfaceWidth / kCellWidth;
    const int rows = kSurfaceHeight / kCellHeight;
    const std::vector<ShapeClicks>& shapes = MeasurementShapes();
    int targets = 0;
    for (int i = 0; i < kManyObjects; ++i) {
        ShapeClicks s = shapes[static_cast<size_t>(i) % shapes.size()];
        // A target is a reticle over the whole image: a session places one or two, not one in every cell. The
        // rest of its turns go to points, its nearest kin.
        if (s.shape == SHAPE_TARGET && ++targets > kTargets)
            s.shape = SHAPE_POINT;
        const CSize cell((i % columns) * kCellWidth, (i / columns % rows) * kCellHeight);
        overlay->AddObject(s.shape);
        CQvGObject* obj = overlay->GetCreatingObject();
        for (CPoint p : s.clicks) {
            overlay->MouseMove(nullptr, 0, p + cell);
            overlay->LButtonDown(1, p + cell);
            overlay->LButtonUp(0, p + cell);
        }
        if (obj && obj->GetState() != GS_FINISHED)
            overlay->RButtonDown(0, s.clicks.back() + cell);
    }
    return overlay;
}

bool MixedOverlayIsRight()
{
    auto overlay = MixedOverlay();
    int finished = 0;
    for (CQvGObject* obj : overlay->GetMainObjList())
        finished += obj->GetState() == GS_FINISHED;
    const bool right = finished == kManyObjects;
    std::printf("mixed overlay: %d of %d objects of %zu shapes finished\n", finished, kManyObjects,
                MeasurementShapes().size());
    return right;
}

void BM_PaintMixedOverlay(benchmark::State& state)
{
    auto overlay = MixedOverlay();
    TimePainting(state, *overlay);
}

// One target in the middle of the image with the default look: the full cross-hair and a ring every 20 pixels
// out to the corners.
void BM_PaintTarget(benchmark::State& state)
{
    CQvGObjectContainer overlay;
    overlay.SetCanvasSize(CSize(kSurfaceWidth, kSurfaceHeight));
    overlay.SetAutoRepeatCreatingObject(0);
    const CPoint centre(kSurfaceWidth / 2, kSurfaceHeight / 2);
    overlay.AddObject(SHAPE_TARGET);
    overlay.MouseMove(nullptr, 0, centre);
    overlay.LButtonDown(1, centre);
    overlay.LButtonUp(0, centre);
    TimePainting(state, overlay);
}

void BM_HitTestMixedOverlay(benchmark::State& state)
{
    auto overlay = MixedOverlay();
    const CPoint click(17 * kCellWidth + 52, 13 * kCellHeight + 37);
    for (auto _ : state)
        benchmark::DoNotOptimize(overlay->HitTest(CRect(click, click)));
}

constexpr int kRepetitions = 9;

BENCHMARK(BM_PaintLinesWithLabels)
    ->Arg(1000)
    ->Arg(kManyObjects)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_HitTestClick, BottomMostOf10000, BottomMostClick())
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_HitTestClick, EmptyAmong10000, EmptyClick())
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PaintMixedOverlay)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_PaintTarget)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_HitTestMixedOverlay)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_WriteOverlay)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadOverlay)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // Qt takes the numeric locale from the environment; stored numbers and printed figures use a point.
    std::setlocale(LC_NUMERIC, "C");
    if (!PaintingIsRight() || !HitTestingIsRight() || !StreamIsRight() || !MixedOverlayIsRight()) {
        std::fprintf(stderr, "the overlay gave a wrong result; not timing it\n");
        return EXIT_FAILURE;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
