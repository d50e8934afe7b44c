#include "calibration/CalibrationCommands.h"

#include "calibration/CCalibrationSetDlg.h"
#include "calibration/CCalibrationZoomDlg.h"
#include "calibration/CLengthCalibrationDlg.h"
#include "calibration/CManualCalibrationDlg.h"
#include "core/CalibrationTexts.h"
#include "core/CCalibrationList.h"
#include "document/CVistrelDoc.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "view/CVistrelView.h"

#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaObject>

namespace {

constexpr const char* kObjectName = "CalibrationCommands";
constexpr int kLineShape = 1;

const CommandMapEntry<CalibrationCommands> kCalibrationCommands[] = {
    CommandEntry(cmd::ID_CALIBRATION_MANUAL, &CalibrationCommands::OnManualCalibration,
                 &CalibrationCommands::OnUpdateManualCalibration),
    CommandEntry(cmd::ID_CALIBRATION_AUTO, &CalibrationCommands::OnAutoCalibration,
                 &CalibrationCommands::OnUpdateAutoCalibration),
};

}  // namespace

CalibrationCommands::CalibrationCommands(CMainFrame& frame, CCalibrationList& list, std::string folder)
    : QObject(&frame), m_frame(frame), m_list(list), m_folder(std::move(folder))
{
    setObjectName(kObjectName);
    AddCommandMap(kCalibrationCommands);
}

// The frame deletes its children while it is being destroyed: by then it is no CMainFrame any more and routes no
// command, so it is not called.
CalibrationCommands::~CalibrationCommands()
{
    delete m_lengthDialog;
}

void CalibrationCommands::Install()
{
    m_frame.AddCommandTarget(this);
    MainFrameHooks& hooks = m_frame.Hooks();
    hooks.calibrationBoxSelected = [this](UINT boxId, int index) { OnBoxSelected(boxId, index); };
    hooks.applyCalibrationToActiveDocument = [this] { return ApplyCurrentToActiveDocument(); };
    hooks.refillCalibrationBoxes = [this] { Manager().Refresh(); };
    connect(m_frame.MdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (window)
            QMetaObject::invokeMethod(this, &CalibrationCommands::FollowActiveDocument, Qt::QueuedConnection);
    });
}

CCalibrationSetDlg& CalibrationCommands::Manager()
{
    if (!m_manager) {
        m_manager = new CCalibrationSetDlg(m_list, m_folder, &m_frame);
        m_manager->SetChangedCallback([this] { m_frame.UpdateCalibrationPanes(); });
        m_manager->SetMirrors(m_frame.CalibrationNameBox(), m_frame.MagnificationBox(), m_frame.UnitBox());
    }
    return *m_manager;
}

void CalibrationCommands::ShowManager()
{
    CCalibrationSetDlg& manager = Manager();
    manager.Refresh();
    manager.show();
    manager.raise();
}

CLengthCalibrationDlg* CalibrationCommands::LengthDialog() const
{
    return m_lengthDialog;
}

CCalibrationZoomDlg* CalibrationCommands::ZoomWindow() const
{
    return m_zoomWindow;
}

CVistrelView* CalibrationCommands::ActiveView() const
{
    CChildFrame* child = m_frame.ActiveChildFrame();
    return child ? dynamic_cast<CVistrelView*>(child->ViewTarget()) : nullptr;
}

int CalibrationCommands::ApplyCurrentToActiveDocument()
{
    CVistrelView* view = ActiveView();
    if (!view || !view->GetDocument())
        return 0;
    view->GetDocument()->GetCalibKeeper() = *m_list.GetCurrentCalibration();
    view->GetDispWnd()->AfterObjectEdit();
    if (view->IsActiveView())
        view->UpdateStatusText();
    return 1;
}

void CalibrationCommands::FollowActiveDocument()
{
    CVistrelView* view = ActiveView();
    if (!view || !view->GetDocument())
        return;
    *m_list.GetCurrentCalibration() = view->GetDocument()->GetCalibKeeper();
    Manager().Refresh();
}

int CalibrationCommands::SaveCalibrationFiles()
{
    return m_list.SaveToFolderOrTell(m_folder);
}

void CalibrationCommands::OnBoxSelected(UINT boxId, int index)
{
    CCalibrationSetDlg& manager = Manager();
    if (boxId == cmd::ID_CALIBRATION_NAME_BOX)
        manager.OnNameSelected(index);
    else if (boxId == cmd::ID_MAGNIFICATION_BOX)
        manager.OnMagnificationSelected(index);
    else if (boxId == cmd::ID_UNIT_BOX)
        manager.OnUnitSelected(index);
}

void CalibrationCommands::OnUpdateManualCalibration(CCmdUI* ui)
{
    ui->Enable(!CVistrelDoc::PlugInHold());
}

void CalibrationCommands::OnUpdateAutoCalibration(CCmdUI* ui)
{
    ui->Enable(true);
}

