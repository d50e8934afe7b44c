#include "view/CVistrelView.h"

#include "core/ProgramServices.h"
#include "core/ProfileSettings.h"
#include "core/CAppEnvironment.h"
#include "core/VistrelIni.h"
// The document header keeps its child frame in a QPointer, which needs the complete class.
#include <QMdiSubWindow>

#include "core/CalibrationTexts.h"
#include "view/LiveFeed.h"
#include "view/ViewReport.h"
#include "core/CVistrelApp.h"
#include "document/CVistrelDoc.h"
#include "frame/CMainFrame.h"
#include "frame/ColourPopupButton.h"
#include "frame/CommandIds.h"
#include "frame/FrameStrings.h"
#include "view/ViewCommands.h"
#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"

#include "qvimage/CQvImage.h"
#include "qvimage/QvImageDib.h"
#include "strings/Format.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QSignalBlocker>

#include <algorithm>

using namespace cmd;

namespace {

// Decimals beyond this would only pad the pane; a damaged preference must not build a format of any length.
constexpr int kMaxDecimals = 10;

const CommandMapEntry<CVistrelView> kViewCommands[] = {
    CommandEntry(ID_ZOOM_IN, &CVistrelView::OnZoomIn, &CVistrelView::OnUpdateEnable),
    CommandEntry(ID_ZOOM_OUT, &CVistrelView::OnZoomOut, &CVistrelView::OnUpdateEnable),
    CommandEntry(ID_ZOOM_COMBO, &CVistrelView::OnZoomCombo, &CVistrelView::OnUpdateZoomCombo),
};

void SelectText(QComboBox* box, const QString& text)
{
    if (!box)
        return;
    const int index = box->findText(text);
    if (index >= 0) {
        const QSignalBlocker blocker(box);
        box->setCurrentIndex(index);
    }
}

}  // namespace

std::string FormatImageSizeText(LANGID language, int decimals, double width, double height)
{
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    // First pass: "%%.%df" becomes "%.2f"; the second formats the size with it.
    const std::string format = Format(FrameString(445, language).c_str(), decimals, decimals);
    return Format(format.c_str(), width, height);
}

CVistrelView::CVistrelView(CVistrelDoc* document, QWidget* parent) : QWidget(parent)
{
    setObjectName("CVistrelView");
    AddCommandMap(kViewCommands);
    m_commands = std::make_unique<CViewCommands>(*this);
    m_reportCommands = MakeViewReportCommands(*this);
    m_dispWnd = new CImageDispWnd();
    m_dispWnd->SetHost(this);
    m_dispWnd->SetScrollParameters(10, 25);
    m_dispWnd->SetHandTool(0);
    m_dispWnd->Create(this, CRect(0, 0, 0, 0));
    setFocusProxy(m_dispWnd);
    SetDocument(document);
}

CVistrelView::~CVistrelView()
{
    // The host stops sending before the live view goes, if its frames still come here (another view may be
    // live now); frames already under way are dropped with the mailbox.
    if (m_liveMailbox) {
        if (IsLiveMailbox(m_liveMailbox.get()))
            if (IAcquireHost* host = GetVistrelApp() ? GetVistrelApp()->AcquireHost() : nullptr)
                host->StopOverlay();
        StopLive();
    }
    // The last view closing must not leave its image described in the panes.
    if (m_active)
        if (CMainFrame* frame = MainFrame())
            frame->InitPaneTexts();
    // The page points at this view: it must not outlive it.
    if (IViewReport* report = ReportManager())
        report->RemoveView(this);
    if (m_document)
        m_document->RemoveView(this);
    m_dispWnd->SetHost(nullptr);
    m_dispWnd->Unbind();
}

