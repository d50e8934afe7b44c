#include "report/CReportManager.h"

#include "report/CReportPage.h"
#include "report/CReportTabBar.h"
#include "report/ReportPageSource.h"
#include "report/ReportSettingsFile.h"
#include "report/ReportStatistics.h"

#include "gobjects/GObjectChanges.h"
#include "qvplglib/CReportListCtrl.h"
#include "reportlib/CSafeArray2D.h"

#include <QApplication>
#include <QHeaderView>
#include <QPalette>

#include <algorithm>
#include <unordered_set>

namespace {

constexpr int kMaxTitleLength = 256;

// The manager whose pages the exports read, or null.
CReportManager* g_pageSource = nullptr;

QColor NormalTabColour()
{
    return QApplication::palette().color(QPalette::Button);
}

QColor PlugInTabColour()
{
    // The gradient colour of an active caption, which the toolkit does not name: a light caption blue.
    return QColor(185, 209, 234);
}

}  // namespace

CReportManager::CReportManager() : m_binding(DefaultMeasureListBinding()) {}

CReportManager::~CReportManager()
{
    if (g_pageSource == this) {
        SetReportPageSource({});
        g_pageSource = nullptr;
    }
    m_shown = nullptr;
    m_pages.clear();
}

void CReportManager::InstallAsPageSource()
{
    using Table = ReportPageSource::Table;
    ReportPageSource source;
    // The exports name the table they want; the page's own flag means "the one on screen", which flips with the
    // statistics mode.
    source.pageAsArray = [this](CVistrelView& view, Table table, CSafeArray2D& out) {
        const bool statistics = table == Table::Statistics;
        return GetPageAsSafeArray(&view, out, statistics == m_statisticsMode);
    };
    source.updatePage = [this](CVistrelView& view) { UpdatePageOfView(&view); };
    source.selectedCount = [this](CVistrelView& view) { return GetSelectedCount(&view); };
    source.mainRowCount = [this](CVistrelView& view) {
        const CReportPage* page = FindPage(&view);
        const CReportListCtrl* list = page ? page->List(page->mainStrip->GetCurrentTab()) : nullptr;
        return list && list->columnCount() > 0 ? list->rowCount() : 0;
    };
    source.removeSelected = [this](CVistrelView& view) { DeleteSelectedResults(&view); };
    source.statisticsMode = [this] { return m_statisticsMode; };
    source.setStatisticsMode = [this](bool on) { SetStatisticsMode(m_shown ? m_shown->ownerView : nullptr, on); };
    source.mainListName = [this](CVistrelView& view) {
        const CReportPage* page = FindPage(&view);
        const CReportListCtrl* list = page ? page->List(page->mainStrip->GetCurrentTab()) : nullptr;
        return list ? list->GetWindowText() : std::string();
    };
    SetReportPageSource(std::move(source));
    g_pageSource = this;
}

void CReportManager::AddListTab(CReportPage& page, CReportListCtrl* list, const std::string& name, bool external)
{
    const QString title = QString::fromStdString(name);
    page.mainStrip->AddTab(list, title, external);
    page.statisticsStrip->AddTab(CreateStatisticsTable(nullptr), title, false);
}

std::unique_ptr<CReportPage> CReportManager::BuildPage()
{
    auto page = std::make_unique<CReportPage>();
    page->mainStrip = new CReportTabBar(m_dock, NormalTabColour(), PlugInTabColour());
    page->statisticsStrip = new CReportTabBar(m_dock, NormalTabColour(), PlugInTabColour());
    page->statisticsStrip->setObjectName("reportStatisticsBar");
    CReportPage* raw = page.get();
    // A plug-in list that goes with its plug-in takes its statistics table along.
    QObject::connect(page->mainStrip, &CReportTabBar::ExternalTabLost, page->statisticsStrip,
                     [raw](int index) { raw->statisticsStrip->RemoveTabAt(index); });

    auto makeList = [this]() { return m_binding.create ? m_binding.create(nullptr) : new CReportListCtrl(); };
    std::vector<reportfile::NamedList> lists = reportfile::ReadFile(m_settingsPath, makeList);
    if (lists.empty()) {
        CReportListCtrl* list = makeList();
        list->DefaultHeaderSetting();
        page->measurementLists.insert(list);
        AddListTab(*page, list, kDefaultPageName, false);
    } else {
        for (reportfile::NamedList& entry : lists) {
            CReportListCtrl* list = entry.list.release();
            page->measurementLists.insert(list);
            AddListTab(*page, list, entry.name, false);
        }
    }
    page->mainStrip->SetCurrentTab(0);
    page->statisticsStrip->SetCurrentTab(0);
    return page;
}

