#include "report/CReportDockWnd.h"

#include "report/CResultBackupDlg.h"

#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"

#include <QDockWidget>

CReportDockWnd::CReportDockWnd(QWidget* parent) : QWidget(parent)
{
    setObjectName("reportDock");
    m_manager.SetDockWindow(this);
    m_manager.InstallAsPageSource();
}

CReportDockWnd::~CReportDockWnd()
{
    // The pages' strips are children of this window: they go with the manager before the window's children go.
    m_manager.SetDockWindow(nullptr);
}

void CReportDockWnd::resizeEvent(QResizeEvent*)
{
    m_manager.LayOut();
}

CReportManager* ReportManagerOf(const CMainFrame* frame)
{
    if (!frame)
        return nullptr;
    QDockWidget* pane = frame->Pane(PANE_REPORT);
    auto* dock = pane ? dynamic_cast<CReportDockWnd*>(pane->widget()) : nullptr;
    return dock ? &dock->Manager() : nullptr;
}

CReportManager* InstallReportDock(CMainFrame& frame, const std::string& settingsPath)
{
    if (CReportManager* manager = ReportManagerOf(&frame)) {
        manager->SetSettingsPath(settingsPath);
        return manager;
    }
    if (!frame.Pane(PANE_REPORT))
        return nullptr;
    auto* dock = new CReportDockWnd();
    dock->Manager().SetSettingsPath(settingsPath);
    frame.SetPaneWidget(PANE_REPORT, dock);
    // The result backup windows read the pages of this dock: they go with the main window, whatever their parent.
    QObject::connect(&frame, &QObject::destroyed, [] { CResultBackupDlg::CloseAll(); });
    return &dock->Manager();
}