void CalibrationCommands::OnManualCalibration()
{
    CVistrelView* view = ActiveView();
    if (!view || !view->GetDocument())
        return;
    CImageDispWnd* window = view->GetDispWnd();
    if (window->GetToolMode() & CImageDispWnd::kCalibrationMode)
        return;
    if (view->IsLiveView()) {
        MessageBox(CalibrationString(calibstr::IDS_CAPTURED_IMAGE_NEEDED), std::string(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CVistrelDoc& document = *view->GetDocument();
    CQvGObjectContainer& overlay = document.GetGObjectContainer();
    // Our live picture is drawn into the view itself: there is no separate live window of the host to hide.
    if (view->IsZoomFit())
        view->ToggleZoomFit();
    window->ClearRegion();
    window->SetToolMode(CImageDispWnd::kCalibrationMode);
    if (!document.AddObjectOfType(kLineShape)) {
        window->SetToolMode(0);
        return;
    }
    CQvGObject* line = overlay.GetCreatingObject();
    overlay.SetDisplayName(0);
    overlay.SetDisplayData(0);
    overlay.SetDisplayMark(0);
    m_calibratingView = view;
    if (QMdiSubWindow* child = document.GetChildFrame()) {
        m_frameWasMaximized = child->isMaximized();
        m_frameGeometry = child->geometry();
        child->showMaximized();
    }

    delete m_lengthDialog;
    m_lengthDialog = new CLengthCalibrationDlg(*view, line, m_list, &m_frame);
    m_lengthDialog->SetChangedCallback([this] { Manager().Refresh(); });
    m_lengthDialog->SetFinishedCallback([this] { EndManualCalibration(); });
    m_lengthDialog->SetSavedCallback([this] { SaveCalibrationFiles(); });
    m_lengthDialog->move(view->mapToGlobal(QPoint(kDialogOffset, kDialogOffset)));
    m_lengthDialog->show();

    if (!m_zoomWindow || m_zoomWindow->parentWidget() != view) {
        delete m_zoomWindow;
        m_zoomWindow = new CCalibrationZoomDlg(view);
    }
    m_zoomWindow->Attach(window);
    m_zoomWindow->PlaceInParent();
    m_zoomWindow->show();
    m_zoomWindow->raise();

    window->activateWindow();
    window->setFocus();
}

void CalibrationCommands::EndManualCalibration()
{
    if (m_zoomWindow) {
        m_zoomWindow->Attach(nullptr);
        m_zoomWindow->hide();
    }
    if (m_calibratingView && m_calibratingView->GetDocument())
        if (QMdiSubWindow* child = m_calibratingView->GetDocument()->GetChildFrame()) {
            if (!m_frameWasMaximized) {
                child->showNormal();
                child->setGeometry(m_frameGeometry);
            }
        }
    m_calibratingView = nullptr;
    if (m_lengthDialog)
        m_lengthDialog->deleteLater();
}

void CalibrationCommands::OnAutoCalibration()
{
    CVistrelView* view = ActiveView();
    if (!view || !view->GetDocument())
        return;
    if (view->IsLiveView()) {
        MessageBox(CalibrationString(calibstr::IDS_CAPTURED_IMAGE_NEEDED), std::string(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CImageDispWnd* window = view->GetDispWnd();
    CVistrelDoc& document = *view->GetDocument();
    window->ModifyToolMode(0, CImageDispWnd::kCalibrationMode);
    if (view->IsZoomFit())
        view->ToggleZoomFit();

    CCalibKeeper result = *m_list.GetCurrentCalibration();
    int keep = 0;
    const unsigned long long pushesBefore = document.GetFramePool().PushCount();
    if (m_autoRunner && m_autoRunner(document, result, keep) == 1) {
        // The module's work image, when it kept one: otherwise the user's own last change would be undone.
        if (document.GetFramePool().PushCount() != pushesBefore)
            document.GetFramePool().Undo();
        result.SetName(CCalibrationList::kTemporaryName);
        document.GetCalibKeeper() = result;
        if (keep) {
            m_list.StoreCalibration(result);
        } else {
            CManualCalibrationDlg naming(m_list, result, &m_frame);
            if (RunModal(naming) == QDialog::Accepted)
                SaveCalibrationFiles();
        }
        if (m_manager)
            m_manager->Refresh();
        document.GetCalibKeeper() = *m_list.GetCurrentCalibration();
        m_frame.UpdateCalibrationPanes();
        view->UpdateStatusText();
        window->AfterObjectEdit();
    }
    window->ModifyToolMode(CImageDispWnd::kCalibrationMode, 0);
    window->Invalidate();
    view->UpdateStatusText();
}

CalibrationCommands* FindCalibrationCommands(CMainFrame& frame)
{
    return frame.findChild<CalibrationCommands*>(kObjectName, Qt::FindDirectChildrenOnly);
}

CalibrationCommands& InstallCalibrationCommands(CMainFrame& frame, CCalibrationList& list, const std::string& folder)
{
    if (CalibrationCommands* existing = FindCalibrationCommands(frame))
        return *existing;
    auto* commands = new CalibrationCommands(frame, list, folder);
    commands->Install();
    return *commands;
}

void RunCalibrationManager(CMainFrame& frame)
{
    if (CalibrationCommands* commands = FindCalibrationCommands(frame))
        commands->ShowManager();
}