void CReportManager::AddView(CVistrelView* view)
{
    if (!view || FindPage(view))
        return;
    std::unique_ptr<CReportPage> page = BuildPage();
    page->ownerView = view;
    m_pages.push_back(std::move(page));
    LayOut();
}

void CReportManager::RemoveView(CVistrelView* view)
{
    auto it = std::find_if(m_pages.begin(), m_pages.end(), [view](const auto& p) { return p->ownerView == view; });
    if (view == nullptr || it == m_pages.end())
        return;
    if (m_shown == it->get())
        m_shown = nullptr;
    // The list's delete may come back here through a plug-in's control; take the page out of the array first.
    std::unique_ptr<CReportPage> page = std::move(*it);
    m_pages.erase(it);
    page.reset();
    if (m_dock)
        m_dock->update();
}

CReportPage* CReportManager::FindPage(CVistrelView* view) const
{
    if (!view)
        return nullptr;
    for (const auto& page : m_pages)
        if (page->ownerView == view)
            return page.get();
    return nullptr;
}

void CReportManager::ShowStrips(CReportPage& page, bool show)
{
    if (!show) {
        page.mainStrip->hide();
        page.statisticsStrip->hide();
        return;
    }
    CReportTabBar* on = m_statisticsMode ? page.statisticsStrip : page.mainStrip;
    CReportTabBar* off = m_statisticsMode ? page.mainStrip : page.statisticsStrip;
    off->hide();
    on->show();
    on->raise();
    on->update();
}

void CReportManager::ShowPageOfView(CVistrelView* view)
{
    CReportPage* page = FindPage(view);
    if (!page)
        return;
    if (m_shown && m_shown != page)
        ShowStrips(*m_shown, false);
    m_shown = page;
    ShowStrips(*page, true);
}

void CReportManager::SetViewData(CVistrelView* view, CQvGObjectContainer* container)
{
    CReportPage* page = FindPage(view);
    if (!page || !m_binding.setContainer)
        return;
    for (int i = 0; i < page->mainStrip->GetTabCount(); ++i)
        if (CReportListCtrl* list = page->List(i); list && page->IsMeasurementList(list))
            m_binding.setContainer(list, container, view);
}

int CReportManager::SetStatisticsMode(CVistrelView* view, bool on)
{
    m_statisticsMode = on;
    CReportPage* own = FindPage(view);
    for (const auto& page : m_pages) {
        RefreshView(page->ownerView);
        if (on)
            page->statisticsStrip->SetCurrentTab(page->mainStrip->GetCurrentTab());
        else
            page->mainStrip->SetCurrentTab(page->statisticsStrip->GetCurrentTab());
        ShowStrips(*page, page.get() == own);
    }
    if (own)
        m_shown = own;
    return GetPageCount();
}

void CReportManager::ComputeStatistics(CReportPage& page)
{
    if (!m_binding.computeStatistics)
        return;
    for (int i = 0; i < page.mainStrip->GetTabCount(); ++i) {
        CReportListCtrl* list = page.List(i);
        CReportListCtrl* table = page.Statistics(i);
        if (list && table)
            m_binding.computeStatistics(*list, *table);
    }
}

void CReportManager::RefreshView(CVistrelView* view)
{
    CReportPage* page = FindPage(view);
    if (!page)
        return;
    for (int i = 0; i < page->mainStrip->GetTabCount(); ++i)
        if (CReportListCtrl* list = page->List(i))
            list->FillData();
    if (m_statisticsMode)
        ComputeStatistics(*page);
}

void CReportManager::ApplyOverlayChanges(CVistrelView* view, const GObjectChanges& changes)
{
    CReportPage* page = FindPage(view);
    if (!page || !m_binding.applyChanges)
        return;
    bool rowsChanged = false;
    for (int i = 0; i < page->mainStrip->GetTabCount(); ++i)
        if (CReportListCtrl* list = page->List(i); list && page->IsMeasurementList(list)) {
            m_binding.applyChanges(list, changes);
            rowsChanged = true;
        }
    const bool valuesMoved = !changes.added.empty() || !changes.changed.empty() || !changes.revalued.empty() ||
                             !changes.removed.empty();
    if (m_statisticsMode && rowsChanged && valuesMoved)
        ComputeStatistics(*page);
}

void CReportManager::UpdatePageOfView(CVistrelView* view)
{
    if (CReportPage* page = FindPage(view))
        ComputeStatistics(*page);
}

