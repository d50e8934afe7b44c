#include "gobjects/geometry/GeoConversions.h"

#include "types/Rounding.h"

#include <algorithm>
#include <cmath>
#include <utility>

void NormalizeDRect(_RPOINT* corners)
{
    if (corners[0].x > corners[1].x)
        std::swap(corners[0].x, corners[1].x);
    if (corners[0].y > corners[1].y)
        std::swap(corners[0].y, corners[1].y);
}

CPoint Rounded(const _RPOINT& p)
{
    return CPoint(TruncHalfUp(p.x), TruncHalfUp(p.y));
}

void DPointsToPoints(const _RPOINT* in, POINT* out, int count)
{
    for (int i = 0; i < count; ++i)
        out[i] = {TruncHalfUp(in[i].x), TruncHalfUp(in[i].y)};
}

void PointsToDPoints(const POINT* in, _RPOINT* out, int count)
{
    for (int i = 0; i < count; ++i)
        out[i] = {static_cast<double>(in[i].x), static_cast<double>(in[i].y)};
}

CRect DRectToRect(const _RPOINT* corners)
{
    return CRect(TruncHalfUp(corners[0].x), TruncHalfUp(corners[0].y), TruncHalfUp(corners[1].x),
                 TruncHalfUp(corners[1].y));
}

double ClampWindowPosition(double position)
{
    if (std::isnan(position))
        return 0.0;
    return std::clamp(position, -kFarWindowCoordinate, kFarWindowCoordinate);
}

int WindowPixel(double v, double origin, double ratio)
{
    return TruncHalfUp(ClampWindowPosition(ratio * v + origin));
}

int HalfSum(int64_t a, int64_t b)
{
    return static_cast<int>((a + b) / 2);
}