void CVistrelView::SetDocument(CVistrelDoc* document)
{
    if (m_document)
        disconnect(m_document, nullptr, this, nullptr);
    m_overlayChanges.Reset();
    m_completed = nullptr;
    m_document = document;
    BindDocument();
    if (!m_document)
        return;
    m_overlayChanges = GObjectChangeSubscription(m_document->GetGObjectContainer(),
                                                 [this](const GObjectChanges& changes) { OnOverlayChanged(changes); });
    if (m_live)
        m_document->SetLive(true);
    connect(m_document, &CVistrelDoc::ImageSet, this, &CVistrelView::OnDocumentImageChanged);
    connect(m_document, &CVistrelDoc::ImageReplaced, this, &CVistrelView::OnDocumentImageChanged);
    connect(m_document, &CVistrelDoc::ImageUndone, this, &CVistrelView::OnDocumentImageChanged);
    connect(m_document, &CVistrelDoc::SelectionsCleared, this, [this] {
        m_dispWnd->SetToolMode(0);
        m_dispWnd->Invalidate();
    });
    connect(m_document, &CVistrelDoc::CreationStarted, this, &CVistrelView::OnCreationStarted);
    // Saved or freshly read: objects read from a file are no input of the user's, and the calibration and
    // decimals that came with them give their values.
    connect(m_document, &CVistrelDoc::ModifiedChanged, this, [this](bool modified) {
        if (modified)
            return;
        m_completed = nullptr;
        m_document->GetGObjectContainer().ObjectsChanged();
    });
    connect(m_document, &CVistrelDoc::Closing, this, [this] {
        if (IViewReport* report = ReportManager())
            report->RemoveView(this);
        m_document->RemoveView(this);
        SetDocument(nullptr);
    });
}

void CVistrelView::OnCreationStarted(bool region)
{
    // A drawing tool was chosen: the pointer comes to the image and the mode word follows the new creation. The
    // mouse is free until the new object's first point: the next click may be meant for anything on the screen.
    m_dispWnd->ReleaseMouse();
    if (region)
        m_dispWnd->ModifyToolMode(0, CImageDispWnd::kRegionMode);
    else
        m_dispWnd->ModifyToolMode(CImageDispWnd::kRegionMode, 0);
    m_dispWnd->GlideCursorToCentre();
    m_dispWnd->ToolModeStep(0);
}

void CVistrelView::BindDocument()
{
    if (!m_document) {
        m_dispWnd->Unbind();
        m_dispWnd->Invalidate();
        return;
    }
    DispWndDocument members;
    members.framePool = &m_document->GetFramePool();
    members.objects = &m_document->GetGObjectContainer();
    members.regions = &m_document->GetRegionContainer();
    members.calibration = &m_document->GetCalibKeeper();
    members.grid = &m_document->GetLatticer();
    members.plugIns = &m_document->ActivePlugIns();
    members.owner = m_document;
    m_dispWnd->Bind(members);
}

CMainFrame* CVistrelView::MainFrame() const
{
    if (m_mainFrame)
        return m_mainFrame;
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* frame = qobject_cast<CMainFrame*>(w))
            return frame;
    return nullptr;
}

QMdiSubWindow* CVistrelView::ChildFrame() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w))
            return sub;
    return nullptr;
}

IViewReport* CVistrelView::ReportManager() const
{
    return ViewReportOf(MainFrame());
}

void CVistrelView::OnInitialUpdate()
{
    m_dispWnd->SyncContainers();
    m_completed = nullptr;
    if (IViewReport* report = ReportManager()) {
        report->AddView(this);
        // The lists fill themselves from the overlay, none of their rows selected.
        report->SetViewData(this, m_document ? &m_document->GetGObjectContainer() : nullptr);
    }
    CMainFrame* frame = MainFrame();
    if (!frame || m_activationConnected)
        return;
    m_activationConnected = true;
    connect(frame->MdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        QMdiSubWindow* mine = ChildFrame();
        if (window && window == mine) {
            if (!m_active)
                OnActivateView(true, this, nullptr);
        } else if (m_active && window) {
            // Null only means the main window lost the focus: this view is still the one the panes describe.
            OnActivateView(false, window->findChild<CVistrelView*>(), this);
        }
    });
    if (ChildFrame() && frame->MdiArea()->currentSubWindow() == ChildFrame())
        OnActivateView(true, this, nullptr);
}

