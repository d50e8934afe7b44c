// Where the report controls of attached plug-in views live until the report dock takes them over: per document a
// page with two tab controls, the plug-in's own controls in the first and the host's report lists (id 100, grid lines
// and full-row select) in the second, one tab of the same title in each per attached view. UI thread.
#pragma once

#include <QPointer>
#include <QString>

#include <map>
#include <memory>

class CReportListCtrl;
class CVistrelDoc;
class QTabWidget;
class QWidget;

// The report pages as the plug-in host uses them; the report dock implements it later, tests may fake it.
class IPlugInReportPages
{
public:
    virtual ~IPlugInReportPages() = default;
    // The parent a view makes its report control in: the document's page, made when missing.
    virtual QWidget* Page(CVistrelDoc* doc) = 0;
    // Adds a tab titled `title` for `plugInControl` to the first tab control and makes the host's report list with
    // a tab of the same title in the second. Returns the host's list.
    virtual CReportListCtrl* AddTabEntry(CVistrelDoc* doc, const QString& title, QWidget* plugInControl) = 0;
    // Takes the tabs of `plugInControl` out of both tab controls and deletes the control and its host list at once:
    // the control's code lives in the plug-in's module, which may be unloaded right after.
    virtual void RemoveTabEntry(CVistrelDoc* doc, QWidget* plugInControl) = 0;
    // Selects the last tab of both tab controls.
    virtual void SelectLastTabs(CVistrelDoc* doc) = 0;
    // Copies the rows of the plug-in controls into the host's lists again.
    virtual void UpdatePage(CVistrelDoc* doc) = 0;
    virtual void RemovePage(CVistrelDoc* doc) = 0;
};

class PlugInReportShelf : public IPlugInReportPages
{
public:
    PlugInReportShelf();
    ~PlugInReportShelf() override;

    QWidget* Page(CVistrelDoc* doc) override;
    CReportListCtrl* AddTabEntry(CVistrelDoc* doc, const QString& title, QWidget* plugInControl) override;
    void RemoveTabEntry(CVistrelDoc* doc, QWidget* plugInControl) override;
    void SelectLastTabs(CVistrelDoc* doc) override;
    void UpdatePage(CVistrelDoc* doc) override;
    void RemovePage(CVistrelDoc* doc) override;

    // The document's two tab controls (null without a page), for the dock and the tests.
    QTabWidget* PlugInTabs(CVistrelDoc* doc) const;
    QTabWidget* ReportTabs(CVistrelDoc* doc) const;

private:
    struct PageWidgets
    {
        QPointer<QWidget> page;
        QPointer<QTabWidget> plugInTabs;
        QPointer<QTabWidget> reportTabs;
    };
    std::map<CVistrelDoc*, PageWidgets> m_pages;
};
