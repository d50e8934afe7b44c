#include "gobjects/shapes/CQvGObjectCircle.h"

#include "gobjects/geometry/GeoConversions.h"

CQvGObjectCircle::CQvGObjectCircle()
{
    m_shape = SHAPE_CIRCLE;
}

void CQvGObjectCircle::ResizeByHandle(int handle, CSize delta, bool /*keepSquare*/)
{
    if (handle < 0 || handle >= GetHandleCount())
        return;
    if (m_state != GS_ADDING)
        NormalizeDRect(m_points.data());
    MoveCornerKeepingSquare(handle, delta);
}

void CQvGObjectCircle::SetCalType()
{
    m_calType = kCircleQuantities;
    m_defaultData.kind = m_dispType;
}

int CQvGObjectCircle::GetCalData(tagCAL_DATA& data, int /*subItem*/)
{
    return GetCircleCalData(data);
}
