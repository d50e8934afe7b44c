#include "gobjects/GObjectFactory.h"

#include "gobjects/shapes/CQvGObject2LineAngle.h"
#include "gobjects/shapes/CQvGObject3PointAngle.h"
#include "gobjects/shapes/CQvGObject3PointCircle.h"
#include "gobjects/shapes/CQvGObjectAutoAngle.h"
#include "gobjects/shapes/CQvGObjectAutoArc.h"
#include "gobjects/shapes/CQvGObjectAutoCircle.h"
#include "gobjects/shapes/CQvGObjectAutoLine.h"
#include "gobjects/shapes/CQvGObjectBestFitLine.h"
#include "gobjects/shapes/CQvGObjectCenterToCenter.h"
#include "gobjects/shapes/CQvGObjectCircle.h"
#include "gobjects/shapes/CQvGObjectCircleFromCenter.h"
#include "gobjects/shapes/CQvGObjectCurvature.h"
#include "gobjects/shapes/CQvGObjectDas.h"
#include "gobjects/shapes/CQvGObjectEllipse.h"
#include "gobjects/shapes/CQvGObjectHorizontalLine.h"
#include "gobjects/shapes/CQvGObjectImage.h"
#include "gobjects/shapes/CQvGObjectHorizontalLinePointToPoint.h"
#include "gobjects/shapes/CQvGObjectLabel.h"
#include "gobjects/shapes/CQvGObjectLine.h"
#include "gobjects/shapes/CQvGObjectParallel.h"
#include "gobjects/shapes/CQvGObjectPerpendicular.h"
#include "gobjects/shapes/CQvGObjectPoint.h"
#include "gobjects/shapes/CQvGObjectPolyLine.h"
#include "gobjects/shapes/CQvGObjectPolygon.h"
#include "gobjects/shapes/CQvGObjectRect.h"
#include "gobjects/shapes/CQvGObjectScaleMarker.h"
#include "gobjects/shapes/CQvGObjectTarget.h"
#include "gobjects/shapes/CQvGObjectText.h"
#include "gobjects/shapes/CQvGObjectVerticalLine.h"
#include "gobjects/shapes/CQvGObjectVerticalLinePointToPoint.h"
#include "gobjects/shapes/CQvGObjectZIndicator.h"

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
    case SHAPE_AUTO_LINE: return Make<CQvGObjectAutoLine>();
    case SHAPE_AUTO_CIRCLE: return Make<CQvGObjectAutoCircle>();
    case SHAPE_AUTO_ARC: return Make<CQvGObjectAutoArc>();
    case SHAPE_AUTO_ANGLE: return Make<CQvGObjectAutoAngle>();
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
