// The header of the report lists in the result backup window: columns can be dragged to another place (the
// display order) while the column order stays. A plain header for now, kept behind this one call so that the
// flat header control can take its place without touching the window.
#pragma once

class QTableView;

void InstallReportHeader(QTableView& list);
