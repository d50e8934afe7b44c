// The statistics table beside a report list: seven rows (minimum, maximum, range, mean, standard deviation, sum,
// count) per column of any report list, the measurement list's or a plug-in's. Cells are single values or "[x,y]"
// pairs; a column holding one pair is a pair column, its X and Y statistics taken over the X and Y values it holds.
// The pure part (ComputeColumnStatistics) works on cell texts; the table part reads and writes the list controls.
// UI thread only for the controls.
#pragma once

#include <array>
#include <string>
#include <vector>

class CReportListCtrl;
class QWidget;

constexpr int kStatisticsRows = 7;
constexpr int kStatisticsTableId = 100;
constexpr int kMaxReportDecimals = 10;

// The decimals preference as the formats use it: 0 .. 10.
int ClampReportDecimals(int decimals);

// Reads a cell as a number pair: "[x, y]", "(x,y)" or "x,y" (C locale, blanks allowed). False for anything else.
bool ParseReportPair(const std::string& cell, double& x, double& y);
// Reads a cell as one number (C locale, a trailing unit allowed); false for an empty cell or one without a number.
bool ParseReportValue(const std::string& cell, double& value);

// The seven cells of one column ("%.Nf", a pair column "[%.Nf,%.Nf]", the count "%d"); all empty without values.
std::array<std::string, kStatisticsRows> ComputeColumnStatistics(const std::vector<std::string>& cells, int decimals);

// The statistics table: a report list with grid lines and full-row select, control id 100.
CReportListCtrl* CreateStatisticsTable(QWidget* parent);
// Rebuilds target from source: source's columns in display order, the seven titled rows, each column's statistics
// under its title. The source's first column (its index 0, the name column) gets none.
void ComputeStatistics(const CReportListCtrl& source, CReportListCtrl& target, int decimals);
