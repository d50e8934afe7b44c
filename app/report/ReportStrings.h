// The report's texts in the program's string table: the statistics row titles, the name column's title and the
// exports' messages.
#pragma once

#include "types/WinTypes.h"

#include <string>

namespace reportstr {
constexpr UINT IDS_STAT_MINIMUM = 460;
constexpr UINT IDS_STAT_MAXIMUM = 461;
constexpr UINT IDS_STAT_RANGE = 462;
constexpr UINT IDS_STAT_MEAN = 463;
constexpr UINT IDS_STAT_STDDEV = 464;
constexpr UINT IDS_STAT_SUM = 465;
constexpr UINT IDS_STAT_COUNT = 466;
constexpr UINT IDS_NAME_COLUMN = 512;
constexpr UINT IDS_WORKBOOK_NOT_WRITTEN = 4203;  // %s: the folder the workbook was to go into
// The captions of the report's two tables in exported text and workbooks.
constexpr UINT IDS_STATISTICS_TABLE = 467;
constexpr UINT IDS_MAIN_TABLE = 468;
constexpr UINT IDS_BACKUP_TITLE = 8320;
// The save dialog of the report as text.
constexpr UINT IDS_TEXT_SAVE_TITLE = 8321;
constexpr UINT IDS_TEXT_FILE_FILTER = 8322;
}  // namespace reportstr

// The text of a report string in the UI language.
std::string ReportString(UINT id);
