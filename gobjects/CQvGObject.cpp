#include "CQvGObject.h"

CQvGObject::CQvGObject()
{
    Initialize();
}

CQvGObject::~CQvGObject()
{
    RemoveNestedObjs();
}

CQvGObject& CQvGObject::operator=(const CQvGObject& other)
{
    if (this == &other)
        return *this;
    m_container = other.m_container;
    m_shape = other.m_shape;
    m_pointCount = other.m_pointCount;
    m_points = other.m_points;
    m_property = other.m_property;
    m_state = other.m_state;
    m_kind = other.m_kind;
    m_selectedHandle = other.m_selectedHandle;
    m_labelHit = other.m_labelHit;
    m_dispType = other.m_dispType;
    m_calType = other.m_calType;
    m_defaultData = other.m_defaultData;
    return *this;
}

void CQvGObject::Initialize()
{
    m_pointCount = 0;
    m_points.clear();
    m_shape = SHAPE_LINE;
    m_state = GS_IDLE;
    m_kind = GOTYPE_MEASURE;
    m_selectedHandle = -2;
    m_container = nullptr;
    m_labelHit = 0;
    m_property.Initialize();
}

void CQvGObject::RemoveNestedObjs()
{
    // Taken out first: a label's RemoveAll deletes it, and nothing may reach it through this list afterwards.
    std::list<CQvGObject*> labels;
    labels.swap(m_labels);
    for (CQvGObject* label : labels)
        label->RemoveAll();
}

void CQvGObject::LoadShapeDefaults(const CQvGObjectPropertyTotal& /*defaults*/) {}

void CQvGObject::StoreShapeDefaults(CQvGObjectPropertyTotal& /*defaults*/) const {}

void CQvGObject::NormalizeAnnotationShape()
{
    if (!IsAnnotation())
        return;
    switch (m_shape) {
    case SHAPE_POINT: m_shape = SHAPE_ANNO_POINT; break;
    case SHAPE_LINE: m_shape = SHAPE_ANNO_LINE; break;
    case SHAPE_RECT: m_shape = SHAPE_ANNO_RECT; break;
    case SHAPE_CIRCLE: m_shape = SHAPE_ANNO_CIRCLE_FROM_CENTER; break;
    case SHAPE_ELLIPSE: m_shape = SHAPE_ANNO_ELLIPSE; break;
    case SHAPE_POLYLINE: m_shape = SHAPE_ANNO_POLYLINE; break;
    case SHAPE_POLYGON: m_shape = SHAPE_ANNO_POLYGON; break;
    default: break;
    }
}
