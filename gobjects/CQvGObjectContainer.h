// The overlay of one image: owns its objects (paint order, the last one on top), creates them by shape code,
// turns the image window's mouse and key events (points already in image pixels) into creation steps, selection,
// drags and deletion, paints them, picks the cursor, runs the property sheet and reads and writes the overlay
// stream and the clipboard. The window is reached only through IGObjectCanvas.
// UI thread only, not safe for concurrent calls. The last shape, palette index and naming counter are shared by every
// container of the library; everything else (the last mouse point and the rubber bands among it) is each
// container's, so that two windows never act on each other's mouse.
#pragma once

#include "gobjects/GObjectCanvas.h"
#include "gobjects/GObjectChanges.h"
#include "gobjects/GObjectPropertySheet.h"
#include "gobjects/GObjectTypes.h"

#include "types/ColorRef.h"
#include "types/VistrelExport.h"
#include "types/WinGeometry.h"
#include "types/WinTypes.h"

#include <cstdio>
#include <list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CCalibKeeper;
class CDC;
class CObjPropertySheet;
class CQvGObject;
class CQvGObjectPropertyTotal;
class CQvImage;
class GObjectChangeTracker;
class GObjectHitIndex;
class LeReader;

using GObjectList = std::list<CQvGObject*>;

class VISTREL_EXPORT CQvGObjectContainer
{
public:
    // Empty lists, then Initialize.
    CQvGObjectContainer();
    // RemoveAll.
    virtual ~CQvGObjectContainer();
    CQvGObjectContainer(const CQvGObjectContainer&) = delete;
    CQvGObjectContainer& operator=(const CQvGObjectContainer&) = delete;

    // Copies the set's defaults for the shape onto the object.
    virtual void GetDefaultProperty(CQvGObject* obj, OBJ_SHAPE shape);
    void GetLatestProperty(CQvGObject* obj, OBJ_SHAPE shape) { GetDefaultProperty(obj, shape); }
    // Stores the object's attributes as the set's defaults for the shape.
    int SetDefaultProperty(CQvGObject* obj, OBJ_SHAPE shape);
    int SetLatestProperty(CQvGObject* obj, OBJ_SHAPE shape) { return SetDefaultProperty(obj, shape); }
    // Copies a whole set into the container's set.
    void SetBaseProperty(const CQvGObjectPropertyTotal* set);
    CQvGObjectPropertyTotal* GetBaseProperty() const { return m_pPropertyTotal; }
    void SetDefaultLineColor(COLORREF color, OBJ_SHAPE shape);
    void SetDefaultFontColor(COLORREF color, OBJ_SHAPE shape);
    COLORREF GetDefaultLineColor(OBJ_SHAPE shape) const;
    COLORREF GetDefaultFontColor(OBJ_SHAPE shape) const;

    // Every field back to its default, the mouse point to (0,0), the palette to its start. Objects still in the
    // lists are deleted (nothing is left behind to leak).
    void Initialize();
    // Empties the selection and deletes every object; a creation in progress ends (state 1, the canvas is not
    // called). The container stays usable.
    void RemoveAll();

    // A new object of the shape's class with its kind, or null for a code that creates none. The caller owns it
    // (deleted through its RemoveAll).
    CQvGObject* CreateObject(OBJ_SHAPE shape);
    // Starts creating an object: it becomes the list's top and the only selected object, state 2. An unfinished
    // creation is cancelled first. 0 (and no change) for a code that creates no object.
    int AddObject(OBJ_SHAPE shape);
    // Abandons the object being created (states 2 and 4 only): state 1, the object deleted, its number returned
    // to the naming counter when no later object took one.
    void CancelObject();
    // Takes over the object's state after a creation step; a finished object starts the next one when automatic
    // repetition is on.
    void RepeatCreatingObject(CQvGObject* obj);
    // Deletes one object (a Perpendicular with a foot grabbed loses only that foot; the object being created is
    // cancelled as CancelObject does) / every selected object.
    void DeleteObject(CQvGObject* obj);
    void DeleteObject();
    // Deletes every measurement / every annotation.
    void RemoveMeasurement();
    void RemoveAnnotation();

