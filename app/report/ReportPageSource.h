// What the report exports need of the report pages, as one replaceable set of functions. The report manager
// installs its own at start-up (SetReportPageSource); until then, and for a view without a page, every table is
// empty, nothing is selected and statistics mode is off. Tests install fakes. UI thread.
#pragma once

#include "reportlib/CSafeArray2D.h"

#include <functional>
#include <string>

class CVistrelView;

struct ReportPageSource
{
    // Which table of the view's page an export asks for.
    enum class Table
    {
        Main,        // the main strip's current list (the results)
        Statistics,  // the statistics table of that list
    };

    // The table as an array: row 0 the column titles, then the rows, both in the order the header shows them. False when the view has no
    // page or the page no such table (the array is then left empty).
    std::function<bool(CVistrelView& view, Table table, CSafeArray2D& out)> pageAsArray;
    // The number of rows of the page's main list (no table is built), 0 without a page.
    std::function<int(CVistrelView& view)> mainRowCount;
    // Brings the page up to date before an export: the plug-in results copied in again, the statistics recomputed.
    std::function<void(CVistrelView& view)> updatePage;
    // The number of selected rows of the page's current list.
    std::function<int(CVistrelView& view)> selectedCount;
    // Removes the selected results of the page (their objects leave the overlay).
    std::function<void(CVistrelView& view)> removeSelected;
    // The program-wide statistics mode of the report.
    std::function<bool()> statisticsMode;
    std::function<void(bool on)> setStatisticsMode;
    // The window text of the page's main list ("MANUAL_MEASUREMENT" for the measurement list).
    std::function<std::string(CVistrelView& view)> mainListName;
};

// An empty source (any member may be empty) restores the "no report" answers.
void SetReportPageSource(ReportPageSource source);

// The calls the exports make, each answering "nothing" when its function is missing.
CSafeArray2D ReportPageTable(CVistrelView& view, ReportPageSource::Table table);
void UpdateReportPage(CVistrelView& view);
int ReportSelectedCount(CVistrelView& view);
int ReportMainRowCount(CVistrelView& view);
void RemoveSelectedResults(CVistrelView& view);
bool ReportStatisticsMode();
void SetReportStatisticsMode(bool on);
std::string ReportMainListName(CVistrelView& view);
