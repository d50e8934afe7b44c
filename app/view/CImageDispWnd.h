// The window in which an image document is shown and measured: zoom and scroll come from CQvDispWnd; this adds the
// routing of every mouse and key event (plug-in views first, then the overlay or, in region mode, the region
// overlay, with points in image pixels), the tool-mode word that follows the overlay's creation state, cursors,
// the context menu, and the painting of image, overlay and grid into the retained surface under the program's
// frame lock (paint only copies the surface). Both overlays always carry the window's ratio, scroll origin and
// canvas size. The window is also the overlays' canvas (IGObjectCanvas).
// UI thread only. The window owns nothing of the document: it is bound to the document's members (Bind) and to its
// view (SetHost), both of which must outlive the binding or be unbound first.
#pragma once

#include "view/DispWndSeams.h"

#include "gobjects/GObjectCanvas.h"
#include "qvimage/CQvDispWnd.h"

#include <QPointer>

#include <functional>
#include <mutex>
#include <vector>

class CQvGObject;
class CQvImage;
class QMenu;
class QTimer;
class QPushButton;

// The program-wide frame lock: the program's own while the program objects exist, else one of this module's (tests).
std::recursive_mutex& DisplayFrameLock();

class CImageDispWnd : public CQvDispWnd, public IGObjectCanvas
{
    Q_OBJECT

public:
    // Bits of the tool-mode word.
    static constexpr int kSelectionMode = 0x01;
    static constexpr int kHandTool = 0x02;
    static constexpr int kCalibrationMode = 0x04;
    static constexpr int kCreating = 0x08;
    static constexpr int kRegionMode = 0x10;
    static constexpr int kPlugInBlocked = 0x20;
    // Every bit that keeps mouse input from the plug-in views; right-button-down leaves calibration mode out.
    static constexpr int kPlugInMouseMask = 0x3F;
    static constexpr int kPlugInRightDownMask = 0x3B;

    // The "Exit" button of full screen and the plug-in window messages keep the system's numbers.
    static constexpr UINT kExitButtonId = 1038;
    static constexpr UINT kZoomNoticeMessage = 1324;

    // The window's name, for finding it among the view's children.
    static constexpr const char* kWindowName = "Progzub Image Display Window";

    explicit CImageDispWnd(QWidget* parent = nullptr);
    ~CImageDispWnd() override;

    // The document's members (any may be null) and the view. Binding sets both overlays' canvas to this window,
    // switches pixel centring on and synchronises them.
    void Bind(const DispWndDocument& document);
    void Unbind();
    const DispWndDocument& Document() const { return m_doc; }
    void SetHost(IDispWndHost* host) { m_host = host; }

    // The document's current image, or null.
    CQvImage* Image() const;

    // --- Tool modes
    int GetToolMode() const { return m_toolMode; }
    // Entering or leaving calibration mode starts the calibration line's clicks afresh.
    void SetToolMode(int mode) { ChangeToolMode(mode); }
    void ModifyToolMode(int clear, int set) { ChangeToolMode((m_toolMode & ~clear) | set); }
    // The context-menu latch: cleared when a creation ends in selection mode, so that the right click which
    // ends a drawing does not open the menu.
    int GetContextLatch() const { return m_contextLatch; }
    void SetContextLatch(int latch) { m_contextLatch = latch; }

    // --- Zoom. The float form acts only while the zoom-form flag (fit to window) is set.
    void Zoom(int in, CPoint anchor = QVZOOM_AT_CENTRE) override;
    void SetZoom(_QVZOOM level, CPoint anchor = QVZOOM_AT_CENTRE) override;
    void SetZoom(float ratio, CPoint anchor = QVZOOM_AT_CENTRE) override;
    int GetZoomForm() const { return m_zoomForm; }
    void SetZoomForm(int form) { m_zoomForm = form; }
    // The zoom level remembered when fit to window was switched on.
    int GetSavedZoomLevel() const { return m_savedZoomLevel; }
    void SetSavedZoomLevel(int level) { m_savedZoomLevel = level; }

    // Both overlays: the window's ratio, the scroll origin and the image size as canvas.
    void SyncContainers();
    // After an edit of the overlay by a command: report rows, data labels, a repaint unless live.
    void AfterObjectEdit();
    // The image changed under the window (a plug-in, a command, the document): canvas size, overlays, repaint; then
    // the host and ImageChanged tell whatever shows the image outside the window.
    void OnImageChanged();
    // Region overlay out of selection mode and empty.
    void ClearRegion();
    // Moves the pointer to the window's centre in 30 steps 10 ms apart, then takes the focus (a drawing tool was
    // chosen). Returns at once; the glide runs on the event loop and ends early at the next button press.
    void GlideCursorToCentre();
    void StopGlide();
    // Activates (1) or deactivates (0) the attached plug-in views; a view that never ran is run first.
    void ActivatePlugInViews(int activate);
    // The tool-mode step after a mouse or key message (512 move, 513/514 left down/up, 516/517 right down/up,
    // 256 key down).
    void ToolModeStep(UINT message);
    // Lets the overlay work out what drawing works out (the labels' extents) without painting anything, so that
    // what it would save is known before the first paint.
    void LayOutOverlay();

