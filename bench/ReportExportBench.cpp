// The report workbook of 10,000 rows x 16 columns (a name and fifteen measured values, as the measurement list
// holds them) against libxlsxwriter writing the same cells directly with the same options. The export should cost
// at most 1.3 times the direct writing. Both outputs are checked to be workbooks of the expected size first.
#include "reportlib/ReportExcel.h"

#include <xlsxwriter.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kRows = 10000;
constexpr int kColumns = 16;

const CSafeArray2D& Table()
{
    static const CSafeArray2D table = [] {
        CSafeArray2D t(kRows + 1, kColumns);
        t.SetAt(0, 0, "Name");
        for (int c = 1; c < kColumns; ++c)
            t.SetAt(0, c, "Quantity " + std::to_string(c));
        char text[32];
        for (int r = 1; r <= kRows; ++r) {
            t.SetAt(r, 0, "L-" + std::to_string(r - 1));
            for (int c = 1; c < kColumns; ++c) {
                std::snprintf(text, sizeof text, "%.3f", r * 0.125 + c);
                t.SetAt(r, c, text);
            }
        }
        return t;
    }();
    return table;
}

std::string OutputPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

// What a caller holding the measured values writes itself: numbers straight from the values, no text parsing.
bool WriteDirect(const std::string& path)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(path.c_str(), &options);
    if (!workbook)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "Sheet");
    lxw_format* number = workbook_add_format(workbook);
    format_set_num_format(number, "0.000");
    worksheet_write_string(sheet, 0, 0, "Name", nullptr);
    for (int c = 1; c < kColumns; ++c)
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), ("Quantity " + std::to_string(c)).c_str(), nullptr);
    for (int r = 1; r <= kRows; ++r) {
        worksheet_write_string(sheet, static_cast<lxw_row_t>(r), 0, ("L-" + std::to_string(r - 1)).c_str(), nullptr);
        for (int c = 1; c < kColumns; ++c)
            worksheet_write_number(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c), r * 0.125 + c, number);
    }
    return workbook_close(workbook) == LXW_NO_ERROR;
}

bool Export(const std::string& path)
{
    ReportSheet sheet;
    sheet.name = "Sheet";
    sheet.main = Table();
    return ExportReportWorkbook(path, {sheet}) == 1;
}

void Check(benchmark::State& state, bool ok, const std::string& path)
{
    // Both workbooks hold the same 160,016 cells: their sizes differ by a few bytes at most.
    if (!ok || !std::filesystem::exists(path) || std::filesystem::file_size(path) < 500000)
        state.SkipWithError("the workbook was not written whole");
}

void BM_DirectLibxlsxwriter(benchmark::State& state)
{
    const std::string path = OutputPath("vistrel_bench_direct.xlsx");
    Check(state, WriteDirect(path), path);
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteDirect(path));
    std::filesystem::remove(path);
}

void BM_ReportExport(benchmark::State& state)
{
    const std::string path = OutputPath("vistrel_bench_report.xlsx");
    Table();
    Check(state, Export(path), path);
    for (auto _ : state) {
        // The table is copied into the sheet record as the command does with the page's array.
        benchmark::DoNotOptimize(Export(path));
    }
    std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_DirectLibxlsxwriter)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReportExport)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
