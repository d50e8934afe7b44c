#include "gobjects/shapes/CQvGObject3PointAngle.h"

#include "gobjects/geometry/GeoFunctions.h"

#include "types/Rounding.h"

#include <cmath>

CQvGObject3PointAngle::CQvGObject3PointAngle()
{
    m_shape = SHAPE_3POINT_ANGLE;
}

double CQvGObject3PointAngle::MeasureAngle() const
{
    // Intersecting the two arms' lines would find no crossing when they lie on one line and read 0 for a straight
    // angle: the vertex is known, so the arms' directions are taken from it.
    const _RPOINT& vertex = m_points[1];
    const _RPOINT& end1 = m_points[0];
    const _RPOINT& end2 = m_points[2];
    if (end1 == vertex || end2 == vertex)
        return 0.0;
    double between = std::fabs(GetLineAngle360(vertex.x, vertex.y, end2.x, end2.y) -
                               GetLineAngle360(vertex.x, vertex.y, end1.x, end1.y));
    if (between > 180.0)
        between = 360.0 - between;
    // Arms one way give 0 in either sense of the angle, as parallel lines do for the 2-line angle.
    if (between == 0.0)
        return 0.0;
    return m_innerFlag ? between : 360.0 - between;
}

int CQvGObject3PointAngle::ArcRadius(float ratio) const
{
    return TruncHalfUp(static_cast<double>(ratio) * 20.0);
}
