// The application's acquisition commands: choosing the device, live video, the capture commands, the centre
// cross and device settings. The host draws nothing itself: live video is shown in a live view, a document whose
// view takes the host's frames.
#include "commands/AppCommands.h"

#include "capture/CaptureDialogs.h"
#include "capture/ImageCapture.h"
#include "commands/CommandStrings.h"
#include "core/CVistrelApp.h"
#include "core/ProgramServices.h"
#include "core/ProfileSettings.h"
#include "core/VistrelIni.h"
#include "document/CVistrelDoc.h"
#include "view/CVistrelView.h"

#include "qvimage/CQvImage.h"
#include "ui/ModalDialog.h"

namespace {

bool LiveRunning(IAcquireHost& host)
{
    int mode = 0;
    host.GetCurrentMode(mode);
    return mode == kAcquireModeLiveOverlay;
}

// The live view stops taking frames and keeps the last one as an ordinary image.
void DetachLiveView(IAcquireHost& host, CVistrelView* live)
{
    host.StopOverlay();
    if (live)
        live->StopLive();
}

}  // namespace

CVistrelDoc* CAppCommands::OpenLiveView(bool measuring)
{
    IAcquireHost* host = m_app.AcquireHost();
    if (!host)
        return nullptr;
    int width = 0, height = 0;
    host->GetWidth(width);
    host->GetHeight(height);
    if (width <= 0 || height <= 0)
        return nullptr;
    CVistrelDoc* doc = m_app.NewDocument(AppCommandString(appstr::IDS_LIVE_MEASURE));
    if (!doc)
        return nullptr;
    CQvImage image;
    image.Create(21, width, height, 0);
    doc->SetImage(std::string(), &image);
    if (CVistrelView* view = doc->GetImageView()) {
        StartLiveVideo(*host, *view, measuring);
        if (GetZoomFitMode() && !view->IsZoomFit())
            view->ToggleZoomFit();
    }
    return doc;
}

namespace {

// Still images of hardware that delivers them itself become documents.
void ReceiveStillImages(CVistrelApp& app, IAcquireHost& host)
{
    host.SetFunc4TwainBuffer([&app](const BITMAPINFOHEADER* dib, size_t bytes) {
        CImageCapture(ProgramCaptureContext(app)).OnTwainBuffer(dib, bytes);
    });
}

}  // namespace

void CAppCommands::OnSelectDevice()
{
    IAcquireHost* host = m_app.AcquireHost();
    if (!host || host->SelectServer(0) != 1)
        return;
    ReceiveStillImages(m_app, *host);
    if (CVistrelView* live = m_app.FindLiveView()) {
        // The live view follows the new device's size.
        live->ResizeLive();
        host->Overlay();
        return;
    }
    OpenLiveView(false);
}

void CAppCommands::OnUpdateSelectDevice(CCmdUI* ui)
{
    IAcquireHost* host = m_app.AcquireHost();
    ui->Enable(host && !LiveRunning(*host));
}

void CAppCommands::OnUpdateCaptureCommand(CCmdUI* ui)
{
    IAcquireHost* host = m_app.AcquireHost();
    int type = 0;
    if (host)
        host->GetHWType(type);
    ui->Enable(host && host->IsSelected() && type != 1 && LiveRunning(*host));
}

void CAppCommands::OnImageCapture()
{
    IAcquireHost* host = m_app.AcquireHost();
    if (!host)
        return;
    CVistrelView* live = m_app.FindLiveView();
    CImageCapture capture(ProgramCaptureContext(m_app));
    CVistrelDoc* captured = capture.AcquireImages(1, 1, 0);
    if (live) {
        // The captured frame stays in the former live view; live video goes on in a new one.
        const bool measuring = g_bLiveStarted == 0;
        DetachLiveView(*host, live);
        OpenLiveView(measuring);
    } else {
        host->Overlay();
    }
    SettleCapturedDocument(captured);
}

void CAppCommands::OnMultiCapture()
{
    IAcquireHost* host = m_app.AcquireHost();
    if (!host)
        return;
    int frames = 3, combine = 0;
    if (multiCaptureDialog) {
        if (!multiCaptureDialog(frames, combine))
            return;
    } else {
        CMultiCaptureDlg dialog(m_app.GetMainWnd() ? m_app.GetMainWnd()->Widget() : nullptr);
        if (RunModal(dialog) != QDialog::Accepted)
            return;
        frames = dialog.frames;
        combine = dialog.combine;
    }
    CImageCapture capture(ProgramCaptureContext(m_app));
    capture.AcquireImages(frames, combine ? 0 : 1, 0);
    if (CVistrelView* live = m_app.FindLiveView())
        DetachLiveView(*host, live);
}

void CAppCommands::OnResizeCapture()
{
    IAcquireHost* host = m_app.AcquireHost();
    if (!host)
        return;
    CImageCapture capture(ProgramCaptureContext(m_app));
    capture.AcquireImages(1, 1, 1);
    if (CVistrelView* live = m_app.FindLiveView())
        DetachLiveView(*host, live);
    else
        host->Overlay();
}

void CAppCommands::OnUpdateResizeCapture(CCmdUI* ui)
{
    OnUpdateCaptureCommand(ui);
    if (g_bLiveStarted != 1)
        ui->Enable(false);
}

void CAppCommands::OnLiveImage()
{
    IAcquireHost* host = m_app.AcquireHost();
    if (!host)
        return;
    ReceiveStillImages(m_app, *host);
    if (!host->IsSelected())
        return;
    if (LiveRunning(*host)) {
        host->StopOverlay();
        return;
    }
    OpenLiveView(false);
}

void CAppCommands::OnUpdateLiveImage(CCmdUI* ui)
{
    IAcquireHost* host = m_app.AcquireHost();
    ui->Enable(host && host->IsSelected() && !m_app.FindLiveView());
    ui->SetCheck(host && (host->IsOverlayWndActive() || LiveRunning(*host)) ? 1 : 0);
}

void CAppCommands::OnCrossLine()
{
    m_program.Profile().crossLineShow = m_program.Profile().crossLineShow ? 0 : 1;
}

void CAppCommands::OnUpdateCrossLine(CCmdUI* ui)
{
    IAcquireHost* host = m_app.AcquireHost();
    const bool enabled = host && LiveRunning(*host) && host->IsOverlaySupport();
    ui->Enable(enabled);
    if (enabled)
        ui->SetCheck(m_program.Profile().crossLineShow ? 1 : 0);
}

void CAppCommands::OnLiveMeasure()
{
    if (m_app.FindLiveView()) {
        OnImageCapture();
        return;
    }
    OpenLiveView(true);
}

void CAppCommands::OnFullScreen()
{
    if (CVistrelView* live = m_app.FindLiveView())
        live->ToggleFullScreen();
    else if (IAcquireHost* host = m_app.AcquireHost())
        host->FullScreenMode();
}

void CAppCommands::OnDeviceSettings()
{
    if (IAcquireHost* host = m_app.AcquireHost())
        host->Property(1);
}
