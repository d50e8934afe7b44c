// The report as plain text, as the clipboard, the text file and the result backup window write it: a heading line
// "#################### <title> ####################", a blank line, then each table row as cells left-aligned in
// 20 characters and ended by a tab. Cells are padded by characters, not bytes, so Hangul and other non-ASCII
// texts line up; a longer cell is written whole. Text is UTF-8.
#pragma once

#include "reportlib/CSafeArray2D.h"

#include <string>

// The cell left-aligned in `width` characters (code points); never cut.
VISTREL_EXPORT std::string PadReportCell(const std::string& text, int width = 20);
// "#################### <title> ####################\n\n".
VISTREL_EXPORT std::string ReportHeading(const std::string& title);
// Every row of the table: each cell padded and followed by a tab, then a newline.
VISTREL_EXPORT std::string FormatReportRows(const CSafeArray2D& table);
// The view's report: the heading, " <mainTitle> : \n\n", the main table's rows, "\n\n <statisticsTitle> : \n\n",
// the statistics table's rows (the statistics heading is written when the table is empty too).
VISTREL_EXPORT std::string FormatViewReportText(const std::string& documentTitle, const std::string& mainTitle,
                                                const CSafeArray2D& main, const std::string& statisticsTitle,
                                                const CSafeArray2D& statistics);
// One list: the heading with the window's title, then its rows (row 0 the column titles).
VISTREL_EXPORT std::string FormatListReportText(const std::string& windowTitle, const CSafeArray2D& list);
// Writes the bytes to `path` through a temporary file and a rename; false (the old file untouched) on failure.
VISTREL_EXPORT bool WriteReportTextFile(const std::string& path, const std::string& text);
