// A click on a centre-to-centre distance whose circles have a radius of 30 pixels and one whose circles have a radius
// of 30,000, the size that once made a click build giant elliptic regions. The small object is the peer: a click on
// the large one must cost within 2x of a click on the small one (median), on the outline and inside the circle
// alike. Before timing, each click is checked: the outline is hit, the inside and the ground beyond are not.
#include "CQvGObject.h"
#include "CQvGObjectContainer.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kRepetitions = 9;
constexpr int kSmallRadius = 30;
constexpr int kLargeRadius = 30000;

// Circle A's centre lies this far inside the image from the top-left corner of its box.
int CentreOf(int radius)
{
    return radius + 100;
}

// Circle A about (c, c) and circle B about (c + 3r, c), each through its points at 0, 90 and 180 degrees, clicked
// as a user clicks them.
std::unique_ptr<CQvGObjectContainer> CentreToCentre(int radius)
{
    auto overlay = std::make_unique<CQvGObjectContainer>();
    overlay->SetAutoRepeatCreatingObject(0);
    overlay->AddObject(SHAPE_CENTER_TO_CENTER);
    const int c = CentreOf(radius);
    const int r = radius;
    const CPoint rims[6] = {{c + r, c}, {c, c - r}, {c - r, c}, {c + 4 * r, c}, {c + 3 * r, c - r}, {c + 2 * r, c}};
    for (CPoint p : rims) {
        overlay->MouseMove(nullptr, 0, p);
        overlay->LButtonDown(1, p);
        overlay->LButtonUp(0, p);
    }
    return overlay;
}

// The bottom of circle A's outline, away from every rim point.
CPoint OnTheOutline(int radius)
{
    return CPoint(CentreOf(radius), CentreOf(radius) + radius + 1);
}

// Half-way down from circle A's centre, away from the value label.
CPoint InsideTheCircle(int radius)
{
    return CPoint(CentreOf(radius), CentreOf(radius) + radius / 2);
}

CPoint BelowTheCircle(int radius)
{
    return CPoint(CentreOf(radius), CentreOf(radius) + radius + 20);
}

bool HitTestingIsRight()
{
    bool right = true;
    for (int radius : {kSmallRadius, kLargeRadius}) {
        auto overlay = CentreToCentre(radius);
        const bool finished = overlay->GetMainObjList().size() == 1 &&
                              overlay->GetMainObjList().front()->GetState() == GS_FINISHED;
        const bool outline = overlay->HitTest(CRect(OnTheOutline(radius), OnTheOutline(radius))) != nullptr;
        const bool inside = overlay->HitTest(CRect(InsideTheCircle(radius), InsideTheCircle(radius))) != nullptr;
        const bool below = overlay->HitTest(CRect(BelowTheCircle(radius), BelowTheCircle(radius))) != nullptr;
        std::printf("radius %d: %s, outline %s, inside %s, below %s\n", radius, finished ? "finished" : "NOT FINISHED",
                    outline ? "hit" : "MISSED", inside ? "HIT" : "missed", below ? "HIT" : "missed");
        right = right && finished && outline && !inside && !below;
    }
    return right;
}

void BM_ClickOnTheOutline(benchmark::State& state)
{
    const int radius = static_cast<int>(state.range(0));
    auto overlay = CentreToCentre(radius);
    const CPoint click = OnTheOutline(radius);
    for (auto _ : state)
        benchmark::DoNotOptimize(overlay->HitTest(CRect(click, click)));
}

void BM_ClickInsideTheCircle(benchmark::State& state)
{
    const int radius = static_cast<int>(state.range(0));
    auto overlay = CentreToCentre(radius);
    const CPoint click = InsideTheCircle(radius);
    for (auto _ : state)
        benchmark::DoNotOptimize(overlay->HitTest(CRect(click, click)));
}

BENCHMARK(BM_ClickOnTheOutline)
    ->ArgName("radius")
    ->Arg(kSmallRadius)
    ->Arg(kLargeRadius)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ClickInsideTheCircle)
    ->ArgName("radius")
    ->Arg(kSmallRadius)
    ->Arg(kLargeRadius)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (!HitTestingIsRight()) {
        std::fprintf(stderr, "a hit test gave a wrong answer; not timing it\n");
        return EXIT_FAILURE;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