void CVistrelView::OnActivateView(bool activate, CVistrelView* activated, CVistrelView* /*deactivated*/)
{
    m_dispWnd->ActivatePlugInViews(activate ? 1 : 0);
    m_active = activate;
    CMainFrame* frame = MainFrame();
    if (activate) {
        if (IViewReport* report = ReportManager())
            report->ShowPageOfView(this);
        UpdateStatusText();
        SelectCalibrationInBoxes();
    } else if (frame && !(activated && activated != this && activated->IsActiveView())) {
        // The panes must not keep this view's image; a view that took over first has already put its own there.
        frame->InitPaneTexts();
    }
}

int CVistrelView::DecimalPlaces() const
{
    CMainFrame* frame = MainFrame();
    if (frame && frame->Hooks().decimalPlaces)
        return frame->Hooks().decimalPlaces();
    if (ProgramServices* program = TheProgram())
        return program->Profile().preferences.decimalPointRange;
    return 3;
}

void CVistrelView::UpdateStatusText()
{
    CMainFrame* frame = MainFrame();
    if (!frame || !m_document)
        return;
    const CQvImage& image = m_document->GetImage();
    if (!image.IsEmpty())
        frame->SetColorText(CQvImage::GetColorModelString(image.GetColorModel()));
    const double upp = m_document->GetCalibKeeper().GetUnitsPerPixel();
    frame->SetImageSizeText(
        FormatImageSizeText(frame->Language(), DecimalPlaces(), image.GetWidth() * upp, image.GetHeight() * upp));
}

void CVistrelView::SelectCalibrationInBoxes()
{
    CMainFrame* frame = MainFrame();
    if (!frame || !m_document)
        return;
    const CCalibKeeper& calibration = m_document->GetCalibKeeper();
    // An uncalibrated image shows the boxes' first entry ("none").
    if (QComboBox* names = frame->CalibrationNameBox()) {
        const int index = names->findText(QString::fromStdString(ShownCalibrationName(calibration.GetName())));
        const QSignalBlocker blocker(names);
        names->setCurrentIndex(std::max(0, calibration.GetName().empty() ? 0 : index));
    }
    if (calibration.GetMagnification() > 0)
        SelectText(frame->MagnificationBox(), QString::fromStdString(Format("%g", calibration.GetMagnification())));
    SelectText(frame->UnitBox(), QString::fromStdString(CCalibKeeper::GetUnitName(calibration.GetUnit())));
}

void CVistrelView::OnDocumentImageChanged()
{
    m_dispWnd->OnImageChanged();
    if (IsZoomFit())
        ApplyFitRatio();
}

void CVistrelView::ImageChanged()
{
    // The window says so for every change, the document's own and a plug-in's that the document never hears of.
    if (m_active)
        UpdateStatusText();
}

// ---------------------------------------------------------------------------------------------------------------
// Zoom

float CVistrelView::FitRatio() const
{
    const CQvImage* image = m_dispWnd->Image();
    if (!image || image->IsEmpty() || width() <= 0 || height() <= 0)
        return 0.0f;
    return std::min(static_cast<float>(width()) / static_cast<float>(image->GetWidth()),
                    static_cast<float>(height()) / static_cast<float>(image->GetHeight()));
}

void CVistrelView::ApplyFitRatio()
{
    // Without an image there is nothing to fit; the window keeps its ratio.
    const float ratio = FitRatio();
    if (ratio > 0.0f)
        m_dispWnd->SetZoom(ratio);
}

void CVistrelView::ToggleZoomFit()
{
    const bool fit = !IsZoomFit();
    if (fit) {
        m_dispWnd->SetSavedZoomLevel(m_dispWnd->GetZoomLevel());
        m_dispWnd->SetZoomForm(1);
        ApplyFitRatio();
    } else {
        m_dispWnd->SetZoomForm(0);
        m_dispWnd->SetZoom(static_cast<_QVZOOM>(m_dispWnd->GetSavedZoomLevel()));
    }
    SetZoomFitMode(fit);
}

