#include "gobjects/shapes/CQvGObjectDas.h"

#include "gobjects/geometry/GeoFunctions.h"
#include "gobjects/private/PixelCross.h"

CQvGObjectDas::CQvGObjectDas()
{
    m_shape = SHAPE_DAS;
}

void CQvGObjectDas::RemoveAll()
{
    RemoveNestedObjs();
    delete this;
}

_RPOINT CQvGObjectDas::SpanStart(int j) const
{
    return j == 2 ? m_points[0] : Foot(j - 1);
}

int CQvGObjectDas::GetCalData(tagCAL_DATA& data, int subItem)
{
    const int j = subItem;
    if (j < 2 || j % 2 != 0 || j >= GetPointCount())
        return 0;
    const _RPOINT start = SpanStart(j);
    const _RPOINT end = Foot(j);
    data.value1 = GetUnitsPerPixel() * GetDistance(start.x, start.y, end.x, end.y);
    return 1;
}

bool CQvGObjectDas::SubItemValue(int subItem, double& value)
{
    tagCAL_DATA data;
    data.kind = CAL_LENGTH;
    if (subItem < 0 || !GetCalData(data, subItem + 2))
        return false;
    value = data.value1;
    return true;
}

void CQvGObjectDas::DrawFurtherPoint(CDC* dc, int j, const CPoint& origin, float ratio)
{
    DrawPixelCross(dc, MapToWindow(Foot(j), origin, ratio), ratio);
}

bool CQvGObjectDas::TextCentre(int j, const CPoint& origin, float ratio, CPoint& centre)
{
    if (j % 2 != 0)
        return false;
    const _RPOINT start = SpanStart(j);
    const _RPOINT end = Foot(j);
    centre = CPoint(WindowMiddle(start.x, end.x, origin.x, ratio), WindowMiddle(start.y, end.y, origin.y, ratio));
    return true;
}
