// The report module's Excel export: a workbook with one sheet per document, each holding the document's main
// report table from A1 and, after a blank row, the statistics title and table. Cells that are whole numbers in the
// C locale ("12.500", "-3") are written as numbers with a format of their own decimals, so the sheet shows each as
// the list does ("2" stays "2", "1.25" beside "4.750" stays "1.25"); a number no format would show as written
// ("1e3", "+2") and every other cell (titles, names, "[x, y]" pairs) are text. Written with libxlsxwriter in the 2007 (xlsx) format. UI thread or any one thread.
#pragma once

#include "reportlib/CSafeArray2D.h"

#include <string>
#include <string_view>
#include <vector>

struct ReportSheet
{
    std::string name;                 // the document title; made into a valid, unique sheet name
    CSafeArray2D main;                // row 0 the column titles
    std::string statisticsTitle;      // written above the statistics table; "" for none
    CSafeArray2D statistics;          // may be empty
};

// The Excel version the workbooks are written for: 12 (the 2007 workbook format).
VISTREL_EXPORT double GetExcelVersion();
// The sheet name Excel accepts: at most 31 characters, none of []:*?/\, not empty ("Sheet" then).
VISTREL_EXPORT std::string MakeSheetName(const std::string& title);
// Writes the workbook; 1 on success, 0 when there is no sheet or the file could not be written. The file (and the
// library's temporary files) are made in a private folder beside `path` and renamed to it once whole: an existing
// file stays as it was on failure, and whatever lies under that name (a link too) is replaced, never written through.
VISTREL_EXPORT int ExportReportWorkbook(const std::string& path, const std::vector<ReportSheet>& sheets);
// Whether the whole text is a finite number in the C locale (what the export writes as a number).
VISTREL_EXPORT bool ParseReportNumber(const std::string& text, double& value);
// The one reader of report numbers: the length of the finite C-locale number (one '+' allowed) at the start of
// text, 0 when there is none (value then unchanged). The other number readers of the report are built on it.
VISTREL_EXPORT size_t ReadReportNumber(std::string_view text, double& value);
