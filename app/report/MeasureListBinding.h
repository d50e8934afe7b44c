// What the report pages ask of a measurement list (the list of one view's measured objects) and of the statistics
// of a list. The default binding is the measurement list class (CMeasureReportCtrl) with the seven-row statistics
// table; tests put in their own to watch what the pages ask. UI thread.
#pragma once

#include <functional>
#include <vector>

struct GObjectChanges;
class CQvGObject;
class CQvGObjectContainer;
class CReportListCtrl;
class CVistrelView;
class QWidget;

struct MeasureListBinding
{
    // A new measurement list in `parent`, without columns (the page builds them or reads them from a file).
    std::function<CReportListCtrl*(QWidget* parent)> create;
    // The list reports this container's objects (null: nothing); the view (may be null) serves clicks in the list.
    std::function<void(CReportListCtrl* list, CQvGObjectContainer* container, CVistrelView* view)> setContainer;
    // Selects the rows of the objects (and no others) at once and shows the last; the overlay is left as it is.
    std::function<void(CReportListCtrl* list, const std::vector<CQvGObject*>& objects)> selectObjectRows;
    // The rows follow what the list's overlay told it changed.
    std::function<void(CReportListCtrl* list, const GObjectChanges& changes)> applyChanges;
    // Deletes the objects of the selected rows from the container and refills.
    std::function<void(CReportListCtrl* list)> deleteSelected;
    // Fills `table` with the statistics of every column of `source`.
    std::function<void(CReportListCtrl& source, CReportListCtrl& table)> computeStatistics;
};

// The binding the report manager starts with.
MeasureListBinding DefaultMeasureListBinding();
