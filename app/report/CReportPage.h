// The report page of one image view: the main strip with the view's report lists and the statistics strip with one
// statistics table per list at the same tab position. Not a window itself; its strips are children of the dock.
// The page owns the plug-in lists it shows as external tabs: it deletes those still there when it goes, and the
// plug-in host's removals delete them at once (their code lives in modules that may be unloaded right after).
// UI thread.
#pragma once

#include <QPointer>

#include <set>

class CReportListCtrl;
class CReportTabBar;
class CVistrelView;

class CReportPage
{
public:
    CReportPage() = default;
    ~CReportPage();
    CReportPage(const CReportPage&) = delete;
    CReportPage& operator=(const CReportPage&) = delete;

    CReportTabBar* mainStrip = nullptr;        // owned (deleted with the page)
    CReportTabBar* statisticsStrip = nullptr;  // owned
    CVistrelView* ownerView = nullptr;         // not owned; the page goes before its view

    // Lists that report the overlay's measurements (the default list and the lists of the settings file).
    bool IsMeasurementList(const CReportListCtrl* list) const { return measurementLists.count(list) != 0; }
    std::set<const CReportListCtrl*> measurementLists;

    // The list at main tab n and its statistics table (null when missing or not a report list).
    CReportListCtrl* List(int n) const;
    CReportListCtrl* Statistics(int n) const;
};
