// The report dock's window: the place the report pages' strips fill, with the report manager that keeps them.
// UI thread; lives as long as the main frame's report pane.
#pragma once

#include "report/CReportManager.h"

#include <QWidget>

class CMainFrame;

class CReportDockWnd : public QWidget
{
    Q_OBJECT

public:
    explicit CReportDockWnd(QWidget* parent = nullptr);
    ~CReportDockWnd() override;

    CReportManager& Manager() { return m_manager; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CReportManager m_manager;
};

// The report manager of the main frame's report pane, or null when the frame has none.
CReportManager* ReportManagerOf(const CMainFrame* frame);
// Puts a report dock into the frame's report pane (once) and returns its manager.
CReportManager* InstallReportDock(CMainFrame& frame, const std::string& settingsPath);
