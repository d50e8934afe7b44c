#include "report/ReportDockPages.h"

#include "report/CReportManager.h"
#include "report/CReportPage.h"
#include "report/CReportTabBar.h"

#include "document/CVistrelDoc.h"
#include "qvplglib/CReportListCtrl.h"

namespace {

struct PageOf
{
    CReportManager* manager = nullptr;
    CVistrelView* view = nullptr;
    CReportPage* page = nullptr;
};

PageOf Find(const std::function<CReportManager*()>& managerOf, CVistrelDoc* doc)
{
    PageOf found;
    found.manager = managerOf ? managerOf() : nullptr;
    found.view = doc ? doc->GetImageView() : nullptr;
    found.page = found.manager ? found.manager->FindPage(found.view) : nullptr;
    return found;
}

}  // namespace

ReportDockPages::ReportDockPages(std::function<CReportManager*()> manager) : m_manager(std::move(manager)) {}

QWidget* ReportDockPages::Page(CVistrelDoc* doc)
{
    const PageOf found = Find(m_manager, doc);
    return found.page ? found.page->mainStrip : nullptr;
}

CReportListCtrl* ReportDockPages::AddTabEntry(CVistrelDoc* doc, const QString& title, QWidget* plugInControl)
{
    const PageOf found = Find(m_manager, doc);
    auto* list = dynamic_cast<CReportListCtrl*>(plugInControl);
    if (!list)
        return nullptr;
    if (!found.page) {
        // No page to show it in: the plug-in view keeps only a guarded pointer to its control.
        delete list;
        return nullptr;
    }
    found.manager->AddExternalList(found.view, list, title.toStdString());
    return found.page->Statistics(found.page->statisticsStrip->GetTabCount() - 1);
}

void ReportDockPages::SelectLastTabs(CVistrelDoc* doc)
{
    const PageOf found = Find(m_manager, doc);
    if (!found.page)
        return;
    found.page->mainStrip->SetCurrentTab(found.page->mainStrip->GetTabCount() - 1);
    found.page->statisticsStrip->SetCurrentTab(found.page->statisticsStrip->GetTabCount() - 1);
}

void ReportDockPages::UpdatePage(CVistrelDoc* doc)
{
    const PageOf found = Find(m_manager, doc);
    if (found.page)
        found.manager->UpdatePageOfView(found.view);
}

void ReportDockPages::RemovePage(CVistrelDoc* doc)
{
    const PageOf found = Find(m_manager, doc);
    if (!found.page)
        return;
    for (int i = found.page->mainStrip->GetTabCount() - 1; i >= 0; --i) {
        if (!found.page->mainStrip->IsExternal(i))
            continue;
        QWidget* control = found.page->mainStrip->GetTabWindow(i);
        found.manager->RemoveExternalList(found.view, dynamic_cast<CReportListCtrl*>(control));
        // As with a single tab: the controls go now, while their modules are still loaded.
        delete control;
    }
}

void ReportDockPages::RemoveTabEntry(CVistrelDoc* doc, QWidget* plugInControl)
{
    const PageOf found = Find(m_manager, doc);
    if (found.page)
        found.manager->RemoveExternalList(found.view, dynamic_cast<CReportListCtrl*>(plugInControl));
    // The control is the plug-in's: it goes now, while the module that made it is still loaded.
    delete plugInControl;
}
