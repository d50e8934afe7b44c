// What the report pages ask of a measurement list (the list of one view's measured objects) and of the statistics
// of a list. This is the one place the measurement list class is plugged in; until then a plain report list with
// object rows stands in. UI thread.
#pragma once

#include <functional>

class CQvGObject;
class CQvGObjectContainer;
class CReportListCtrl;
class QWidget;

struct MeasureListBinding
{
    // A new measurement list in `parent`, without columns (the page builds them or reads them from a file).
    std::function<CReportListCtrl*(QWidget* parent)> create;
    // The list reports this container's objects (null: nothing).
    std::function<void(CReportListCtrl* list, CQvGObjectContainer* container)> setContainer;
    // Selects the row of `object` and shows it.
    std::function<void(CReportListCtrl* list, CQvGObject* object)> selectObjectRow;
    // Deletes the objects of the selected rows from the container and refills.
    std::function<void(CReportListCtrl* list)> deleteSelected;
    // Fills `table` with the statistics of every column of `source`.
    std::function<void(CReportListCtrl& source, CReportListCtrl& table)> computeStatistics;
};

// The binding the report manager starts with.
MeasureListBinding DefaultMeasureListBinding();