void CVistrelView::LeaveFitForZoom()
{
    if (!IsZoomFit())
        return;
    m_dispWnd->SetZoomForm(0);
    SetZoomFitMode(false);
}

void CVistrelView::OnZoomIn()
{
    LeaveFitForZoom();
    m_dispWnd->Zoom(1);
}

void CVistrelView::OnZoomOut()
{
    LeaveFitForZoom();
    m_dispWnd->Zoom(0);
}

void CVistrelView::OnZoomCombo()
{
    CMainFrame* frame = MainFrame();
    if (!frame || !frame->ZoomBox())
        return;
    const int level = frame->ZoomBox()->currentIndex();
    if (level < 0 || level >= QVZOOM_COUNT)
        return;
    LeaveFitForZoom();
    m_dispWnd->SetZoom(static_cast<_QVZOOM>(level));
}

void CVistrelView::OnUpdateZoomCombo(CCmdUI* ui)
{
    ui->Enable(true);
    CMainFrame* frame = MainFrame();
    QComboBox* box = frame ? frame->ZoomBox() : nullptr;
    const int level = m_dispWnd->GetZoomLevel();
    // The box follows the zoom when the zoom changed; a pick in the box waiting for its command, or an open list,
    // is the user's. A ratio between steps selects nothing new.
    if (!box || level == m_zoomShownInBox || box->view()->isVisible())
        return;
    m_zoomShownInBox = level;
    if (level != QVZOOM_FREE && level < box->count()) {
        const QSignalBlocker blocker(box);
        box->setCurrentIndex(level);
    }
}

void CVistrelView::OnUpdateEnable(CCmdUI* ui)
{
    ui->Enable(true);
}

bool CVistrelView::ExecuteCommand(UINT id)
{
    return CommandMapTarget<CVistrelView>::ExecuteCommand(id) || m_commands->ExecuteCommand(id) ||
           (m_reportCommands && m_reportCommands->ExecuteCommand(id));
}

bool CVistrelView::UpdateCommand(CCmdUI& ui)
{
    return CommandMapTarget<CVistrelView>::UpdateCommand(ui) || m_commands->UpdateCommand(ui) ||
           (m_reportCommands && m_reportCommands->UpdateCommand(ui));
}

bool CVistrelView::HasCommandHandler(UINT id) const
{
    return CommandMapTarget<CVistrelView>::HasCommandHandler(id) || m_commands->HasCommandHandler(id) ||
           (m_reportCommands && m_reportCommands->HasCommandHandler(id));
}

void CVistrelView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_dispWnd->setGeometry(0, 0, event->size().width(), event->size().height());
    if (IsZoomFit())
        ApplyFitRatio();
}

void CVistrelView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_initialUpdateDone) {
        m_initialUpdateDone = true;
        OnInitialUpdate();
    }
}

void CVistrelView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_dispWnd->setFocus();
    if (m_active)
        UpdateStatusText();
}

// ---------------------------------------------------------------------------------------------------------------
// Live picture and full screen: the capture path fills these.

namespace {

// The focus indicator draws its square on live frames while its module is loaded.
bool FocusIndicatorLoaded()
{
    CVistrelApp* app = GetVistrelApp();
    if (!app)
        return false;
    const std::string path = AppEnvironment().GetProgramModuleFolder(AppFolder::PlugIn) + kFocusIndicatorModule;
    return app->IsPlugInModuleLoaded(path);
}

}  // namespace

int CVistrelView::StartLive()
{
    if (m_document)
        m_document->GetGObjectContainer().SetNoRedraw(1);
    SetLive(true);
    if (!m_liveMailbox) {
        m_liveMailbox = std::make_shared<LiveFrameMailbox>(this, [this] { TakeLiveFrame(); });
        SetLiveMailbox(m_liveMailbox);
    }
    m_liveFramesShown = 0;
    m_liveFocusSquare = FocusIndicatorLoaded();
    return 1;
}

