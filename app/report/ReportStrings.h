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
}  // namespace reportstr

// The text of a report string in the UI language.
std::string ReportString(UINT id);
