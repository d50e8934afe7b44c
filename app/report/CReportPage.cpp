#include "report/CReportPage.h"

#include "report/CReportTabBar.h"

#include "qvplglib/CReportListCtrl.h"

CReportPage::~CReportPage()
{
    for (CReportTabBar* strip : {mainStrip, statisticsStrip}) {
        if (!strip)
            continue;
        strip->RemoveAll();
        delete strip;
    }
}

CReportListCtrl* CReportPage::List(int n) const
{
    return mainStrip ? dynamic_cast<CReportListCtrl*>(mainStrip->GetTabWindow(n)) : nullptr;
}

CReportListCtrl* CReportPage::Statistics(int n) const
{
    return statisticsStrip ? dynamic_cast<CReportListCtrl*>(statisticsStrip->GetTabWindow(n)) : nullptr;
}