    // Nonzero: state 16. Zero: clears bit 16 (the mouse handlers then do nothing until AddObject or
    // SelectionMode(1)).
    void SelectionMode(int on);
    // Replaces the selection by the objects the rectangle (image pixels) touches, topmost first; hidden scale
    // markers are never taken. firstOnly: only the topmost one, and the result is 1 when one was taken.
    // Whatever replaces or empties the selection (these, UnSelectAll, a paste) cancels an unfinished creation
    // first: the object being created is the selection's first.
    int SelectObjects(CRect rect, int firstOnly);
    // Selects an object of this container (keep: add to the selection); returns the selection count.
    int SelectObjects(CQvGObject* object, int keep);
    // The same as selecting the first object with keep and each further one with keep 1, in linear time (the
    // one-at-a-time call searches the lists for every object): objects of other containers and repeats are
    // skipped, the selection order is the order given, and the canvas is invalidated once.
    int SelectObjects(const std::vector<CQvGObject*>& objects, int keep);
    int SelectObjects(const std::string& name, int keep);
    void UnSelectAll();
    // The topmost object the rectangle (image pixels) hits, hidden scale markers skipped; null when none.
    CQvGObject* HitTest(CRect rect);
    // Hit tests build regions only for the objects whose box (kept by the container, in image cells) the rectangle
    // meets. The container keeps the boxes right through its own calls; a paint notices objects whose points or
    // labels moved, and so does every hit test for the last 64 objects the container handed out (the creating
    // object, GetFirstObject, HitTest); the lists returned non-const below count as changed. Code that changes
    // objects otherwise (a property or a shape's settings, or points and labels of other objects through
    // pointers kept from the lists) calls this before the next hit test. It also settles the change notices now:
    // the selected objects are compared with what they stored (see AddChangeListener).
    void ObjectsChanged();

    // --- Change notices
    // The listener hears, after each call of the container that changed something (nested calls: when the
    // outermost one ends), what changed, in one GObjectChanges; nothing is kept for it while no one listens. An
    // object being drawn joins when it is finished (or is left behind unfinished); a drag is one change, told when
    // the button goes up. The selected objects (and those HitTest or GetFirstObject handed out) are the ones
    // compared with what they stored before: code that changes an object that is not selected through a pointer
    // names it (NoteObjectEdited); code that changes selected ones, or puts objects into or takes them out of a
    // list handed out, calls ObjectsChanged. A listener may call the container; what that changes is told after
    // every listener heard the first. Returns the id for RemoveChangeListener.
    int AddChangeListener(GObjectChangeListener listener);
    void RemoveChangeListener(int id);
    // The object (of this container) was changed through a pointer: told as changed when the current call ends,
    // or at once outside any call.
    void NoteObjectEdited(CQvGObject* obj);
    // Lives exactly as long as the container (see CQvGObject::GetLifeToken).
    std::weak_ptr<const int> GetLifeToken() const { return m_lifeToken; }

    CQvGObject* GetCreatingObject() const;
    CQvGObject* GetFirstObject(OBJ_SHAPE shape) const;
    int GetSelectedObjectCount() const { return static_cast<int>(m_selected.size()); }
    int GetMeasurementObjectCount() const;

    // Input, points in image pixels. flags: MK_LBUTTON (types/WinUser.h) while the left button is down. dc draws
    // the rubber bands; it must be a context on the canvas's retained surface.
    void LButtonDown(UINT flags, CPoint p);
    void MouseMove(CDC* dc, UINT flags, CPoint p);
    void LButtonUp(UINT flags, CPoint p);
    void RButtonDown(UINT flags, CPoint p);
    void RButtonUp(UINT, CPoint) {}
    // VK_ESCAPE (27) cancels a creation; VK_DELETE (46) deletes the selection in selection mode.
    void KeyDown(UINT key, UINT repeat, UINT flags);

