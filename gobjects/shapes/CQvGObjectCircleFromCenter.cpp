#include "gobjects/shapes/CQvGObjectCircleFromCenter.h"

#include "gobjects/geometry/GeoConversions.h"

CQvGObjectCircleFromCenter::CQvGObjectCircleFromCenter()
{
    m_shape = SHAPE_CIRCLE_FROM_CENTER;
}

void CQvGObjectCircleFromCenter::ResizeByHandle(int handle, CSize delta, bool /*keepSquare*/)
{
    if (handle < 0 || handle >= GetHandleCount())
        return;
    // While it is being created the box may have shrunk through its centre and be inside out; ordering it then
    // would turn a shrink into a growth. Moving every side by the same amount keeps the centre either way.
    if (m_state != GS_ADDING)
        NormalizeDRect(m_points.data());
    int sx = 0;
    int sy = 0;
    OutwardDirection(handle, sx, sy);
    const double step = SquareStep(sx, sy, delta);
    m_points[0].x -= step;
    m_points[0].y -= step;
    m_points[1].x += step;
    m_points[1].y += step;
}

void CQvGObjectCircleFromCenter::SetCalType()
{
    m_calType = kCircleQuantities;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectCircleFromCenter::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    return GetCircleCalData(data);
}

int CQvGObjectCircleFromCenter::ReadShapeFields(LeReader& in, float version)
{
    if (!CQvGObjectEllipse::ReadShapeFields(in, version))
        return 0;
    if (IsAnnotation() && m_shape == SHAPE_CIRCLE_FROM_CENTER)
        m_shape = SHAPE_ANNO_CIRCLE_FROM_CENTER;
    return 1;
}
