// The report pages as a view keeps them current, and the report commands a view routes. The report sits above the
// views (app/report), so its library installs both when the program loads and a view never includes it. Without
// them a view has no report page and no report commands. UI thread.
#pragma once

#include <memory>
#include <vector>

struct GObjectChanges;
class CCmdTarget;
class CMainFrame;
class CQvGObject;
class CQvGObjectContainer;
class CVistrelView;

// The report pages of one main frame, one page a view.
class IViewReport
{
public:
    virtual void AddView(CVistrelView* view) = 0;
    virtual void RemoveView(CVistrelView* view) = 0;
    virtual void ShowPageOfView(CVistrelView* view) = 0;
    virtual void SetViewData(CVistrelView* view, CQvGObjectContainer* container) = 0;
    virtual void RefreshView(CVistrelView* view) = 0;
    virtual void ApplyOverlayChanges(CVistrelView* view, const GObjectChanges& changes) = 0;
    virtual void SelectObjectRows(CVistrelView* view, const std::vector<CQvGObject*>& objects) = 0;
    virtual std::vector<CQvGObject*> SelectedObjects(CVistrelView* view) const = 0;
    virtual void ScrollToEnd(CVistrelView* view) = 0;

protected:
    ~IViewReport() = default;
};

struct ViewReportHooks
{
    // The report pages of `frame`; null when it has none.
    IViewReport* (*reportOf)(const CMainFrame* frame) = nullptr;
    // The report commands of `view`, asked after the view's own.
    std::unique_ptr<CCmdTarget> (*makeCommands)(CVistrelView& view) = nullptr;
};

void InstallViewReportHooks(const ViewReportHooks& hooks);
IViewReport* ViewReportOf(const CMainFrame* frame);
// Null without report commands.
std::unique_ptr<CCmdTarget> MakeViewReportCommands(CVistrelView& view);
