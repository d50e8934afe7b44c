// The caliper's result tables: the basic table (one row per measured tool with its edge counts) and the detailed
// table (distances between consecutive edges of the current tool, per detector switched on, in calibrated units),
// and the report list that shows one of them in the document's report page. UI thread only.
#pragma once

#include "caliper/CaliperSettings.h"
#include "qvplglib/CReportListCtrl.h"

#include <string>
#include <utility>
#include <variant>
#include <vector>

class CAnalyzerSet;

// A table of typed cells; text of a cell: whole "%d", real the table's number format, point "[%d,%d]", text as is.
class CReportTable
{
public:
    enum ColumnType { kWhole = 2, kReal = 3, kPoint = 4, kText = 5 };
    using Cell = std::variant<int, double, std::pair<int, int>, std::string>;

    // Empties the table; reals are written with `decimals` places from now on.
    void Clear(int decimals);
    void AddColumn(std::string title, ColumnType type);
    void AddRow(std::vector<Cell> cells);
    void SetCell(int row, int column, Cell value);
    std::string CellText(int row, int column) const;
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    int ColumnCount() const { return static_cast<int>(m_titles.size()); }
    const std::string& ColumnTitle(int column) const { return m_titles.at(static_cast<size_t>(column)); }
    const std::string& NumberFormat() const { return m_format; }

private:
    std::string m_format = "%.4f";
    std::vector<std::string> m_titles;
    std::vector<ColumnType> m_types;
    std::vector<std::vector<Cell>> m_rows;
};

class CReportBuilder
{
public:
    explicit CReportBuilder(const CCaliperSettings& settings) : m_settings(&settings) {}

    // The basic table from every analyser, the detailed one from the current analyser (kept as it was when there
    // is none), distances times `unitsPerPixel`; the active table follows the result mode.
    void Build(const CAnalyzerSet& analyzers, double unitsPerPixel);
    // The table the result mode picks.
    const CReportTable& Active() const;
    const CReportTable& Basic() const { return m_basic; }
    const CReportTable& Detailed() const { return m_detailed; }

private:
    const CCaliperSettings* m_settings;
    CReportTable m_basic;
    CReportTable m_detailed;
};

// The caliper's report list: shows one table, captioned "CALIPER_MAIN" or "CALIPER_DETAIL" by the result mode.
class CCaliperReportCtrl : public CReportListCtrl
{
public:
    explicit CCaliperReportCtrl(QWidget* parent = nullptr);
    void Fill(const CReportTable& table, int resultMode);
    // Whatever the user clicks, the rows keep the builder's order.
    void SortColumn(int, int) override {}
    int LastClickedRow() const { return m_lastClickedRow; }

private:
    int m_lastClickedRow = -1;
};
