#include "plugins/PlugInReportShelf.h"

#include "document/CVistrelDoc.h"
#include "qvplglib/CReportListCtrl.h"

#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>

namespace {

constexpr UINT kHostReportListId = 100;

}  // namespace

PlugInReportShelf::PlugInReportShelf() = default;

PlugInReportShelf::~PlugInReportShelf()
{
    for (auto& [doc, widgets] : m_pages)
        delete widgets.page.data();
}

QWidget* PlugInReportShelf::Page(CVistrelDoc* doc)
{
    if (!doc)
        return nullptr;
    auto it = m_pages.find(doc);
    if (it != m_pages.end() && it->second.page)
        return it->second.page;
    PageWidgets widgets;
    widgets.page = new QWidget;
    widgets.page->setObjectName("plugInReportPage");
    auto* layout = new QVBoxLayout(widgets.page);
    widgets.plugInTabs = new QTabWidget(widgets.page);
    widgets.plugInTabs->setObjectName("plugInTabs");
    widgets.reportTabs = new QTabWidget(widgets.page);
    widgets.reportTabs->setObjectName("reportTabs");
    layout->addWidget(widgets.plugInTabs);
    layout->addWidget(widgets.reportTabs);
    // The page goes with its document.
    QObject::connect(doc, &QObject::destroyed, widgets.page, [this, doc] { RemovePage(doc); });
    m_pages[doc] = widgets;
    return widgets.page;
}

CReportListCtrl* PlugInReportShelf::AddTabEntry(CVistrelDoc* doc, const QString& title, QWidget* plugInControl)
{
    if (!Page(doc) || !plugInControl)
        return nullptr;
    PageWidgets& widgets = m_pages[doc];
    widgets.plugInTabs->addTab(plugInControl, title);
    auto* list = new CReportListCtrl(widgets.reportTabs);
    list->SetDlgCtrlID(kHostReportListId);
    list->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    list->SetWindowText(title.toStdString());
    widgets.reportTabs->addTab(list, title);
    return list;
}

void PlugInReportShelf::RemoveTabEntry(CVistrelDoc* doc, QWidget* plugInControl)
{
    if (!plugInControl)
        return;
    QTabWidget* from = PlugInTabs(doc);
    QTabWidget* to = ReportTabs(doc);
    if (const int tab = from ? from->indexOf(plugInControl) : -1; tab >= 0) {
        from->removeTab(tab);
        if (to && tab < to->count()) {
            QWidget* list = to->widget(tab);
            to->removeTab(tab);
            delete list;
        }
    }
    delete plugInControl;
}

void PlugInReportShelf::SelectLastTabs(CVistrelDoc* doc)
{
    if (QTabWidget* tabs = PlugInTabs(doc))
        tabs->setCurrentIndex(tabs->count() - 1);
    if (QTabWidget* tabs = ReportTabs(doc))
        tabs->setCurrentIndex(tabs->count() - 1);
}

void PlugInReportShelf::UpdatePage(CVistrelDoc* doc)
{
    QTabWidget* from = PlugInTabs(doc);
    QTabWidget* to = ReportTabs(doc);
    if (!from || !to)
        return;
    for (int tab = 0; tab < from->count() && tab < to->count(); ++tab) {
        auto* source = qobject_cast<QTableWidget*>(from->widget(tab));
        auto* target = qobject_cast<QTableWidget*>(to->widget(tab));
        if (!source || !target)
            continue;
        target->clear();
        target->setColumnCount(source->columnCount());
        target->setRowCount(source->rowCount());
        for (int row = 0; row < source->rowCount(); ++row)
            for (int column = 0; column < source->columnCount(); ++column)
                if (const QTableWidgetItem* item = source->item(row, column))
                    target->setItem(row, column, item->clone());
    }
}

void PlugInReportShelf::RemovePage(CVistrelDoc* doc)
{
    auto it = m_pages.find(doc);
    if (it == m_pages.end())
        return;
    QPointer<QWidget> page = it->second.page;
    m_pages.erase(it);
    if (page)
        page->deleteLater();
}

QTabWidget* PlugInReportShelf::PlugInTabs(CVistrelDoc* doc) const
{
    auto it = m_pages.find(doc);
    return it == m_pages.end() ? nullptr : it->second.plugInTabs.data();
}

QTabWidget* PlugInReportShelf::ReportTabs(CVistrelDoc* doc) const
{
    auto it = m_pages.find(doc);
    return it == m_pages.end() ? nullptr : it->second.reportTabs.data();
}
