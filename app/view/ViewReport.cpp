#include "view/ViewReport.h"

#include "frame/CCmdTarget.h"

namespace {

ViewReportHooks g_hooks;

}  // namespace

void InstallViewReportHooks(const ViewReportHooks& hooks)
{
    g_hooks = hooks;
}

IViewReport* ViewReportOf(const CMainFrame* frame)
{
    return g_hooks.reportOf ? g_hooks.reportOf(frame) : nullptr;
}

std::unique_ptr<CCmdTarget> MakeViewReportCommands(CVistrelView& view)
{
    return g_hooks.makeCommands ? g_hooks.makeCommands(view) : nullptr;
}
