#include "report/CReportPage.h"

#include "report/CReportTabBar.h"

#include "qvplglib/CReportListCtrl.h"

#include <vector>

CReportPage::~CReportPage()
{
    // The page owns the plug-in lists it shows; the strips hand them back and the page deletes them itself.
    std::vector<QPointer<QWidget>> plugInLists;
    if (mainStrip)
        for (int i = 0; i < mainStrip->GetTabCount(); ++i)
            if (mainStrip->IsExternal(i))
                plugInLists.emplace_back(mainStrip->GetTabWindow(i));
    for (CReportTabBar* strip : {mainStrip, statisticsStrip}) {
        if (!strip)
            continue;
        strip->RemoveAll();
        delete strip;
    }
    for (const QPointer<QWidget>& list : plugInLists)
        delete list.data();
}

CReportListCtrl* CReportPage::List(int n) const
{
    return mainStrip ? dynamic_cast<CReportListCtrl*>(mainStrip->GetTabWindow(n)) : nullptr;
}

CReportListCtrl* CReportPage::Statistics(int n) const
{
    return statisticsStrip ? dynamic_cast<CReportListCtrl*>(statisticsStrip->GetTabWindow(n)) : nullptr;
}
