// The abstract base of every overlay object (measurements, annotations, value labels, the scale bar): its
// container, shape code, points in image pixels, owned labels, drawing attributes, state and the bookkeeping of the
// quantity it displays; the painting frame, selection grips, hit testing, value strings, the value label and the
// object record of the overlay stream that all shapes share. UI thread only.
// Ownership: objects are deleted only through RemoveAll, which frees the object's data, its labels and the object
// itself; the labels in the label list are owned by the object.
// Coordinates: points are image pixels (doubles); drawing maps p to trunc(ratio x p + origin + 0.5) per axis.
#pragma once

#include "gobjects/CQvGObjectProperty.h"
#include "gobjects/GObjectTypes.h"
#include "gobjects/InlineVector.h"

#include "types/VistrelExport.h"
#include "types/WinGeometry.h"
#include "types/WinTypes.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class CDC;
class CRgn;
class LeReader;
class LeWriter;
class CPropertyPage;
class CQvGObjectContainer;
class CQvGObjectLabel;
class CQvGObjectPropertyTotal;
class QWidget;

class VISTREL_EXPORT CQvGObject
{
public:
    // Room for the points of a line or a label and for one label (a measurement's value label) inside the object:
    // an overlay read makes tens of thousands of objects, and separate buffers doubled its allocations.
    using PointArray = InlineVector<_RPOINT, 4>;
    using LabelList = InlineVector<CQvGObject*, 1>;

    CQvGObject();
    CQvGObject(const CQvGObject&) = delete;
    // Releases the remaining labels; the object itself goes through RemoveAll.
    virtual ~CQvGObject();

    // Copies everything but the label list: container, shape, points, property, state, kind, selected handle,
    // label-hit flag, displayed quantity, calculable mask and default value record.
    CQvGObject& operator=(const CQvGObject& other);

    // Lives exactly as long as this object and is never copied: whoever must find out later whether the object
    // still exists (a posted deletion, a modal sheet that ran the event loop) holds it weakly, since an address
    // alone could by then belong to a newer object.
    std::weak_ptr<const int> GetLifeToken() const { return m_lifeToken; }

    // --- The virtual operations, in the order of their slots ---

