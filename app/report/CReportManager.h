// The report pages of the report dock, one per image view; only the page of the active view shows. A program-wide
// statistics mode shows the pages' statistics strips in place of their lists. The views, the documents and the
// plug-in host drive the pages through here; the exports read a page as a table of texts. Every call that takes a
// view does nothing for a view without a page. UI thread.
#pragma once

#include "report/MeasureListBinding.h"
#include "view/ViewReport.h"

#include <memory>
#include <string>
#include <vector>

struct GObjectChanges;
class CQvGObject;
class CQvGObjectContainer;
class CReportListCtrl;
class CReportPage;
class CSafeArray2D;
class CVistrelView;
class QWidget;

class CReportManager : public IViewReport
{
public:
    static constexpr const char* kDefaultPageName = "All";

    CReportManager();
    ~CReportManager();
    CReportManager(const CReportManager&) = delete;
    CReportManager& operator=(const CReportManager&) = delete;

    // Makes this manager's pages what the exports, the result backup window and the report commands read and
    // change (the program has one report dock; the last one made wins). Withdrawn when the manager goes.
    void InstallAsPageSource();

    // The window the pages' strips are made in (the dock); pages made before it is set have no strips.
    void SetDockWindow(QWidget* dock) { m_dock = dock; }
    QWidget* DockWindow() const { return m_dock; }
    // The report settings file read for every new page; empty: the default page.
    void SetSettingsPath(const std::string& path) { m_settingsPath = path; }
    const std::string& GetSettingsPath() const { return m_settingsPath; }
    // How measurement lists and statistics are made (the measurement list class plugs in here).
    void SetMeasureListBinding(MeasureListBinding binding) { m_binding = std::move(binding); }
    const MeasureListBinding& Binding() const { return m_binding; }

    void AddView(CVistrelView* view) override;
    void RemoveView(CVistrelView* view) override;
    CReportPage* FindPage(CVistrelView* view) const;
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    // The page on screen, or null (it is remembered by identity, so removing other pages keeps it).
    CReportPage* ShownPage() const { return m_shown; }
    void ShowPageOfView(CVistrelView* view) override;
    void SetViewData(CVistrelView* view, CQvGObjectContainer* container) override;

    // Switches every page; `view`'s page shows the strip of the new mode. Returns the page count.
    int SetStatisticsMode(CVistrelView* view, bool on);
    bool GetStatisticsMode() const { return m_statisticsMode; }

    // Refills every list of the page; in statistics mode their statistics too.
    void RefreshView(CVistrelView* view) override;
    // The page's measurement lists take what the view's overlay told them changed (only their changed rows are
    // redone); in statistics mode their statistics follow.
    void ApplyOverlayChanges(CVistrelView* view, const GObjectChanges& changes) override;
    // The statistics of every list, whatever the mode.
    void UpdatePageOfView(CVistrelView* view);
    void DeleteSelectedResults(CVistrelView* view);
    int GetSelectedCount(CVistrelView* view) const;
    void SelectObjectRow(CVistrelView* view, CQvGObject* object);
    // The rows of these objects, and no others, selected in one selection change per list (none: no row).
    void SelectObjectRows(CVistrelView* view, const std::vector<CQvGObject*>& objects) override;
    // The objects of the selected rows of the page's measurement lists, as the rows name them (an object deleted
    // since the last refill may be among them: compare, never follow).
    std::vector<CQvGObject*> SelectedObjects(CVistrelView* view) const override;
    void ScrollToEnd(CVistrelView* view) override;

    // One list of the page as a table: row 0 the titles (at most 256 characters), then the cells, both in display
    // order. `onScreen`: the list shown (the current list, or in statistics mode its statistics table); otherwise
    // the other of the two. False, with `array` untouched, when the list has no rows.
    bool GetPageAsSafeArray(CVistrelView* view, CSafeArray2D& array, bool onScreen) const;

    // A plug-in's list joins the page as an external tab (owned by the page from then on) with a statistics
    // table of the same name; RemoveExternalList takes both out again, hands the list back without a parent for
    // the caller to delete, and returns the tab's index, or -1.
    void AddExternalList(CVistrelView* view, CReportListCtrl* list, const std::string& name);
    int RemoveExternalList(CVistrelView* view, CReportListCtrl* list);

    // Sizes every page's strips to the dock's client area.
    void LayOut();

private:
    std::unique_ptr<CReportPage> BuildPage();
    void AddListTab(CReportPage& page, CReportListCtrl* list, const std::string& name, bool external);
    void ComputeStatistics(CReportPage& page);
    void ShowStrips(CReportPage& page, bool show);

    std::vector<std::unique_ptr<CReportPage>> m_pages;
    QWidget* m_dock = nullptr;
    bool m_statisticsMode = false;
    CReportPage* m_shown = nullptr;
    std::string m_settingsPath;
    MeasureListBinding m_binding;
};