    // Moves every selected object by delta (image pixels), with XOR feedback on dc.
    void MoveTo(CDC* dc, CSize delta);
    // 1 when the container chose the cursor; 0 leaves the window's own.
    int SetCursorShape(CPoint p);
    // The filter of Draw: what it paints.
    static constexpr int kDrawMeasurements = 0;
    static constexpr int kDrawAnnotations = 1;
    static constexpr int kDrawAll = 2;            // any value but the others
    static constexpr int kDrawAllWithGrips = -1;  // all, and the selection's grips in selection mode
    void Draw(CDC* dc, int filter);
    // The drawing origin: the scroll origin plus the pixel-centring shift.
    CPoint GetRelativePoint() const;

    // UpdateDataLabel on every object.
    void UpdateAllObjectDataLabel();
    void ShowScaleObject(int show);

    // The property sheet for the selection (or the measurement defaults when nothing is selected); 1 when
    // something changed, and then wnd (if any) gets WM_GOBJECT_PROPERTY_CHANGED. 0 when the one selected object
    // was deleted while its sheet ran.
    int OnPropertyAll(IGObjectCanvas* wnd);
    // Installs a step that shows the sheet in place of the container's own CObjPropertySheet (tests, or a program
    // with a sheet of its own); without one the container's sheet runs, through RunModal as every dialog.
    void SetPropertySheetRunner(GObjectSheetRunner runner) { m_sheetRunner = std::move(runner); }
    // Runs the sheet for the request (the objects' own property pages come here too); IDOK when accepted.
    // When the edited object (or the container) was deleted while the sheet ran, no page wrote anything, the result
    // is IDCANCEL and *aborted (if given) is set: the caller must then touch neither the object nor, unless it
    // checked, the container.
    int RunPropertySheet(const GObjectSheetRequest& request, bool* aborted = nullptr);
    // The sheet the container runs when no runner was installed; made on first use and kept until the container
    // goes (RemoveAll keeps it).
    CObjPropertySheet& GetPropertySheet();

    // The overlay stream at the file's position. Read appends the objects only when the whole stream was good
    // and returns 1; otherwise it returns 0 and the container (objects, settings, defaults) is unchanged. A canvas
    // or scroll origin no window could have set (IsPlausibleView) makes a stream bad.
    // Reading replaces the container's default set (the library-wide one, shared) with the stream's.
    int Write(FILE* file);
    int Read(FILE* file);
    // Selected objects to the clipboard / objects from it (selected, 10 image pixels right of and below where
    // they were copied). 1 when something was copied or pasted; a bad clipboard changes nothing.
    int CopyToClipboard();
    int PasteFromClipboard();

    // Names a new object "<shape name>-<number>" from the library-wide counter; labels and annotations get none.
    void SetNameWithIndexed(CQvGObject* obj);

    // Grouping, ordering and rotation are not offered; the program's commands call these and nothing happens.
    void GroupObject() {}
    void UnGroupObject() {}
    void SendToBack() {}
    void BringToFront() {}
    void SendToOneStepBack() {}
    void BrintToOneStepFront() {}
    void SetRotatioReady(int) {}