void CReportManager::DeleteSelectedResults(CVistrelView* view)
{
    CReportPage* page = FindPage(view);
    if (!page)
        return;
    for (int i = 0; i < page->mainStrip->GetTabCount(); ++i) {
        CReportListCtrl* list = page->List(i);
        if (!list)
            continue;
        if (page->IsMeasurementList(list) && m_binding.deleteSelected)
            m_binding.deleteSelected(list);
        else
            list->FillData();
    }
}

int CReportManager::GetSelectedCount(CVistrelView* view) const
{
    CReportPage* page = FindPage(view);
    if (!page || m_statisticsMode)
        return 0;
    CReportListCtrl* list = page->List(page->mainStrip->GetCurrentTab());
    return list ? list->GetSelectedCount() : 0;
}

void CReportManager::SelectObjectRow(CVistrelView* view, CQvGObject* object)
{
    SelectObjectRows(view, {object});
}

void CReportManager::SelectObjectRows(CVistrelView* view, const std::vector<CQvGObject*>& objects)
{
    CReportPage* page = FindPage(view);
    if (!page || !m_binding.selectObjectRows)
        return;
    for (int i = 0; i < page->mainStrip->GetTabCount(); ++i)
        if (CReportListCtrl* list = page->List(i); list && page->IsMeasurementList(list))
            m_binding.selectObjectRows(list, objects);
}

std::vector<CQvGObject*> CReportManager::SelectedObjects(CVistrelView* view) const
{
    std::vector<CQvGObject*> objects;
    CReportPage* page = FindPage(view);
    if (!page)
        return objects;
    std::unordered_set<const CQvGObject*> taken;
    for (int i = 0; i < page->mainStrip->GetTabCount(); ++i)
        if (CReportListCtrl* list = page->List(i); list && page->IsMeasurementList(list))
            for (int row : list->GetSelectedRows())
                if (auto* object = reinterpret_cast<CQvGObject*>(list->GetItemData(row));
                    object && taken.insert(object).second)
                    objects.push_back(object);
    return objects;
}

void CReportManager::ScrollToEnd(CVistrelView* view)
{
    CReportPage* page = FindPage(view);
    if (!page)
        return;
    for (int i = 0; i < page->mainStrip->GetTabCount(); ++i)
        if (CReportListCtrl* list = page->List(i))
            list->scrollToBottom();  // runs the layout still pending for rows just added
}

bool CReportManager::GetPageAsSafeArray(CVistrelView* view, CSafeArray2D& array, bool onScreen) const
{
    CReportPage* page = FindPage(view);
    if (!page)
        return false;
    const int current = page->mainStrip->GetCurrentTab();
    const bool statistics = onScreen == m_statisticsMode;
    const CReportListCtrl* list = statistics ? page->Statistics(current) : page->List(current);
    if (!list || list->rowCount() == 0 || list->columnCount() == 0)
        return false;
    const int rows = list->rowCount();
    const int columns = list->columnCount();
    array.Create(rows + 1, columns);
    const QHeaderView* header = list->horizontalHeader();
    for (int visual = 0; visual < columns; ++visual) {
        const int logical = header->logicalIndex(visual);
        const QTableWidgetItem* title = list->horizontalHeaderItem(logical);
        array.SetAt(0, visual, title ? title->text().left(kMaxTitleLength).toStdString() : std::string());
        for (int row = 0; row < rows; ++row) {
            const QTableWidgetItem* cell = list->item(row, logical);
            array.SetAt(row + 1, visual, cell ? cell->text().toStdString() : std::string());
        }
    }
    return true;
}

void CReportManager::AddExternalList(CVistrelView* view, CReportListCtrl* list, const std::string& name)
{
    CReportPage* page = FindPage(view);
    if (!page || !list)
        return;
    AddListTab(*page, list, name, true);
}

int CReportManager::RemoveExternalList(CVistrelView* view, CReportListCtrl* list)
{
    CReportPage* page = FindPage(view);
    if (!page || !list)
        return -1;
    const int index = page->mainStrip->RemoveTab(list);
    if (index >= 0)
        page->statisticsStrip->RemoveTabAt(index);
    return index;
}

void CReportManager::LayOut()
{
    if (!m_dock)
        return;
    const QRect area = m_dock->rect();
    for (const auto& page : m_pages) {
        page->mainStrip->setGeometry(area);
        page->statisticsStrip->setGeometry(area);
    }
    m_dock->update();
}
