// The window an overlay container draws on and talks to, as the container sees it: invalidation, mouse capture,
// cursors, the change notice after a property edit, and a device context on the window's retained surface for
// rubber bands drawn outside a paint. CDispWndCanvas implements it on an image display window; tests implement it
// over a QImage.
// UI thread only. The container does not own its canvas.
#pragma once

#include "types/WinGeometry.h"
#include "types/WinTypes.h"

#include <memory>

class CDC;
class QWidget;

// Sent through SendNotify after the property sheet changed objects; the image view refreshes its report rows.
constexpr UINT WM_GOBJECT_PROPERTY_CHANGED = 1724;

class IGObjectCanvas
{
public:
    virtual ~IGObjectCanvas() = default;

    // rect in window pixels; null invalidates the whole window. The window repaints later, from its own surface.
    virtual void InvalidateRect(const CRect* rect) = 0;

    // Keeps mouse events coming to the window between clicks of a creation; ReleaseMouse ends it (also when the
    // mouse was not captured).
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouse() = 0;
    // Lets the cursor leave the area the window confined it to.
    virtual void ReleaseCursorClip() = 0;

    // id: one of this library's creation cursors (4010, 4011, 4012) or a system cursor id (32642 to 32646).
    virtual void SetCursor(UINT id) = 0;

    // A notice for the window's owner (WM_GOBJECT_PROPERTY_CHANGED), delivered before the call returns.
    virtual void SendNotify(UINT message) = 0;

    // A device context on the window's retained surface; what is drawn into it shows after the window's next
    // update. Null when the window has no surface yet.
    virtual std::unique_ptr<CDC> GetSurfaceDC() = 0;

    // The window itself, the parent of the property sheets opened for it; null when there is no widget.
    virtual QWidget* GetWindow() { return nullptr; }
};
