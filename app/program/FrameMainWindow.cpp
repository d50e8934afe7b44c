#include "program/FrameMainWindow.h"

#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "frame/CChildFrame.h"
#include "frame/CommandIds.h"
#include "panels/CThumbnailDockWnd.h"
#include "profile/CAppProfile.h"
#include "report/CReportDockWnd.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace {

// The first start, with no placement stored: most of the screen, centred.
void PlaceOnFirstStart(QWidget& window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const QSize size(available.width() * 4 / 5, available.height() * 4 / 5);
    window.resize(size);
    window.move(available.center() - QPoint(size.width() / 2, size.height() / 2));
}

}  // namespace

FrameMainWindow::FrameMainWindow(const MainFrameOptions& options, std::function<void(CMainFrame&)> connect)
    : m_options(options), m_connect(std::move(connect))
{
}

FrameMainWindow::~FrameMainWindow() = default;

QWidget* FrameMainWindow::Widget()
{
    return m_frame.get();
}

bool FrameMainWindow::LoadFrame()
{
    if (!m_options.profile)
        return false;
    m_frame = std::make_unique<CMainFrame>(m_options);
    ThumbnailDockOptions thumbnails;
    thumbnails.language = m_options.language;
    QPointer<CMainFrame> frame = m_frame.get();
    // Posted, as a menu choice would be: the strip's menu has closed before the command runs.
    thumbnails.hooks.postCommand = [frame](UINT id) {
        QTimer::singleShot(0, frame, [frame, id] {
            if (frame)
                frame->Router().Execute(id);
        });
    };
    m_thumbnails = new CThumbnailDockWnd(std::move(thumbnails));
    m_frame->SetPaneWidget(PANE_THUMBNAILS, m_thumbnails);
    if (m_connect)
        m_connect(*m_frame);
    InstallReportDock(*m_frame, m_reportSettingsPath);
    return true;
}

void FrameMainWindow::AttachApplication(CVistrelApp*)
{
    if (!m_thumbnails)
        return;
    m_thumbnails->WatchDocuments(DocumentRegistry::Instance());
}

void FrameMainWindow::SetReportSettingsPath(const std::string& path)
{
    // Kept for the report pane, which reads it when it builds its pages.
    m_reportSettingsPath = path;
    if (CReportManager* manager = GetReportManager())
        manager->SetSettingsPath(path);
}

void FrameMainWindow::BuildCommandBars()
{
    m_frame->BuildCommandBars();
}

void FrameMainWindow::RestorePlacement()
{
    std::vector<BYTE> stored;
    const bool placed = m_options.profile->GetProfileBinary(kWindowPlacementSection, kWindowPlacementEntry, stored);
    if (!placed || stored.empty())
        PlaceOnFirstStart(*m_frame);
    m_frame->RestorePlacement();
    m_frame->show();
}

void FrameMainWindow::RefillCalibrationBoxes()
{
    // The calibration commands refill the boxes once they are plugged in; the boxes keep their "none" entry until
    // then.
    if (m_frame && m_frame->Hooks().refillCalibrationBoxes)
        m_frame->Hooks().refillCalibrationBoxes();
}

void FrameMainWindow::RestoreAndRaise()
{
    if (m_frame->isMinimized())
        m_frame->setWindowState(m_frame->windowState() & ~Qt::WindowMinimized);
    m_frame->show();
    m_frame->raise();
    m_frame->activateWindow();
}

void FrameMainWindow::ExecuteCommand(UINT id)
{
    m_frame->Router().Execute(id);
}

CVistrelDoc* FrameMainWindow::GetActiveDocument()
{
    CChildFrame* child = m_frame ? m_frame->ActiveChildFrame() : nullptr;
    return child ? dynamic_cast<CVistrelDoc*>(child->DocumentTarget()) : nullptr;
}

CReportManager* FrameMainWindow::GetReportManager()
{
    return ReportManagerOf(m_frame.get());
}
