#include "GObjectFactory.h"

#include "CQvGObjectLabel.h"
#include "CQvGObjectLine.h"
#include "CQvGObjectPolyLine.h"
#include "CQvGObjectRect.h"

namespace {

template <class Shape>
CQvGObject* Make(QVGO_TYPE kind = GOTYPE_MEASURE)
{
    CQvGObject* obj = new Shape();
    obj->SetGOType(kind);
    return obj;
}

}  // namespace

CQvGObject* CreateGObject(OBJ_SHAPE shape)
{
    switch (shape)
    {
    case SHAPE_LINE: return Make<CQvGObjectLine>();
    case SHAPE_RECT: return Make<CQvGObjectRect>();
    case SHAPE_POLYLINE: return Make<CQvGObjectPolyLine>();
    // The value label keeps the kind its constructor gives it.
    case SHAPE_LABEL: return new CQvGObjectLabel();
    case SHAPE_ANNO_LINE: return Make<CQvGObjectLine>(GOTYPE_LINE);
    case SHAPE_ANNO_RECT: return Make<CQvGObjectRect>(GOTYPE_RECT);
    case SHAPE_ANNO_POLYLINE: return Make<CQvGObjectPolyLine>(GOTYPE_POLYLINE);
    default: return nullptr;
    }
}
