// What the image display window reaches outside itself: the document's members it shows and edits, the view that
// hosts it, and the plug-in views attached to the document. The window holds no document of its
// own, so that it can be driven in tests without one and never outlives what it points to: the view binds it to its
// document and unbinds it before the document goes. UI thread only.
#pragma once

#include "types/ColorRef.h"
#include "types/WinGeometry.h"
#include "types/WinTypes.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

class CCalibKeeper;
class CLatticer;
class CQvFramePool;
class CQvGObjectContainer;
struct tagActiveApp;

// The document's members the window works on; any may be null (the window then shows an empty canvas and routes
// input nowhere). None is owned.
struct DispWndDocument
{
    CQvFramePool* framePool = nullptr;
    CQvGObjectContainer* objects = nullptr;  // the measurement and annotation overlay
    CQvGObjectContainer* regions = nullptr;  // the region-of-interest overlay
    CCalibKeeper* calibration = nullptr;
    CLatticer* grid = nullptr;
    // The document's attached plug-ins: the views of the running ones (activation nonzero) receive the window's
    // input before the overlay, in the window's own (client) coordinates and Windows codes.
    const std::vector<std::unique_ptr<tagActiveApp>>* plugIns = nullptr;
    // The document the members belong to, when there is one: a modal sheet run from the window's input may close
    // it, and the window must not touch the members after it is gone.
    QPointer<QObject> owner;
};

// The view around the display window, as the window needs it. The view implements it; tests fake it.
class IDispWndHost
{
public:
    virtual ~IDispWndHost() = default;

    // While the view paints camera frames itself the window neither draws the document's image nor invalidates
    // itself after edits.
    virtual bool IsLiveView() const = 0;
    virtual bool IsFullScreen() const = 0;
    virtual void LeaveFullScreen() = 0;

    // The mouse position in calibrated units, for the status bar.
    virtual void ShowMousePosition(double x, double y) = 0;
    // The colour pickers of the main frame follow the object being drawn or the one selected.
    virtual void ShowObjectColours(COLORREF lineColour, COLORREF textColour) = 0;
    // Input on the overlay ended (its edits reach the report and the document through the overlay's own change
    // notices): the view shows what the input made, a newly finished object's rows.
    virtual void ObjectsChanged() = 0;
    // Input changed the image's pixels (the document is modified).
    virtual void ImageEdited() {}
    // The window took up a changed image (another picture, another size, pixels a plug-in changed): what describes
    // the image outside the window follows it (the status bar's image size).
    virtual void ImageChanged() {}
    // The region overlay chose the area the camera delivers (image pixels, exclusive right and bottom).
    virtual void SetAcquisitionArea(const CRect& area) = 0;
    // A command of the view, through the command route (disabled commands do nothing); and its state.
    virtual void RunViewCommand(UINT id) = 0;
    virtual bool IsViewCommandEnabled(UINT id) = 0;
    // A key zoom or a wheel zoom happened (the view refreshes what shows the zoom).
    virtual void ZoomChanged() = 0;
};