    // Point count 0, no points, shape 1, state idle, kind measurement, no handle selected, no container,
    // label not hit, default drawing attributes.
    virtual void Initialize();
    // Frees the object's data and labels and deletes the object itself.
    virtual void RemoveAll() = 0;
    // RemoveAll of every label, then an empty label list.
    virtual void RemoveNestedObjs();
    virtual int GetPointCount() const { return m_pointCount; }
    // Runs the container's property sheet for this object; 1 when it was closed with OK. 0 without a container.
    virtual int SpecificProperty(QWidget* parent);
    virtual int SpecificNoProperty(QWidget* /*parent*/) { return 1; }
    // The flag of Draw, DrawShape, DrawExtLabel and DrawMouseMoving: how the object is painted.
    static constexpr int kPaintNormal = 0;      // a paint of the overlay
    static constexpr int kPaintRubberBand = 1;  // the container draws it as a rubber band (creation, drags)
    // Paints the shape with the pen, brush and font Draw selected; flag kPaintNormal or kPaintRubberBand.
    virtual void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) = 0;
    // The painting frame: attributes, DrawShape, DrawExtLabel and the value label. Nothing without points.
    virtual void Draw(CDC* dc, const CPoint* origin, const float* ratio, int flag);
    virtual void DrawMouseMoving(CDC* /*dc*/, const CPoint* /*origin*/, const float* /*ratio*/, int /*flag*/) {}
    virtual void DrawExtLabel(CDC* /*dc*/, const CPoint* /*origin*/, const float* /*ratio*/, int /*flag*/) {}
    // What GetHandle and GetSelectedHandle answer besides a handle index (0 up).
    static constexpr int kBodyHandle = -1;  // no handle in the rectangle: the body, when it is grabbed
    static constexpr int kNoHandle = -2;    // nothing grabbed yet
    // The handle inside the rectangle (image pixels), kBodyHandle for none or the body; also stored as the
    // selected handle.
    virtual int GetHandle(CRect rect) = 0;
    virtual int GetSelectedHandle() const { return m_selectedHandle; }
    virtual void MoveHandle(int handle, CSize delta) = 0;
    virtual void MoveTo(CSize delta) = 0;
    // MoveTo of the first label, if any.
    virtual void MoveLabelObject(CSize delta);
    // One point of the creation; the shape decides when it is complete (state 8). Returns the shape's answer
    // (the poly-line gives its new count).
    virtual int AddPoint(CPoint point) = 0;
    virtual void Finish() = 0;
    virtual void Cancel() = 0;
    virtual int CanFinish() = 0;
    // Builds the hit region (image pixels) into an empty region; 0 when there is none.
    virtual int GetHitTestRgn(CRgn& rgn) = 0;
    // A rectangle that holds the whole hit region, so that hit tests far from the object need not build it; a
    // shape that answers one always has a region. The empty rectangle (the base's answer) means "not known".
    virtual CRect GetHitBounds() { return CRect(); }
    // How a shape answers a hit test from its outline, without building its region.
    enum class OutlineHit
    {
        UseRegion,  // no answer of its own: the hit test builds the region
        NoRegion,   // GetHitTestRgn would give no region: never hit
        Missed,
        Met,
    };
    // Whether any of the pixels from (pixels.left, pixels.top) to (pixels.right, pixels.bottom), both corners
    // included (none when right < left or bottom < top), lies in the region GetHitTestRgn would build. Shapes whose
    // region grows with their size (rings of circles and ellipses) answer from their outline, so that a hit test
    // costs the same for any size; the base answers UseRegion.
    virtual OutlineHit HitByOutline(const CRect& /*pixels*/) { return OutlineHit::UseRegion; }
    // Whether a label intersects the rectangle / holds the point; an annotation's labels start at the second.
    virtual int IsChildSelected(CRect rect);
    virtual int IsChildSelected(CPoint point);
    // Bounding rectangle in image pixels; some shapes (the value label) store what they compute.
    virtual CRect GetMBR() = 0;
    // GetMBR, united with the first label's for a measurement, inflated by 8.
    virtual CRect GetInvalidateRect();
    virtual int DoesDrawSelection() { return m_state == GS_FINISHED; }
    // An 8 x 8 grip on every point: yellow in edition 1, inverted otherwise.
    virtual void DrawSelection(CDC* dc, const CPoint* origin, const float* ratio);
    virtual int CanDragAddPoint() { return 0; }
    virtual int NeedROP() { return 1; }
    // A system cursor id (32642..32646) or kNoCursor.
    virtual UINT GetCursorShape(CRect /*rect*/) { return kNoCursor; }
    // The object record of the overlay stream. Read starts after the shape code (which the caller read to create
    // the object); it returns 0 on a short or bad record and then leaves the base fields unchanged (a shape's own
    // fields may be half read: discard the object). On success the state is finished, an annotation has its
    // annotation code and GetMBR has been called (for a value label read under a LabelSizingLater, its SizeLabels
    // calls it). Write writes the whole record, shape code first, and returns 1
    // when every byte was written (the FILE* form assembles the record and writes it at once; nothing of a refused
    // record reaches the file). Shapes with fields of their own read them in ReadShapeFields and write them in
    // WriteShapeFields.
    int Read(FILE* file, float version);
    int Read(LeReader& in, float version);
    // While one lives on a thread, the value labels read there are sized (GetMBR) by its SizeLabels, in the order
    // they were read, instead of as each is read: measuring their texts one after another, apart from the parsing
    // and allocating, keeps the text measuring's working set in the caches (a read of 10,000 labels measured 20%
    // faster cold). A reader sizes them before anything looks at their boxes; objects it discards need none.
    class VISTREL_EXPORT LabelSizingLater
    {
    public:
        LabelSizingLater();
        ~LabelSizingLater();
        LabelSizingLater(const LabelSizingLater&) = delete;
        LabelSizingLater& operator=(const LabelSizingLater&) = delete;
        void SizeLabels();

    private:
        friend class CQvGObject;
        std::vector<CQvGObject*> m_labels;
        LabelSizingLater* m_outer;
    };
    int Write(FILE* file, float version);
    int Write(LeWriter& out, float version);
    virtual int IsDisplayValue() { return 1; }
    // Calculable quantities; the base can compute nothing. Shapes set their mask and the default value record's
    // kind := the displayed quantity.
    virtual void SetCalType() { m_calType = 0; }
    // SetCalType, then the default value record formatted.
    virtual std::string GetDefaultDataString();
    virtual std::string GetDataString(int /*subItem*/) { return {}; }
    // "Not yet" when GetCalData gives nothing; positions "(x,y)" calibrated, every other quantity as it stands,
    // with the container's decimals.
    virtual std::string GetDataString(tagCAL_DATA& data, int subItem);
    // Fills the record for its kind and returns 1; 0 for a quantity the shape does not compute.
    virtual int GetCalData(tagCAL_DATA& /*data*/, int /*subItem*/) { return 0; }
    // Refreshes the value label's text of a finished measurement.
    virtual void UpdateDataLabel();
    virtual int DeleteSubPerpen(int /*subItem*/) { return 0; }
    virtual int GetCurSubItem() { return -1; }
    virtual void SetCurSubItem(int /*subItem*/) {}
    virtual void SetShowObject(int /*show*/) {}
    virtual int GetShowObject() { return 1; }
    // 1 for the shapes whose property sheet the program opens itself (text, scale marker).
    virtual int DoesGetSpecificProperty() { return 0; }

    // Shape-specific defaults of the drawing-defaults set (Target rings, angle mode, image opacity, scale bar):
    // the set calls these for codes 10, 19, 20 and 38 to 42, after the attributes and displayed quantity; the shape
    // reads or writes the settings it keeps (the scale marker also puts its two placement fields back to 1 and 7
    // on loading). The base keeps none.
    virtual void LoadShapeDefaults(const CQvGObjectPropertyTotal& defaults);
    virtual void StoreShapeDefaults(CQvGObjectPropertyTotal& defaults) const;

    // --- Plain members ---

    static constexpr UINT kNoCursor = 0xFFFFFFFF;

    void SetContainer(CQvGObjectContainer* container) { m_container = container; }
    CQvGObjectContainer* GetContainer() const { return m_container; }
    // The container's zoom ratio; 1 without a container.
    float GetCurRatio() const;

    _RPOINT* GetPoint() { return m_points.data(); }
    const _RPOINT* GetPoint() const { return m_points.data(); }
    // Slots of the point array: the counted points and the room beyond them.
    int GetPointSlots() const { return static_cast<int>(m_points.size()); }

    CQvGObjectProperty& GetProperty() { return m_property; }
    const CQvGObjectProperty& GetProperty() const { return m_property; }

    OBJ_SHAPE GetObjShape() const { return m_shape; }
    void SetObjShape(OBJ_SHAPE shape) { m_shape = shape; }
    QVGO_TYPE GetGOType() const { return m_kind; }
    void SetGOType(QVGO_TYPE kind) { m_kind = kind; }
    GOBJ_STATE GetState() const { return m_state; }
    void SetState(GOBJ_STATE state) { m_state = state; }

    // 1 when the last hit test hit the value label rather than the object.
    int GetLabelHit() const { return m_labelHit; }

    // The quantity (one tagCAL_TYPE bit) that the value label shows.
    int32_t GetDispType() const { return m_dispType; }
    void SetDispType(int32_t calType) { m_dispType = calType; }

    int32_t GetCalType() const { return m_calType; }
    int32_t CanCalculate(tagCAL_TYPE type) const { return type & m_calType; }
    const tagCAL_DATA& GetDefaultData() const { return m_defaultData; }

    // Kind neither 0 nor 1.
    bool IsAnnotation() const { return m_kind != GOTYPE_MEASURE && m_kind != GOTYPE_MEASURE_ALT; }
    // The container's selection holds more than one object.
    bool IsMultiSelected() const;
    // An annotation still carrying a measurement code (0, 1, 2, 3, 5, 6, 7) gets its annotation code
    // (30, 31, 32, 34, 35, 36, 37).
    void NormalizeAnnotationShape();

    // The label rule of a whole move: a grabbed value label moves alone, unless several objects move together.
    bool MovesLabelOnly() const { return m_labelHit && !IsMultiSelected(); }
    // Moves counted point i by delta; an index outside the counted points moves nothing.
    void MoveCountedPoint(int i, CSize delta);
    // A whole move of a shape that is its points: the label goes along and, unless it was grabbed alone, the
    // first `count` points move by delta (directly, not through MoveHandle, which a shape may restrict).
    void MoveWhole(CSize delta, int count);
    // Appends point as the next counted point. The array grows by `step` slots when needed, so that one slot
    // always stays free beyond the counted points. Returns the new count.
    int AppendCountedPoint(CPoint point, int step);
    // The box of the whole pixels of the first `count` points, right and bottom included; empty for none.
    CRect PointsBox(int count) const;
    // The first counted point whose whole pixel lies in rect, or -1.
    int FindCountedPoint(const CRect& rect) const;
    // Places point as the next of the shape's `count` points; once all are placed, a further point finishes the
    // shape instead. Returns the count.
    int AddPointUpTo(CPoint point, int count);

    // The Perpendicular and the Das paint their values themselves: their value label is neither painted by the
    // base nor hit, so a click cannot grab a box nobody sees.
    bool PaintsOwnLabels() const { return m_shape == SHAPE_PERPENDICULAR || m_shape == SHAPE_DAS; }

    // The first label (the value label of a measurement) or null.
    CQvGObject* GetLabelObject() const { return m_labels.empty() ? nullptr : m_labels.front(); }
    int GetLabelCount() const { return static_cast<int>(m_labels.size()); }
    const LabelList& GetLabels() const { return m_labels; }
    // Creates a value label centred on the point (image pixels), appends it to the label list and returns it.
    // A measurement's label shows the owner's name and value.
    CQvGObject* AddLabelObject(CPoint point);

    // Hit tests in image pixels; both clear the label-hit flag first and set it when the value label was hit.
    // A measurement is hit through its region or its value label; an annotation only through its sub-objects
    // (IsChildSelected), by a point, and through its region or sub-objects by a rectangle.
    int IsSelected(CPoint point);
    int IsSelected(CRect rect);

    // The whole property / only the drawing attributes; a label keeps its label look. Passed on to the labels.
    void SetProperty(const CQvGObjectProperty& property);
    void SetBaseProperty(const CQvGObjectProperty& property);
    // Only the attributes named by `fields` (PropertyField bits); a label keeps its label look. Passed on to the
    // labels.
    void SetPropertyFields(const CQvGObjectProperty& property, uint32_t fields);

    // The name of a quantity (one tagCAL_TYPE bit); "" for anything else.
    static std::string GetValueTitle(int calType);
    // Maps a rectangle from image to window pixels: origin + ratio x coordinate, trunc(+ 0.5).
    static void ApplyRatio(CRect& rect, CPoint origin, float ratio);

    // --- Helpers the shapes share ---

    // trunc(ratio x v + origin + 0.5), kept within the window range of WindowPixel.
    static int MapToWindow(double v, int origin, float ratio);
    static CPoint MapToWindow(const _RPOINT& p, const CPoint& origin, float ratio);
    // A font height of the property scaled to the zoom, trunc(height x ratio + 0.5), kept within +-4096 pixels
    // (heights from damaged files must neither overflow nor ask for giant glyphs). ratio null: unscaled.
    static int32_t ScaleFontHeight(int32_t height, const float* ratio);
    // The 8 x 8 selection grip centred on a window point: filled yellow in edition 1, inverted otherwise.
    static void DrawGrip(CDC* dc, CPoint centre);
    // The image-pixel tolerance of the hit regions: 1 when the container's ratio is above 2, else 3.
    int GetZoomTolerance() const;
    // Units per pixel of the container's calibration; 1 without a container or calibration.
    double GetUnitsPerPixel() const;
    // While a measurement is being created with the container's live result on and flag kPaintRubberBand: puts the
    // default data string in the live result box beside the cursor. Shapes call it at the start of DrawShape.
    void FeedRealtimeResultBox(int flag);
    // Hides the live result box when there is one (shapes call it from Finish).
    static void HideRealtimeResultBox();

    // The kind the value label of a measurement is created with.
    static constexpr QVGO_TYPE kLabelKind = GOTYPE_TEXT;
    // The label look imposed on every value label.
    static void ApplyLabelLook(CQvGObjectProperty& property);

