// The measurement report of an image with many measured objects (lines, circles, points and perpendiculars with
// three feet, in turn):
// - refilling the report list (FillData: the rows built from the overlay and put into the list), against building
//   the same cell strings into a plain vector (BuildMeasureRows alone), for 1,000 and 10,000 objects. Target: the
//   refill of 10,000 under 100 ms, growing linearly.
// - the statistics table of the refilled list (ComputeStatistics).
// Before timing, the list must hold exactly the rows the plain build gives, and the statistics must count every value.
#include "report/CMeasureReportCtrl.h"
#include "report/ReportStatistics.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

namespace {

struct Clicks
{
    OBJ_SHAPE shape;
    std::vector<CPoint> points;
};

std::unique_ptr<CQvGObjectContainer> MakeOverlay(int count)
{
    auto overlay = std::make_unique<CQvGObjectContainer>();
    overlay->SetDecimalPointRange(3);
    overlay->SetAutoRepeatCreatingObject(0);
    const std::vector<Clicks> shapes = {
        {SHAPE_LINE, {{0, 0}, {30, 40}}},
        {SHAPE_CIRCLE, {{0, 0}, {40, 0}}},
        {SHAPE_POINT, {{5, 5}}},
        {SHAPE_PERPENDICULAR, {{0, 10}, {60, 10}, {10, 0}, {30, 30}, {50, 5}}},
    };
    for (int i = 0; i < count; ++i) {
        const Clicks& s = shapes[static_cast<size_t>(i) % shapes.size()];
        const CSize cell((i % 40) * 70, (i / 40 % 40) * 50);
        overlay->AddObject(s.shape);
        CQvGObject* obj = overlay->GetCreatingObject();
        for (CPoint p : s.points) {
            overlay->MouseMove(nullptr, 0, p + cell);
            overlay->LButtonDown(1, p + cell);
            overlay->LButtonUp(0, p + cell);
        }
        if (obj && obj->GetState() != GS_FINISHED) {
            overlay->MouseMove(nullptr, 0, CPoint(65, 45) + cell);
            overlay->RButtonDown(0, CPoint(65, 45) + cell);
        }
    }
    overlay->UnSelectAll();
    return overlay;
}

CQvGObjectContainer& Overlay(int count)
{
    static std::map<int, std::unique_ptr<CQvGObjectContainer>> cache;
    auto& slot = cache[count];
    if (!slot)
        slot = MakeOverlay(count);
    return *slot;
}

CMeasureReportCtrl& List()
{
    static CMeasureReportCtrl* list = [] {
        auto* l = new CMeasureReportCtrl;
        l->DefaultHeaderSetting();
        l->resize(800, 400);
        l->show();
        return l;
    }();
    return *list;
}

bool RefillIsRight(int count)
{
    CQvGObjectContainer& overlay = Overlay(count);
    CMeasureReportCtrl& list = List();
    const std::vector<MeasureReportRow> rows = BuildMeasureRows(overlay, list.GetHeaderInfo());
    list.SetViewData(&overlay);
    if (list.GetItemCount() != static_cast<int>(rows.size()) || rows.size() != static_cast<size_t>(count / 4 * 6)) {
        std::fprintf(stderr, "%d objects: %zu rows built, %d listed\n", count, rows.size(), list.GetItemCount());
        return false;
    }
    for (int r = 0; r < list.GetItemCount(); ++r) {
        const MeasureReportRow& row = rows[static_cast<size_t>(r)];
        if (list.GetItemData(r) != reinterpret_cast<quintptr>(row.object))
            return false;
        for (int c = 0; c < list.GetColumnCount(); ++c)
            if (list.GetItemText(r, c) != row.cells[static_cast<size_t>(c)])
                return false;
    }
    CReportListCtrl table;
    ComputeStatistics(list, table, 3);
    // Length: every value of the column counted.
    const auto lengths =
        std::count_if(rows.begin(), rows.end(), [](const MeasureReportRow& r) { return !r.cells[1].empty(); });
    if (lengths < count || table.GetItemText(6, 1) != std::to_string(lengths)) {
        std::fprintf(stderr, "%d objects: %s lengths counted\n", count, table.GetItemText(6, 1).c_str());
        return false;
    }
    return true;
}

void BM_PlainRows(benchmark::State& state)
{
    CQvGObjectContainer& overlay = Overlay(static_cast<int>(state.range(0)));
    const std::vector<tagColumnInfo> columns = MeasureReportColumns();
    for (auto _ : state) {
        std::vector<MeasureReportRow> rows = BuildMeasureRows(overlay, columns);
        benchmark::DoNotOptimize(rows.data());
    }
}

void BM_Refill(benchmark::State& state)
{
    CQvGObjectContainer& overlay = Overlay(static_cast<int>(state.range(0)));
    CMeasureReportCtrl& list = List();
    list.SetViewData(&overlay);
    for (auto _ : state) {
        list.FillData();
        benchmark::DoNotOptimize(list.GetItemCount());
    }
}

void BM_Statistics(benchmark::State& state)
{
    CQvGObjectContainer& overlay = Overlay(static_cast<int>(state.range(0)));
    CMeasureReportCtrl& list = List();
    list.SetViewData(&overlay);
    CReportListCtrl table;
    for (auto _ : state) {
        ComputeStatistics(list, table, 3);
        benchmark::DoNotOptimize(table.GetItemCount());
    }
}

// Every object selected in the overlay shows as selected rows (the view's path after a select-all), and every row
// selected in the list selects its object. Arguments are object counts giving about 1,000 and 10,000 rows.
void BM_SelectAllFromOverlay(benchmark::State& state)
{
    CQvGObjectContainer& overlay = Overlay(static_cast<int>(state.range(0)));
    CMeasureReportCtrl& list = List();
    list.SetViewData(&overlay);
    const GObjectList& objects = overlay.GetObjects();
    const std::vector<CQvGObject*> all(objects.begin(), objects.end());
    for (auto _ : state) {
        list.clearSelection();
        list.SelectObjectRows(all);
        benchmark::DoNotOptimize(list.GetSelectedCount());
    }
    state.counters["rows"] = list.GetItemCount();
}

// The list hands the overlay all its rows' objects in one call (10,000 rows: about 240 ms when it selected them one
// at a time, each call searching the overlay's lists). Every object must end up selected, in row order.
void BM_SelectAllFromList(benchmark::State& state)
{
    CQvGObjectContainer& overlay = Overlay(static_cast<int>(state.range(0)));
    CMeasureReportCtrl& list = List();
    list.SetViewData(&overlay);
    for (auto _ : state) {
        list.clearSelection();
        list.selectAll();
        benchmark::DoNotOptimize(overlay.GetSelectedObjectCount());
    }
    state.counters["rows"] = list.GetItemCount();
    const GObjectList& objects = overlay.GetObjects();
    if (overlay.GetSelectObjList() != objects)
        state.SkipWithError("the overlay's selection is not every object in row order");
    overlay.UnSelectAll();
}

// Baseline: the same objects selected in the overlay one call at a time.
void BM_SelectOneAtATime(benchmark::State& state)
{
    CQvGObjectContainer& overlay = Overlay(static_cast<int>(state.range(0)));
    const GObjectList& objects = overlay.GetObjects();
    const std::vector<CQvGObject*> all(objects.begin(), objects.end());
    for (auto _ : state) {
        overlay.UnSelectAll();
        for (CQvGObject* obj : all)
            overlay.SelectObjects(obj, 1);
        benchmark::DoNotOptimize(overlay.GetSelectedObjectCount());
    }
    overlay.UnSelectAll();
}

BENCHMARK(BM_SelectAllFromOverlay)->Arg(668)->Arg(6668)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAllFromList)->Arg(668)->Arg(6668)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectOneAtATime)->Arg(668)->Arg(6668)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRows)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refill)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Statistics)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (!RefillIsRight(1000) || !RefillIsRight(10000)) {
        std::fprintf(stderr, "the report list gave wrong rows; not timing it\n");
        return EXIT_FAILURE;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
