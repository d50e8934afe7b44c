// The header of the report lists in the result backup window: the flat header, whose columns are dragged to
// another place (the display order) or off the header to remove them, showing the remove cursor meanwhile.
#pragma once

class QTableView;

void InstallReportHeader(QTableView& list);