    void SetCanvasWnd(IGObjectCanvas* canvas) { m_canvas = canvas; }
    IGObjectCanvas* GetCanvasWnd() const { return m_canvas; }
    void SetCanvasSize(CSize size)
    {
        if (size != m_canvasSize)
            BoxesMayHaveChanged();
        m_canvasSize = size;
    }
    CSize GetCanvasSize() const { return m_canvasSize; }
    void SetRatio(float ratio)
    {
        if (ratio != m_ratio)
            BoxesMayHaveChanged();
        m_ratio = ratio;
    }
    float GetRatio() const { return m_ratio; }
    void SetRelative(CPoint origin) { m_origin = origin; }
    CPoint GetRelative() const { return m_origin; }
    void SetPixelCenter(int on) { m_pixelCenter = on; }
    int GetPixelCenter() const { return m_pixelCenter; }
    GOBJ_STATE GetObjState() const { return m_state; }
    float GetVersion() const { return m_version; }
    void SetAutoChangeColorMode(int on) { m_autoColor = on; }
    int GetAutoChangeColorMode() const { return m_autoColor; }
    void SetAutoRepeatCreatingObject(int on) { m_autoRepeat = on; }
    int GetAutoRepeatCreatingObject() const { return m_autoRepeat; }
    void SetDecimalPointRange(int decimals)
    {
        if (decimals != m_decimals)
            LabelsMayHaveChanged();
        m_decimals = decimals;
    }
    int GetDecimalPointRange() const { return m_decimals; }
    void SetDisplayName(int on)
    {
        if (on != m_displayName)
            LabelsMayHaveChanged();
        m_displayName = on;
    }
    int GetDisplayName() const { return m_displayName; }
    void SetDisplayData(int on)
    {
        if (on != m_displayData)
            LabelsMayHaveChanged();
        m_displayData = on;
    }
    int GetDisplayData() const { return m_displayData; }
    void SetDisplayMark(int on)
    {
        if (on != m_displayMark)
            LabelsMayHaveChanged();
        m_displayMark = on;
    }
    int GetDisplayMark() const { return m_displayMark; }
    void SetDisplayRealtime(int on) { m_displayRealtime = on; }
    int GetDisplayRealtime() const { return m_displayRealtime; }
    void SetUseWindowCursor(int on) { m_useWindowCursor = on; }
    int GetUseWindowCursor() const { return m_useWindowCursor; }
    void SetValueTitle(int on)
    {
        if (on != m_valueTitle)
            LabelsMayHaveChanged();
        m_valueTitle = on;
    }
    int IsSetValueTitle() const { return m_valueTitle; }
    void SetShowCalibrationScale(int on) { m_showScale = on; }
    int GetShowCalibrationScale() const { return m_showScale; }
    // Nonzero: the container invalidates nothing (the caller repaints when it is done).
    void SetNoRedraw(int on) { m_noRedraw = on; }
    int GetNoRedraw() const { return m_noRedraw; }
    void SetActiveImage(CQvImage* image) { m_activeImage = image; }
    CQvImage* GetActiveImage() const { return m_activeImage; }
    // Stores the calibration (not owned) and points the default set back at the library-wide one.
    void ConnectCalibKeeper(CCalibKeeper* calib);
    CCalibKeeper* GetCalibKeeper() const { return m_calib; }

    // Whoever holds these may change objects and the lists: the boxes of hit testing are checked again on the next
    // hit test, and the next settling of the change notices compares the list with the objects it told of.
    // The object list and the selection to read (reading changes neither hit boxes nor notices).
    const GObjectList& GetObjects() const { return m_objects; }
    const GObjectList& GetSelection() const { return m_selected; }
    GObjectList* GetObjList()
    {
        ListsHandedOut();
        return &m_objects;
    }
    GObjectList& GetMainObjList()
    {
        ListsHandedOut();
        return m_objects;
    }
    GObjectList* GetSelectedObjList()
    {
        ListsHandedOut();
        return &m_selected;
    }
    GObjectList& GetSelectObjList()
    {
        ListsHandedOut();
        return m_selected;
    }

    // Invalidates the whole canvas unless redrawing is off or there is no canvas.
    void InvalidateCanvas();

private:
    // Shared by every container of the library.
    static OBJ_SHAPE m_LastShape;
    static int s_paletteIndex;
    static int s_nameCounter;