int CVistrelView::StopLive()
{
    if (m_document)
        m_document->GetGObjectContainer().SetNoRedraw(0);
    if (!m_liveMailbox) {
        SetLive(false);
        return 1;
    }
    // Frames already on their way find no mailbox, or one that wakes no one; queued wakes die with this view.
    ReleaseLiveMailbox(m_liveMailbox.get());
    m_liveMailbox->Detach();
    m_liveMailbox.reset();
    SetLive(false);
    m_dispWnd->SetLivePicture(QImage());
    m_liveComposer.reset();  // its picture buffers are not kept while nothing is live
    return 0;
}

void CVistrelView::RefreshLiveDecorations()
{
    m_liveFocusSquare = FocusIndicatorLoaded();
}

uint64_t CVistrelView::LiveFramesDropped() const
{
    return m_liveMailbox ? m_liveMailbox->Dropped() : 0;
}

void CVistrelView::TakeLiveFrame()
{
    if (!m_liveMailbox)
        return;
    if (!m_live || !m_document) {
        CQvImage unshown;  // the mailbox is emptied, so that the next frame wakes this view again
        m_liveMailbox->Take(unshown);
        return;
    }
    std::lock_guard lock(DisplayFrameLock());
    // The document holds the live frame, so what measures and reads pixels works on the live image. The frame was
    // converted on the camera's thread: here it only changes places with the document's former image, whose buffer
    // a later frame is written into.
    if (!m_liveMailbox->Take(m_document->GetImage()))
        return;
    ShowLivePicture();
}

int CVistrelView::DrawLiveFrame(const BITMAPINFOHEADER* packedDib)
{
    if (!m_live || !m_document || !packedDib)
        return 1;
    std::lock_guard lock(DisplayFrameLock());
    if (!DIB2QVIMG(packedDib, &m_document->GetImage(), 0))
        return 1;
    ShowLivePicture();
    return 1;
}

void CVistrelView::ShowLivePicture()
{
    LiveDecorations decorations;
    decorations.ratio = m_dispWnd->GetRatio();
    decorations.objects = &m_document->GetGObjectContainer();
    decorations.grid = &m_document->GetLatticer();
    decorations.unitsPerPixel = m_document->GetCalibKeeper().GetUnitsPerPixel();
    if (ProgramServices* program = TheProgram())
        decorations.centreCross = program->Profile().crossLineShow != 0;
    decorations.focusSquare = m_liveFocusSquare;
    if (!m_liveComposer)
        m_liveComposer = std::make_unique<LiveFrameComposer>();
    m_dispWnd->SetLivePicture(m_liveComposer->Compose(m_document->GetImage(), decorations));
    ++m_liveFramesShown;
}

int CVistrelView::ResizeLive()
{
    IAcquireHost* host = GetVistrelApp() ? GetVistrelApp()->AcquireHost() : nullptr;
    if (!host || !m_document)
        return 0;
    const bool wasLive = m_live;
    StopLive();
    host->ChangeImageSize();
    SetHostSizedPicture(*host, *m_document);
    if (wasLive)
        StartLive();
    return 1;
}

void CVistrelView::SetLive(bool live)
{
    m_live = live;
    if (m_document)
        m_document->SetLive(live);
}

void CVistrelView::ToggleFullScreen()
{
    QWidget* window = this->window();
    QPushButton* exit = m_dispWnd->ExitButton();
    if (!m_fullScreen) {
        m_fullScreen = true;
        m_fullScreenGeometry = window->saveGeometry();
        if (QMdiSubWindow* child = ChildFrame())
            child->showMaximized();
        window->showFullScreen();
        if (IAcquireHost* host = GetVistrelApp() ? GetVistrelApp()->AcquireHost() : nullptr)
            host->FullScreenMode();
        if (exit) {
            const CPoint origin = m_dispWnd->GetZoomedPoint(CPoint(0, 0));
            exit->move(std::max(0, origin.x), std::max(0, origin.y));
            exit->show();
            exit->raise();
        }
        return;
    }
    if (exit)
        exit->hide();
    if (IAcquireHost* host = GetVistrelApp() ? GetVistrelApp()->AcquireHost() : nullptr)
        host->RestoreScrRes();
    window->showNormal();
    window->restoreGeometry(m_fullScreenGeometry);
    m_fullScreen = false;
}

