// The base of every plug-in view: one menu entry's operation on one document. It holds what the host lent it (the
// document's frame pool and calibration and the document's view window) and reaches the host's display through the
// calls the host installed (RedrawWindow, UpdateCanvasSize). The host owns the frame pool, calibration and window;
// whoever created the view (the host, through CPlgApplication::CreatePlgView) deletes it through the virtual
// destructor. UI thread only.
//
// The virtual operations are part of the frozen contract (PlugInContract.h), in this slot order: destructor, Run,
// OnUpdatedImage, CreateReportControl, GetReportControl, then the input and window handlers as declared below.
// Do not add, remove or reorder them without raising the contract version. The handlers receive the display
// window's input in window terms: mouse flags MK_* and virtual-key codes of types/WinUser.h, points in the view
// window's client coordinates; the window handles of the original are the view window's widgets (QWidget*).
#pragma once

#include "types/VistrelExport.h"
#include "types/WinGeometry.h"
#include "types/WinTypes.h"

#include <QPointer>

#include <functional>

class CCalibKeeper;
class CPlgView;
class CQvFramePool;
class CReportListCtrl;
class QWidget;

// A window's new or proposed place, as OnWindowPosChanged / OnWindowPosChanging receive it.
struct WINDOWPOS
{
    QWidget* hwnd = nullptr;
    QWidget* hwndInsertAfter = nullptr;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
};

// What the host lends a view: the document's data and the calls that reach its display.
struct PlgViewHost
{
    QWidget* viewWindow = nullptr;
    CQvFramePool* framePool = nullptr;
    CCalibKeeper* calibration = nullptr;
    std::function<void(QWidget* viewWindow)> redrawWindow;      // repaint from the current image
    std::function<void(QWidget* viewWindow)> updateCanvasSize;  // adopt a changed image size
};

// The further calls a resident view needs of its host.
struct PlgViewCalls
{
    // A point of the view window's client area in image pixels; x = -1 when it lies outside the image.
    std::function<CPoint(QWidget* viewWindow, CPoint point)> clientToImage;
    // Detaches the view from its document: the view's OnClose runs, then the host deletes the view.
    std::function<void(CPlgView* view)> destroyView;
};

class VISTREL_EXPORT CPlgView
{
public:
    CPlgView();
    virtual ~CPlgView();
    CPlgView(const CPlgView&) = delete;
    CPlgView& operator=(const CPlgView&) = delete;

    // The entry's operation on the current image: 1 when it ran, 0 when nothing was done (empty image, refused
    // type, ...). Does nothing and returns 0 by default.
    virtual int Run();
    // The document's image changed outside the view.
    virtual void OnUpdatedImage();
    // A view that shows a report makes its control here, as a child of `parent` (the document's report page), and
    // returns it; the window text of the control titles the report tab. Null (the default): no report.
    virtual CReportListCtrl* CreateReportControl(QWidget* parent);
    // The control CreateReportControl made, or null (also after the page destroyed it).
    virtual CReportListCtrl* GetReportControl();

    virtual void OnActivate(int active);
    virtual void OnChar(UINT character, UINT repeatCount, UINT flags);
    virtual void OnClose();
    virtual void OnDestroy();
    virtual void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
    virtual void OnKeyUp(UINT key, UINT repeatCount, UINT flags);
    virtual void OnKillFocus(QWidget* newFocus);
    virtual void OnLButtonDblClk(UINT flags, CPoint point);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnMButtonDblClk(UINT flags, CPoint point);
    virtual void OnMButtonDown(UINT flags, CPoint point);
    virtual void OnMButtonUp(UINT flags, CPoint point);
    virtual void OnMouseMove(UINT flags, CPoint point);
    // The same move in image pixel coordinates, sent after OnMouseMove while the pointer is over the image.
    virtual void OnMouseMoveOnImage(UINT flags, CPoint point);
    virtual void OnMove(int x, int y);
    virtual void OnRButtonDblClk(UINT flags, CPoint point);
    virtual void OnRButtonDown(UINT flags, CPoint point);
    virtual void OnRButtonUp(UINT flags, CPoint point);
    // TRUE when the view set the cursor itself; FALSE (the default) lets the window set its own.
    virtual BOOL OnSetCursor(QWidget* window, UINT hitTest, UINT message);
    virtual void OnSetFocus(QWidget* oldFocus);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnSysChar(UINT character, UINT repeatCount, UINT flags);
    virtual void OnTimer(UINT id);
    virtual void OnWindowPosChanged(WINDOWPOS* position);
    virtual void OnWindowPosChanging(WINDOWPOS* position);

    // The document's frame pool; null before the host attached the view.
    CQvFramePool* GetFramePool() const { return m_host.framePool; }
    CCalibKeeper* GetCalibration() const { return m_host.calibration; }
    QWidget* GetViewWindow() const { return m_host.viewWindow; }
    // The parent for the view's dialogs: the view window's top-level window (null without one). Not the view window
    // itself, which goes with its document: a document closed while the dialog is open would delete the dialog
    // under the running view.
    QWidget* GetDialogParent() const;
    // The host's display adopts a changed image size; nothing before the view is attached.
    void UpdateCanvasSize();
    // The document's view repaints from the current image; nothing before the view is attached.
    void RedrawWindow();
    // A point of the view window's client area in image pixels (the second argument is not read); x = -1 outside
    // the image, and without a host that can tell.
    CPoint ClientToImage(CPoint point, int reserved = 0) const;
    // The document's calibration, as the original interface names it.
    CCalibKeeper* GetCalibKeeper() const { return m_host.calibration; }
    // Asks the host to detach this view from its document: OnClose runs, then the host deletes the view, so the
    // caller must not touch it afterwards. Nothing without a host.
    void Destroy();

    // Host side: lends the view a document (the plug-in manager does this before Run).
    void AttachHost(const PlgViewHost& host) { m_host = host; }
    const PlgViewHost& GetHost() const { return m_host; }
    void AttachHostCalls(const PlgViewCalls& calls) { m_calls = calls; }

protected:
    // The report control a derived CreateReportControl made; the report page owns the widget.
    QPointer<CReportListCtrl> m_reportControl;

private:
    PlgViewHost m_host;
    PlgViewCalls m_calls;
};
