#include "report/MeasureListBinding.h"

#include "core/ProgramServices.h"
#include "core/ProfileSettings.h"
#include "report/CMeasureReportCtrl.h"
#include "report/ReportStatistics.h"

namespace {

// The decimals preference of the program; the default when there is no program (tests of the page alone).
int ReportDecimals()
{
    ProgramServices* program = TheProgram();
    return ClampReportDecimals(program ? program->Profile().preferences.decimalPointRange : 3);
}

}  // namespace

MeasureListBinding DefaultMeasureListBinding()
{
    MeasureListBinding binding;
    binding.create = [](QWidget* parent) -> CReportListCtrl* { return new CMeasureReportCtrl(parent); };
    binding.setContainer = [](CReportListCtrl* list, CQvGObjectContainer* container, CVistrelView* view) {
        if (auto* measurements = dynamic_cast<CMeasureReportCtrl*>(list))
            measurements->SetViewData(container, view);
    };
    binding.selectObjectRows = [](CReportListCtrl* list, const std::vector<CQvGObject*>& objects) {
        if (auto* measurements = dynamic_cast<CMeasureReportCtrl*>(list))
            measurements->SelectObjectRows(objects);
    };
    binding.applyChanges = [](CReportListCtrl* list, const GObjectChanges& changes) {
        if (auto* measurements = dynamic_cast<CMeasureReportCtrl*>(list))
            measurements->ApplyChanges(changes);
    };
    binding.deleteSelected = [](CReportListCtrl* list) {
        if (auto* measurements = dynamic_cast<CMeasureReportCtrl*>(list))
            measurements->DeleteSelectedResults();
        else
            list->FillData();
    };
    binding.computeStatistics = [](CReportListCtrl& source, CReportListCtrl& table) {
        ComputeStatistics(source, table, ReportDecimals());
    };
    return binding;
}
