// The abstract base of every overlay object (measurements, annotations, value labels, the scale bar): its
// container, shape code, points in image pixels, owned labels, drawing attributes, state and the bookkeeping of the
// quantity it displays. UI thread only.
// Ownership: objects are deleted only through RemoveAll, which frees the object's data, its labels and the object
// itself; the labels in the label list are owned by the object.
#pragma once

#include "CQvGObjectProperty.h"
#include "GObjectTypes.h"

#include "types/VistrelExport.h"
#include "types/WinGeometry.h"

#include <list>
#include <vector>

class CQvGObjectContainer;
class CQvGObjectPropertyTotal;

class VISTREL_EXPORT CQvGObject
{
public:
    CQvGObject();
    CQvGObject(const CQvGObject&) = delete;
    // Releases the remaining labels; the object itself goes through RemoveAll.
    virtual ~CQvGObject();

    // Copies everything but the label list: container, shape, points, property, state, kind, selected handle,
    // label-hit flag, displayed quantity, calculable mask and default value record.
    CQvGObject& operator=(const CQvGObject& other);

    // Point count 0, no points, shape 1, state idle, kind measurement, no handle selected (-2), no container,
    // label not hit, default drawing attributes.
    virtual void Initialize();
    // Frees the object's data and labels and deletes the object itself.
    virtual void RemoveAll() = 0;
    // RemoveAll of every label, then an empty label list.
    virtual void RemoveNestedObjs();
    virtual int GetPointCount() const { return m_pointCount; }
    virtual int GetSelectedHandle() const { return m_selectedHandle; }
    // Calculable quantities; the base can compute nothing.
    virtual void SetCalType() { m_calType = 0; }

    // Shape-specific defaults of the drawing-defaults set (Target rings, angle mode, image opacity, scale bar):
    // the set calls these for codes 10, 19, 20 and 38 to 42, after the attributes and displayed quantity; the shape
    // reads or writes the settings it keeps (the scale marker also puts its two placement fields back to 1 and 7
    // on loading). The base keeps none.
    virtual void LoadShapeDefaults(const CQvGObjectPropertyTotal& defaults);
    virtual void StoreShapeDefaults(CQvGObjectPropertyTotal& defaults) const;

    void SetContainer(CQvGObjectContainer* container) { m_container = container; }
    CQvGObjectContainer* GetContainer() const { return m_container; }

    _RPOINT* GetPoint() { return m_points.data(); }
    const _RPOINT* GetPoint() const { return m_points.data(); }

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
    // An annotation still carrying a measurement code (0, 1, 2, 3, 5, 6, 7) gets its annotation code
    // (30, 31, 32, 34, 35, 36, 37).
    void NormalizeAnnotationShape();

    // The first label (the value label of a measurement) or null.
    CQvGObject* GetLabelObject() const { return m_labels.empty() ? nullptr : m_labels.front(); }
    int GetLabelCount() const { return static_cast<int>(m_labels.size()); }

protected:
    CQvGObjectContainer* m_container = nullptr;  // not owned
    OBJ_SHAPE m_shape = SHAPE_LINE;
    // The shape decides what the points mean; the array may hold more points than are counted yet.
    int m_pointCount = 0;
    std::vector<_RPOINT> m_points;
    std::list<CQvGObject*> m_labels;  // owned; freed through their RemoveAll
    CQvGObjectProperty m_property;
    GOBJ_STATE m_state = GS_IDLE;
    QVGO_TYPE m_kind = GOTYPE_MEASURE;
    int m_selectedHandle = -2;  // -1 the body is grabbed, -2 nothing is
    int m_labelHit = 0;
    int32_t m_dispType = 0;
    int32_t m_calType = 0;
    tagCAL_DATA m_defaultData;
};