void CVistrelView::LeaveFullScreen()
{
    if (m_fullScreen)
        ToggleFullScreen();
}

void CVistrelView::SetAcquisitionArea(const CRect& /*area*/)
{
    // The acquisition host takes the area once the capture path is connected.
}

// ---------------------------------------------------------------------------------------------------------------
// What the display window asks of the view

void CVistrelView::ShowMousePosition(double x, double y)
{
    if (CMainFrame* frame = MainFrame())
        frame->SetMousePosition(static_cast<float>(x), static_cast<float>(y));
}

void CVistrelView::ShowObjectColours(COLORREF lineColour, COLORREF textColour)
{
    CMainFrame* frame = MainFrame();
    if (!frame)
        return;
    if (ColourPopupButton* line = frame->LineColourButton())
        line->SetColour(lineColour);
    if (ColourPopupButton* text = frame->TextColourButton())
        text->SetColour(textColour);
}

void CVistrelView::ObjectsChanged()
{
    // Input on the overlay ended. Its edits have been told by the overlay itself (the report's rows and the
    // document's modified flag follow them); what input adds is the report's view: a newly finished object has
    // its rows selected and the lists show their ends.
    CQvGObject* completed = m_completedAlive.expired() ? nullptr : m_completed;
    m_completed = nullptr;
    if (!completed)
        return;
    if (IViewReport* report = ReportManager()) {
        report->SelectObjectRows(this, {completed});
        report->ScrollToEnd(this);
    }
}

void CVistrelView::OnOverlayChanged(const GObjectChanges& changes)
{
    for (auto it = changes.added.rbegin(); it != changes.added.rend(); ++it)
        if ((*it)->GetState() == GS_FINISHED) {
            m_completed = *it;
            m_completedAlive = (*it)->GetLifeToken();
            break;
        }
    IViewReport* report = ReportManager();
    if (!report)
        return;
    report->ApplyOverlayChanges(this, changes);
    // The lists show what is selected in the overlay.
    if (changes.selectionChanged)
        report->SelectObjectRows(this, OverlaySelection());
}

std::vector<CQvGObject*> CVistrelView::OverlaySelection() const
{
    std::vector<CQvGObject*> selected;
    if (!m_document)
        return selected;
    for (CQvGObject* object : m_document->GetGObjectContainer().GetSelection())
        if (object->GetState() == GS_FINISHED)
            selected.push_back(object);
    return selected;
}

void CVistrelView::RefreshReport()
{
    IViewReport* report = ReportManager();
    if (!report || !m_document)
        return;
    // An edit made from the list keeps the list's own selection (objects gone since have no rows to select).
    const std::vector<CQvGObject*> selected = report->SelectedObjects(this);
    report->RefreshView(this);
    report->SelectObjectRows(this, selected);
}

void CVistrelView::ImageEdited()
{
    if (m_document)
        m_document->SetModifiedFlag(true);
}

void CVistrelView::RunViewCommand(UINT id)
{
    CMainFrame* frame = MainFrame();
    if (frame && m_active)
        frame->Router().Execute(id);
    else if (IsViewCommandEnabled(id))
        ExecuteCommand(id);
}

bool CVistrelView::IsViewCommandEnabled(UINT id)
{
    CMainFrame* frame = MainFrame();
    if (frame && m_active)
        return frame->Router().Query(id).enabled;
    CCmdUI ui(id);
    if (UpdateCommand(ui))
        return ui.State().enabled;
    return HasCommandHandler(id);
}

void CVistrelView::ZoomChanged()
{
    // A key or wheel zoom is the user's choice as much as a command's: fitting stops.
    LeaveFitForZoom();
    CCmdUI ui(ID_ZOOM_COMBO);
    OnUpdateZoomCombo(&ui);
}
