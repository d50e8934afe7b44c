// The views reach their report pages and report commands through the hooks installed here, as the program loads.
#include "report/CReportDockWnd.h"
#include "report/CReportManager.h"
#include "report/ReportExportCommands.h"
#include "view/ViewReport.h"

namespace {

const bool kInstalled = [] {
    ViewReportHooks hooks;
    hooks.reportOf = [](const CMainFrame* frame) -> IViewReport* { return ReportManagerOf(frame); };
    hooks.makeCommands = [](CVistrelView& view) -> std::unique_ptr<CCmdTarget> {
        return std::make_unique<CReportExportCommands>(view);
    };
    InstallViewReportHooks(hooks);
    return true;
}();

}  // namespace
