#include "report/ReportStatistics.h"

#include "report/ReportStrings.h"

#include "gobjects/geometry/GeoStatistics.h"
#include "qvplglib/CReportListCtrl.h"
#include "reportlib/ReportExcel.h"
#include "strings/Format.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A whole number text (blanks around it allowed).
bool WholeNumber(std::string_view text, double& value)
{
    text = Trim(text);
    return !text.empty() && ReadReportNumber(text, value) == text.size();
}

struct Summary
{
    double min, max, mean, stddev, sum;
};

Summary Summarise(std::vector<double>& values)
{
    const int n = static_cast<int>(values.size());
    Summary s{};
    s.mean = GetMean(values.data(), n);
    s.stddev = GetStdDev(values.data(), n);
    s.sum = GetSum(values.data(), n);
    // One pass: the library's GetMin/GetMax sort the column quadratically, which a column of 10,000 results
    // cannot afford. The values are finite (the parsers refuse the rest), so the order is total.
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    s.min = *low;
    s.max = *high;
    return s;
}

}  // namespace

int ClampReportDecimals(int decimals)
{
    return std::clamp(decimals, 0, kMaxReportDecimals);
}

bool ParseReportPair(const std::string& cell, double& x, double& y)
{
    std::string_view text = Trim(cell);
    if (text.size() >= 2 &&
        ((text.front() == '[' && text.back() == ']') || (text.front() == '(' && text.back() == ')')))
        text = text.substr(1, text.size() - 2);
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos || text.find(',', comma + 1) != std::string_view::npos)
        return false;
    return WholeNumber(text.substr(0, comma), x) && WholeNumber(text.substr(comma + 1), y);
}

bool ParseReportValue(const std::string& cell, double& value)
{
    return ReadReportNumber(Trim(cell), value) > 0;
}

std::array<std::string, kStatisticsRows> ComputeColumnStatistics(const std::vector<std::string>& cells, int decimals)
{
    const int n = ClampReportDecimals(decimals);

    std::vector<double> xs;
    std::vector<double> ys;
    bool pairColumn = false;
    for (const std::string& cell : cells) {
        double x = 0.0;
        double y = 0.0;
        if (cell.find(',') != std::string::npos) {
            if (ParseReportPair(cell, x, y)) {
                xs.push_back(x);
                ys.push_back(y);
                pairColumn = true;
            }
        } else if (ParseReportValue(cell, x)) {
            xs.push_back(x);
        }
    }

    std::array<std::string, kStatisticsRows> out;
    if (xs.empty())
        return out;
    const Summary sx = Summarise(xs);
    const double xs6[6] = {sx.min, sx.max, sx.max - sx.min, sx.mean, sx.stddev, sx.sum};
    if (pairColumn) {
        const Summary sy = Summarise(ys);
        const double ys6[6] = {sy.min, sy.max, sy.max - sy.min, sy.mean, sy.stddev, sy.sum};
        for (int r = 0; r < 6; ++r)
            out[static_cast<size_t>(r)] = Format("[%.*f,%.*f]", n, xs6[r], n, ys6[r]);
    } else {
        for (int r = 0; r < 6; ++r)
            out[static_cast<size_t>(r)] = Format("%.*f", n, xs6[r]);
    }
    out[6] = std::to_string(xs.size());
    return out;
}

CReportListCtrl* CreateStatisticsTable(QWidget* parent)
{
    auto* table = new CReportListCtrl(parent);
    table->SetDlgCtrlID(kStatisticsTableId);
    table->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    return table;
}

void ComputeStatistics(const CReportListCtrl& source, CReportListCtrl& target, int decimals)
{
    static constexpr UINT kTitles[kStatisticsRows] = {
        reportstr::IDS_STAT_MINIMUM, reportstr::IDS_STAT_MAXIMUM, reportstr::IDS_STAT_RANGE, reportstr::IDS_STAT_MEAN,
        reportstr::IDS_STAT_STDDEV,  reportstr::IDS_STAT_SUM,     reportstr::IDS_STAT_COUNT};

    target.setUpdatesEnabled(false);
    target.DeleteAllItems();
    target.DeleteAllColumns();
    const std::vector<int> order = source.GetOrderArray();
    for (int index : order) {
        std::string title;
        int width = 0;
        source.GetColumn(index, &title, &width);
        target.InsertColumn(target.GetColumnCount(), title, LVCFMT_LEFT, width);
    }
    if (order.empty()) {
        target.setUpdatesEnabled(true);
        return;
    }
    target.setRowCount(kStatisticsRows);
    // The row titles stand under the source's name column, wherever the user moved it.
    const int titleColumn = source.IndexToOrder(0);
    for (int r = 0; r < kStatisticsRows; ++r)
        target.SetItemText(r, titleColumn, ReportString(kTitles[r]));

    const int rows = source.GetItemCount();
    std::vector<std::string> cells(static_cast<size_t>(rows));
    for (int p = 0; p < static_cast<int>(order.size()); ++p) {
        const int index = order[static_cast<size_t>(p)];
        if (index == 0)
            continue;
        for (int r = 0; r < rows; ++r)
            cells[static_cast<size_t>(r)] = source.GetItemText(r, index);
        const auto stats = ComputeColumnStatistics(cells, decimals);
        for (int r = 0; r < kStatisticsRows; ++r)
            if (!stats[static_cast<size_t>(r)].empty())
                target.SetItemText(r, p, stats[static_cast<size_t>(r)]);
    }
    target.setUpdatesEnabled(true);
}