protected:
    // The container's sheet for this object with the shape's own page added and shown first (null: none); 1 when
    // it was closed with OK. 0 without a container.
    int RunPropertySheet(QWidget* parent, CPropertyPage* shapePage);
    // The shape's own fields after the base record: read once the base fields are taken (a shape may also settle
    // what its base record implies), 0 for a short or bad record; written after the base fields. None for the base.
    virtual int ReadShapeFields(LeReader& /*in*/, float /*version*/) { return 1; }
    virtual void WriteShapeFields(LeWriter& /*out*/) {}
    // Gives label (new, owned from now on) the owner's name, value and look, centres it on point (image pixels) and
    // appends it to the label list.
    CQvGObject* AttachLabel(CQvGObjectLabel* label, CPoint point);
    // A measurement's value label half-way between its first two points, in whole pixels; none for an annotation.
    void AddLabelBetweenFirstPoints();

    // How PaintLabel hands the prepared label its paint.
    enum class LabelPaint
    {
        Shape,     // DrawShape
        ExtLabel,  // DrawExtLabel
    };
    // Gives a label the owner's fill and quantity flags, draws its frame when the owner's label was hit, and paints
    // it, unitless for quantities shown without a unit. The container is left as it was.
    void PaintLabel(CDC* dc, CQvGObject* label, const CPoint* origin, const float* ratio, int flag, LabelPaint how);
    // Whether the container shows names or values in labels.
    bool ShowsLabels() const;
    // Reads the label records into `labels` (which then own them, also after a failure); 0 on a bad record.
    int ReadLabels(LeReader& in, float version, LabelList& labels);

    CQvGObjectContainer* m_container = nullptr;  // not owned
    std::shared_ptr<const int> m_lifeToken = std::make_shared<const int>(0);  // see GetLifeToken
    OBJ_SHAPE m_shape = SHAPE_LINE;
    // The shape decides what the points mean; the array may hold more points than are counted yet.
    int m_pointCount = 0;
    PointArray m_points;
    LabelList m_labels;  // owned; freed through their RemoveAll
    CQvGObjectProperty m_property;
    GOBJ_STATE m_state = GS_IDLE;
    QVGO_TYPE m_kind = GOTYPE_MEASURE;
    int m_selectedHandle = kNoHandle;
    int m_labelHit = 0;
    int32_t m_dispType = 0;
    int32_t m_calType = 0;
    tagCAL_DATA m_defaultData;
};
