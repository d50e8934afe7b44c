#include "gobjects/GObjectFactory.h"

#include "gobjects/CQvGObject2LineAngle.h"
#include "gobjects/CQvGObject3PointAngle.h"
#include "gobjects/CQvGObject3PointCircle.h"
#include "gobjects/CQvGObjectBestFitLine.h"
#include "gobjects/CQvGObjectCenterToCenter.h"
#include "gobjects/CQvGObjectCircle.h"
#include "gobjects/CQvGObjectCircleFromCenter.h"
#include "gobjects/CQvGObjectCurvature.h"
#include "gobjects/CQvGObjectDas.h"
#include "gobjects/CQvGObjectEllipse.h"
#include "gobjects/CQvGObjectHorizontalLine.h"
#include "gobjects/CQvGObjectImage.h"
#include "gobjects/CQvGObjectHorizontalLinePointToPoint.h"
#include "gobjects/CQvGObjectLabel.h"
#include "gobjects/CQvGObjectLine.h"
#include "gobjects/CQvGObjectParallel.h"
#include "gobjects/CQvGObjectPerpendicular.h"
#include "gobjects/CQvGObjectPoint.h"
#include "gobjects/CQvGObjectPolyLine.h"
#include "gobjects/CQvGObjectPolygon.h"
#include "gobjects/CQvGObjectRect.h"
#include "gobjects/CQvGObjectScaleMarker.h"
#include "gobjects/CQvGObjectTarget.h"
#include "gobjects/CQvGObjectText.h"
#include "gobjects/CQvGObjectVerticalLine.h"
#include "gobjects/CQvGObjectVerticalLinePointToPoint.h"
#include "gobjects/CQvGObjectZIndicator.h"

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
    case SHAPE_CENTER_TO_CENTER: return Make<CQvGObjectCenterToCenter>();
    case SHAPE_PERPENDICULAR: return Make<CQvGObjectPerpendicular>();
    case SHAPE_DAS: return Make<CQvGObjectDas>();
    case SHAPE_BESTFIT_LINE: return Make<CQvGObjectBestFitLine>();
    case SHAPE_HLINE: return Make<CQvGObjectHorizontalLine>();
    case SHAPE_VLINE: return Make<CQvGObjectVerticalLine>();
    case SHAPE_HLINE_POINT_TO_POINT: return Make<CQvGObjectHorizontalLinePointToPoint>();
    case SHAPE_VLINE_POINT_TO_POINT: return Make<CQvGObjectVerticalLinePointToPoint>();
    case SHAPE_PARALLEL: return Make<CQvGObjectParallel>();
    case SHAPE_POINT: return Make<CQvGObjectPoint>();
    case SHAPE_POLYGON: return Make<CQvGObjectPolygon>();
    case SHAPE_TARGET: return Make<CQvGObjectTarget>();
    case SHAPE_Z_INDICATOR: return Make<CQvGObjectZIndicator>();
    case SHAPE_CURVATURE: return Make<CQvGObjectCurvature>();
    case SHAPE_CIRCLE: return Make<CQvGObjectCircle>();
    case SHAPE_CIRCLE_FROM_CENTER: return Make<CQvGObjectCircleFromCenter>();
    case SHAPE_ELLIPSE: return Make<CQvGObjectEllipse>();
    case SHAPE_2LINE_ANGLE: return Make<CQvGObject2LineAngle>();
    case SHAPE_3POINT_ANGLE: return Make<CQvGObject3PointAngle>();
    case SHAPE_3POINT_CIRCLE: return Make<CQvGObject3PointCircle>();
    // The value label keeps the kind its constructor gives it.
    case SHAPE_LABEL: return new CQvGObjectLabel();
    case SHAPE_ANNO_LINE: return Make<CQvGObjectLine>(GOTYPE_LINE);
    case SHAPE_ANNO_RECT: return Make<CQvGObjectRect>(GOTYPE_RECT);
    case SHAPE_ANNO_POLYLINE: return Make<CQvGObjectPolyLine>(GOTYPE_POLYLINE);
    case SHAPE_ANNO_POINT: return Make<CQvGObjectPoint>(GOTYPE_POINT);
    case SHAPE_ANNO_POLYGON: return Make<CQvGObjectPolygon>(GOTYPE_POLYGON);
    case SHAPE_ANNO_CIRCLE_FROM_CENTER: return Make<CQvGObjectCircleFromCenter>(GOTYPE_CIRCLE_FROM_CENTER);
    case SHAPE_ANNO_ELLIPSE: return Make<CQvGObjectEllipse>(GOTYPE_ELLIPSE);
    case SHAPE_TEXT: return Make<CQvGObjectText>(GOTYPE_TEXT);
    case SHAPE_IMAGE: return Make<CQvGObjectImage>(GOTYPE_IMAGE);
    case SHAPE_SCALE_MARKER: return Make<CQvGObjectScaleMarker>(GOTYPE_SCALE_MARKER);
    default: return nullptr;
    }
}
