#include "caliper/CaliperReport.h"

#include "caliper/CaliperStrings.h"
#include "caliper/ProfileAnalyzer.h"

#include <algorithm>
#include <cstdio>

using namespace caliper;

void CReportTable::Clear(int decimals)
{
    // The record's ranges keep decimals in 0..10; a caller's value is held there too, so the format stays valid.
    m_format = "%." + std::to_string(std::clamp(decimals, 0, CCaliperSettings::kMaxDecimals)) + "f";
    m_titles.clear();
    m_types.clear();
    m_rows.clear();
}

void CReportTable::AddColumn(std::string title, ColumnType type)
{
    m_titles.push_back(std::move(title));
    m_types.push_back(type);
}

void CReportTable::AddRow(std::vector<Cell> cells)
{
    cells.resize(m_titles.size(), Cell(0));
    m_rows.push_back(std::move(cells));
}

void CReportTable::SetCell(int row, int column, Cell value)
{
    m_rows.at(static_cast<size_t>(row)).at(static_cast<size_t>(column)) = std::move(value);
}

std::string CReportTable::CellText(int row, int column) const
{
    const Cell& cell = m_rows.at(static_cast<size_t>(row)).at(static_cast<size_t>(column));
    char text[64];
    if (const int* whole = std::get_if<int>(&cell)) {
        std::snprintf(text, sizeof text, "%d", *whole);
    } else if (const double* real = std::get_if<double>(&cell)) {
        std::snprintf(text, sizeof text, m_format.c_str(), *real);
    } else if (const auto* point = std::get_if<std::pair<int, int>>(&cell)) {
        std::snprintf(text, sizeof text, "[%d,%d]", point->first, point->second);
    } else {
        return std::get<std::string>(cell);
    }
    return text;
}

void CReportBuilder::Build(const CAnalyzerSet& analyzers, double unitsPerPixel)
{
    const int decimals = m_settings->Decimals();
    m_basic.Clear(decimals);
    m_basic.AddColumn(Text(kStrName), CReportTable::kText);
    m_basic.AddColumn(Text(kStrLength), CReportTable::kWhole);
    m_basic.AddColumn(Text(kStrTotal), CReportTable::kWhole);
    for (int kind = 0; kind < kEdgeKinds; ++kind)
        m_basic.AddColumn(Text(kStrKindNames + static_cast<uint32_t>(kind)), CReportTable::kWhole);
    for (int i = 0; i < analyzers.Count(); ++i) {
        const CProfileAnalyzer& analyzer = *analyzers.At(i);
        std::vector<CReportTable::Cell> row = {analyzer.Name(), analyzer.SampleCount(), analyzer.TotalEdges()};
        for (int kind = 0; kind < kEdgeKinds; ++kind)
            row.emplace_back(analyzer.EdgeCount(kind));
        m_basic.AddRow(std::move(row));
    }

    const CProfileAnalyzer* current = analyzers.Current();
    if (!current)
        return;
    CEdgeDistances distances;
    distances.Build(*current);
    const int columns = distances.RowCount(*m_settings);
    m_detailed.Clear(decimals);
    m_detailed.AddColumn(Text(kStrDetector), CReportTable::kText);
    for (int i = 0; i < columns; ++i)
        m_detailed.AddColumn(Text(kStrLine) + " " + std::to_string(i), CReportTable::kReal);
    for (int kind = 0; kind < kEdgeKinds; ++kind) {
        if (!m_settings->Detector(kind))
            continue;
        std::vector<CReportTable::Cell> row = {Text(kStrKindNames + static_cast<uint32_t>(kind))};
        for (int i = 0; i < columns; ++i) {
            const auto& d = distances.Distances(kind);
            row.emplace_back(i < static_cast<int>(d.size()) ? d[static_cast<size_t>(i)] * unitsPerPixel : 0.0);
        }
        m_detailed.AddRow(std::move(row));
    }
}

const CReportTable& CReportBuilder::Active() const
{
    return m_settings->ResultMode() == 1 ? m_detailed : m_basic;
}

CCaliperReportCtrl::CCaliperReportCtrl(QWidget* parent) : CReportListCtrl(parent)
{
    setSortingEnabled(false);
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int) { m_lastClickedRow = row; });
}

void CCaliperReportCtrl::Fill(const CReportTable& table, int resultMode)
{
    SetWindowText(resultMode == 1 ? "CALIPER_DETAIL" : "CALIPER_MAIN");
    DeleteAllItems();
    DeleteAllColumns();
    std::vector<tagColumnInfo> columns;
    for (int column = 0; column < table.ColumnCount(); ++column)
        columns.push_back(tagColumnInfo{table.ColumnTitle(column), 100, 1, -1});
    ApplyHeaderInfo(columns);
    for (int row = 0; row < table.RowCount(); ++row) {
        InsertItem(row, table.CellText(row, 0));
        for (int column = 1; column < table.ColumnCount(); ++column)
            SetItemText(row, column, table.CellText(row, column));
    }
}
