#include "gobjects/shapes/CQvGObject2LineAngle.h"

#include "gobjects/geometry/GeoFunctions.h"

CQvGObject2LineAngle::CQvGObject2LineAngle()
{
    m_shape = SHAPE_2LINE_ANGLE;
}

double CQvGObject2LineAngle::MeasureAngle() const
{
    return GetAngleBetweenLines(m_points[0], m_points[1], m_points[2], m_points[3], m_innerFlag);
}
