// The report dock as the plug-in host sees it: a resident plug-in's report list joins the page of the document's
// image view as an external tab, with a statistics table of the same name as the host's list. UI thread.
#pragma once

#include "plugins/PlugInReportShelf.h"

#include <functional>

class CReportManager;

class ReportDockPages : public IPlugInReportPages
{
public:
    // `manager` answers the dock's manager when there is one (it comes with the main frame).
    explicit ReportDockPages(std::function<CReportManager*()> manager);

    QWidget* Page(CVistrelDoc* doc) override;
    CReportListCtrl* AddTabEntry(CVistrelDoc* doc, const QString& title, QWidget* plugInControl) override;
    void SelectLastTabs(CVistrelDoc* doc) override;
    void UpdatePage(CVistrelDoc* doc) override;
    void RemovePage(CVistrelDoc* doc) override;
    void RemoveTabEntry(CVistrelDoc* doc, QWidget* plugInControl) override;

private:
    std::function<CReportManager*()> m_manager;
};
