// The canvas of an overlay on an image display window: the container's invalidations mark the window's retained
// surface for redrawing (its OnDraw draws image and overlay whole), mouse capture and cursors go to the window's
// viewport, and rubber bands draw into the retained surface through a client DC. The window's owner receives the
// container's notices through a handler it sets. UI thread only; the window must outlive the canvas.
#pragma once

#include "gobjects/GObjectCanvas.h"

#include "types/VistrelExport.h"

#include <functional>

class CQvScrollWnd;

class VISTREL_EXPORT CDispWndCanvas : public IGObjectCanvas
{
public:
    explicit CDispWndCanvas(CQvScrollWnd* window);
    ~CDispWndCanvas() override;

    // Called with each notice of SendNotify; none by default.
    void SetNotifyHandler(std::function<void(UINT)> handler);

    void InvalidateRect(const CRect* rect) override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    void ReleaseCursorClip() override;
    void SetCursor(UINT id) override;
    void SendNotify(UINT message) override;
    std::unique_ptr<CDC> GetSurfaceDC() override;
    QWidget* GetWindow() override;

private:
    CQvScrollWnd* m_window;
    std::function<void(UINT)> m_notify;
};