    bool IsHiddenScaleMarker(const CQvGObject* obj) const;
    // Opens one of the container's calls for the change notices; the outermost one settles them when it ends (if
    // the container still lives).
    class ChangeScope;
    // Works out what changed since the last settling and tells the listeners.
    void SettleChanges();
    void ListsHandedOut();
    // The object being drawn, when one is (it is not part of the overlay yet).
    CQvGObject* CreatingOrNull() const;
    // Appends to the selection; a selected object may be edited next, so its record is noted first.
    void AddToSelection(CQvGObject* obj);
    // UpdateAllObjectDataLabel's result after input: only the selected objects are relabelled while every other
    // label is known to be up to date.
    void RefreshDataLabels();
    // Relabels one object; true when its label's text changed.
    bool RelabelObject(CQvGObject* obj);
    // Tells the input handlers whether the object being created, or this container, died under them.
    class CreationWatch;
    // GetCreatingObject for the container's own use: the object is not handed out.
    CQvGObject* CreatingObject() const { return m_selected.empty() ? nullptr : m_selected.front(); }
    // A setting that sizes labels / every hit region changed: label boxes / all boxes are taken again. A label
    // setting changed while painting (a label's unit mark switched off for its paint) changes nothing lasting.
    void LabelsMayHaveChanged();
    void BoxesMayHaveChanged();
    // The object changed or is about to be deleted.
    void ObjectMoved(const CQvGObject* obj);
    // Clears the label-hit flags a test of every object above `lowestTested` (a position in the list, -1 for all)
    // would have cleared, for the objects that were not tested; then notes which objects carry the flag. The
    // entries of m_labelHits from `testedFrom` on were noted by the test just made.
    void SettleLabelHits(const CRect& rect, int64_t lowestTested, size_t testedFrom);
    void ForgetLabelHit(const CQvGObject* obj);
    void ClearSelection();
    // Takes obj out of the object list and deletes it; false when it is not in the list.
    bool RemoveFromList(CQvGObject* obj);
    // Draws (or, drawn twice, erases) the rubber-band rectangle given in image pixels.
    void DrawRubberBand(CDC* dc, CRect imageRect) const;
    void DragSelection(CDC* dc, CPoint p);
    // One object record (shape code first); null, with nothing left allocated, when the record is bad.
    CQvGObject* ReadObjectRecord(LeReader& in, float version);
    // Object records of a clipboard file (after its marker); 0 and nothing pasted when one is bad.
    int PasteRecords(FILE* file);
    // A picture (a block holding a packed DIB) as an image stamp at the image's top-left / a text as a text box
    // there, the only selected object; 0 and nothing added for one that cannot become an object.
    int PastePicture(const std::vector<uint8_t>& dib);
    int PasteText(const std::string& text);
    // Puts a pasted object on top as the only selection, finished.
    void AdoptPasted(CQvGObject* obj);

    IGObjectCanvas* m_canvas = nullptr;  // not owned
    float m_ratio = 1.0f;
    CPoint m_origin;
    int m_pixelCenter = 1;
    GObjectList m_objects;   // owned
    GObjectList m_selected;  // views into m_objects
    float m_version = 1.5f;
    GOBJ_STATE m_state = GS_IDLE;
    CQvGObjectPropertyTotal* m_pPropertyTotal = nullptr;  // not owned
    CSize m_canvasSize;
    int m_autoRepeat = 1;
    int m_autoColor = 0;
    GObjectSheetRunner m_sheetRunner;
    std::unique_ptr<CObjPropertySheet> m_propertySheet;
    // Lives as long as the container: a modal sheet finds out through it whether its container survived the run.
    std::shared_ptr<const int> m_lifeToken = std::make_shared<const int>(0);
    int m_useWindowCursor = 0;
    int m_showScale = 1;
    int m_displayName = 0;
    int m_displayData = 1;
    int m_displayMark = 1;
    int m_displayRealtime = 0;
    int m_valueTitle = 0;
    int m_noRedraw = 0;
    int m_decimals = 3;
    CCalibKeeper* m_calib = nullptr;  // not owned
    CQvImage* m_activeImage = nullptr;  // not owned
    // The number the creating object took from the naming counter, 0 when it took none.
    int m_creatingNumber = 0;
    // Whether the creating object's rubber band is on the surface: after its first point nothing is, and
    // "erasing" then would leave a mark.
    bool m_creationBandDrawn = false;
    // The last mouse point this container saw, the selection's rubber band (both image pixels) and whether the
    // band is on this container's surface now. Shared with another window, a drag would move by that window's
    // mouse and erase where that window drew.
    CPoint m_ptOldMouse;
    CRect m_rcSelection;
    bool m_selectionBandDrawn = false;
    // The boxes of hit testing.
    std::unique_ptr<GObjectHitIndex> m_hitIndex;
    // What the change notices keep.
    std::unique_ptr<GObjectChangeTracker> m_changes;
    bool m_painting = false;
    // Objects whose label-hit flag may be set (only hit tests set it), with where they were in the list.
    std::vector<std::pair<CQvGObject*, int64_t>> m_labelHits;
};
