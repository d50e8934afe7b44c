// The view of an image document inside its child frame. It hosts the image display window (which zooms, scrolls,
// paints and routes input) and adds the zoom policy (steps, fit to window with its VISTREL.INI setting), what
// activation shows in the main frame (calibration boxes, status panes, plug-in views) and the view's commands on
// the command route. The live-camera drawing and full screen belong to the capture path, which fills the named
// entry points below.
// UI thread only. The view does not own its document; it lets go of it when the document announces Closing and
// must not outlive the main frame it sits in.
#pragma once

#include "view/CImageDispWnd.h"
#include "view/DispWndSeams.h"

#include "frame/CCmdTarget.h"
#include "gobjects/GObjectChanges.h"
#include "resources/Language.h"
#include "types/WinRecords.h"

#include <QByteArray>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CMainFrame;
class CQvGObject;
class IViewReport;
class CViewCommands;
class CVistrelDoc;
class QMdiSubWindow;

// The image-size pane text: string 445 with `decimals` (0 to 10) decimals, width and height in calibrated units.
std::string FormatImageSizeText(LANGID language, int decimals, double width, double height);

class CVistrelView : public QWidget, public CommandMapTarget<CVistrelView>, public IDispWndHost
{
    Q_OBJECT

public:
    // Creates the display window and binds it to the document (which may be null until SetDocument). The view
    // leaves the document's list of views when either goes.
    explicit CVistrelView(CVistrelDoc* document, QWidget* parent = nullptr);
    ~CVistrelView() override;

    CVistrelDoc* GetDocument() const { return m_document; }
    void SetDocument(CVistrelDoc* document);
    CImageDispWnd* GetDispWnd() const { return m_dispWnd; }
    // The main frame the view sits in: the one set, else the main frame among the view's ancestors.
    CMainFrame* MainFrame() const;
    void SetMainFrame(CMainFrame* frame) { m_mainFrame = frame; }

    // After the view is in its child frame (run by the first show): the overlays follow the window, the view
    // follows the frame's activation, and an already active frame activates the view.
    void OnInitialUpdate();
    // Activation of this view (activate) or of another one (`activated`, null when none is left).
    void OnActivateView(bool activate, CVistrelView* activated, CVistrelView* deactivated);
    bool IsActiveView() const { return m_active; }
    // The colour model and the image size in calibrated units in the status panes.
    void UpdateStatusText();
    // The report dock's manager of the frame, or null.
    IViewReport* ReportManager() const;
    // Every list of the page refills (the plug-ins' too), keeping the rows selected that were (after the property
    // sheet changed objects from a list).
    void RefreshReport();

    // --- Zoom policy
    // Fit to window on or off; on remembers the zoom level and fits, off returns to it. Writes ZoomFitMode.
    void ToggleZoomFit();
    bool IsZoomFit() const { return m_dispWnd->GetZoomForm() != 0; }
    // The ratio that shows the whole image in the client area; 0 without an image.
    float FitRatio() const;

    // --- Region tool of the region commands: -1 none, 0 rectangle, 1 ellipse, 2 polygon.
    int GetRegionTool() const { return m_regionTool; }
    void SetRegionTool(int tool) { m_regionTool = tool; }

    // --- Live camera picture and full screen: entry points the capture path fills.
    int StartLive();
    // Looks again for the modules whose drawings go over live frames (the focus indicator was started).
    void RefreshLiveDecorations();
    int StopLive();
    int DrawLiveFrame(const BITMAPINFOHEADER* packedDib);
    int ResizeLive();
    void ToggleFullScreen();
    // The document's flag follows, so commands asking the document and the window asking the view agree.
    void SetLive(bool live);
    // UI thread: takes the newest frame from the live mailbox as the document's image and shows it (run when a
    // frame arrived).
    void TakeLiveFrame();
    // Frames shown since live drawing started; frames replaced in the mailbox before they were shown.
    uint64_t LiveFramesShown() const { return m_liveFramesShown; }
    uint64_t LiveFramesDropped() const;

    // --- Commands (the view's command table, the editing commands of CViewCommands, then the report commands)
    CViewCommands& Commands() const { return *m_commands; }
    bool ExecuteCommand(UINT id) override;
    bool UpdateCommand(CCmdUI& ui) override;
    bool HasCommandHandler(UINT id) const override;
    void OnZoomIn();
    void OnZoomOut();
    void OnZoomCombo();
    void OnUpdateZoomCombo(CCmdUI* ui);
    // The shared update handler of the view: it only enables the item.
    void OnUpdateEnable(CCmdUI* ui);

    // --- IDispWndHost
    bool IsLiveView() const override { return m_live; }
    bool IsFullScreen() const override { return m_fullScreen; }
    void LeaveFullScreen() override;
    void ShowMousePosition(double x, double y) override;
    void ShowObjectColours(COLORREF lineColour, COLORREF textColour) override;
    void ObjectsChanged() override;
    void ImageEdited() override;
    void ImageChanged() override;
    void SetAcquisitionArea(const CRect& area) override;
    void RunViewCommand(UINT id) override;
    bool IsViewCommandEnabled(UINT id) override;
    void ZoomChanged() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QMdiSubWindow* ChildFrame() const;
    void BindDocument();
    void OnDocumentImageChanged();
    void OnCreationStarted(bool region);
    void ApplyFitRatio();
    // Leaves fit to window for a zoom the user asked for: the zoom goes on from the fitted ratio.
    void LeaveFitForZoom();
    void SelectCalibrationInBoxes();
    int DecimalPlaces() const;
    // The overlay told what changed: the report's rows follow, and its selection the overlay's.
    void OnOverlayChanged(const GObjectChanges& changes);
    // The overlay's selected objects that have rows in the report (finished ones).
    std::vector<CQvGObject*> OverlaySelection() const;

    // Under the frame lock: composes the document's image into the live picture.
    void ShowLivePicture();

    std::shared_ptr<class LiveFrameMailbox> m_liveMailbox;
    std::unique_ptr<class LiveFrameComposer> m_liveComposer;  // its picture buffers live as long as the view
    uint64_t m_liveFramesShown = 0;
    bool m_liveFocusSquare = false;  // looked up once per live start, not per frame
    QByteArray m_fullScreenGeometry;  // the main window's, while full screen
    CVistrelDoc* m_document = nullptr;
    CImageDispWnd* m_dispWnd = nullptr;
    std::unique_ptr<CViewCommands> m_commands;
    std::unique_ptr<CCmdTarget> m_reportCommands;  // null without the report
    CMainFrame* m_mainFrame = nullptr;  // not owned; outlives the view
    bool m_activationConnected = false;
    bool m_initialUpdateDone = false;
    bool m_active = false;
    bool m_live = false;
    bool m_fullScreen = false;
    int m_regionTool = -1;
    GObjectChangeSubscription m_overlayChanges;
    // The newest object finished since the last input ended: its rows are selected when the input ends.
    CQvGObject* m_completed = nullptr;
    std::weak_ptr<const int> m_completedAlive;
    // The zoom level the zoom box was last set to.
    int m_zoomShownInBox = QVZOOM_FREE - 1;
};