    // The image 1:1 as a 24-bit picture: flag 0x01 the image (else black), 0x02 / 0x04 every object drawn over it.
    QImage RenderToImage(int flags);
    // Draws the measurements (kBurnMeasurements) and / or the annotations (kBurnAnnotations) into the pixels and
    // takes them out of the overlay; the image becomes 24-bit colour. The caller keeps the undo point.
    static constexpr int kBurnMeasurements = 0x02;
    static constexpr int kBurnAnnotations = 0x04;
    void BurnObjects(int flags);
    // The image's region of interest from the region overlay's shape (kind and points clamped to the image).
    void SetRegionOfInterestFromOverlay();

    // The context menu's command ids for the current state (empty: none shown, the latch was only set).
    std::vector<UINT> ContextMenuCommands();
    QPushButton* ExitButton() const { return m_exitButton; }
    // The composed live picture painted at the image origin while the view is live (null: an empty canvas).
    void SetLivePicture(QImage picture);
    const QImage& LivePicture() const { return m_livePicture; }

    // --- Handlers
    int OnCreate() override;
    void OnDraw(CDC* dc) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnRButtonDown(UINT flags, CPoint point) override;
    void OnRButtonUp(UINT flags, CPoint point) override;
    void OnRButtonDblClk(UINT flags, CPoint point) override;
    void OnMButtonDown(UINT flags, CPoint point) override;
    void OnMButtonUp(UINT flags, CPoint point) override;
    void OnMButtonDblClk(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point) override;
    void OnKeyDown(UINT key, UINT repeatCount, UINT flags) override;
    void OnKeyUp(UINT key, UINT repeatCount, UINT flags) override;
    void OnChar(UINT character, UINT repeatCount, UINT flags) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnTimer(UINT id) override;
    void OnScrollPositionChanged() override;

    // --- IGObjectCanvas
    void InvalidateRect(const CRect* rect) override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    void ReleaseCursorClip() override;
    void SetCursor(UINT id) override;
    void SendNotify(UINT message) override;
    std::unique_ptr<CDC> GetSurfaceDC() override;
    QWidget* GetWindow() override { return this; }

signals:
    // For the panels that follow the window (the magnifier and navigator): the mouse moved to that client point;
    // the window has drawn its surface anew.
    void CursorMoved(QPoint clientPoint);
    void Drawn();
    // The image under the window changed (pixels or size), whoever changed it: the panels that keep a copy of the
    // picture take it again.
    void ImageChanged();
    // A creation of an overlay object ended (completed or given up): the tool palette drops its pick.
    void CreationEnded();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // While the window holds the mouse it watches the application's presses: one outside the viewport makes it
    // let go before the press is delivered.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ChangeToolMode(int mode)
    {
        if ((mode ^ m_toolMode) & kCalibrationMode)
            m_calibrationClicks = 0;
        m_toolMode = mode;
    }
    bool IsLive() const { return m_host && m_host->IsLiveView(); }
    // The overlay that takes input now.
    CQvGObjectContainer* InputContainer() const;
    template <class Call>
    void ForEachPlugInView(Call call);
    // Offered to the plug-in views while none of the mask's bits is set.
    template <class Call>
    void OfferToPlugIns(int mask, Call call);
    void InvalidateUnlessLive();
    void DrawGrid(CDC* dc);
    void RegionToolStep(UINT message);
    void ChooseCursor(CPoint point);
    void ShowColoursOf(const CQvGObject* object, bool creating);
    // Taken before a call that may run a modal sheet (the overlay finishing a text or a scale marker, a view
    // command): the sheet's event loop may close the document, and this window with it.
    class DocumentWatch;

    DispWndDocument m_doc;
    IDispWndHost* m_host = nullptr;
    int m_toolMode = 0;
    int m_contextLatch = 1;
    int m_zoomForm = 0;
    int m_savedZoomLevel = QVZOOM_1;
    QImage m_livePicture;
    int m_calibrationClicks = 0;
    QPushButton* m_exitButton = nullptr;
    QPointer<QMenu> m_contextMenu;
    QPointer<QTimer> m_glide;  // the pointer's glide to the centre, while it runs
};
