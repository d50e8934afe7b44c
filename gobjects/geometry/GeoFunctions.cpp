#include "gobjects/geometry/GeoFunctions.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

double AtanDeg(double v)
{
    return std::atan(v) * kDegreesPerRadian;
}

// The line through two points written as y = b - m x; only for a line that is not vertical.
struct SlopeForm
{
    double m;
    double b;
};

SlopeForm SlopeFormOf(const _RPOINT& p1, const _RPOINT& p2)
{
    const double m = -(p2.y - p1.y) / (p2.x - p1.x);
    return {m, p2.y + p2.x * m};
}

bool IsVertical(const _RPOINT& p1, const _RPOINT& p2)
{
    return p1.x == p2.x;
}

const _RPOINT& FartherEnd(const _RPOINT& from, const _RPOINT& a, const _RPOINT& b)
{
    return GetDistance(from.x, from.y, a.x, a.y) >= GetDistance(from.x, from.y, b.x, b.y) ? a : b;
}

}  // namespace

double GetDistance(double x1, double y1, double x2, double y2)
{
    return std::hypot(x2 - x1, y2 - y1);
}

void GetMidPoint(_RPOINT& out, double x1, double y1, double x2, double y2)
{
    out.x = (x1 + x2) / 2.0;
    out.y = (y1 + y2) / 2.0;
}

double GetLineAngle360(double x1, double y1, double x2, double y2)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    if (dx == 0 && dy == 0)
        return -1;
    if (dy == 0)
        return dx > 0 ? 0 : 180;
    if (dx == 0)
        return dy < 0 ? 90 : 270;
    // Each quadrant measures the acute angle from its own starting axis, so no branch divides by zero.
    if (dx > 0 && dy < 0)
        return AtanDeg((y1 - y2) / (x2 - x1));
    if (dx < 0 && dy < 0)
        return 90 + AtanDeg((x1 - x2) / (y1 - y2));
    if (dx < 0)
        return 180 + AtanDeg((y2 - y1) / (x1 - x2));
    return 270 + AtanDeg((x2 - x1) / (y2 - y1));
}

double GetLineAngle(double x1, double y1, double x2, double y2)
{
    if (x1 == x2) {
        if (y1 == y2)
            return 0;
        return y2 > y1 ? std::numbers::pi / 2 : -std::numbers::pi / 2;
    }
    return std::atan2(y2 - y1, x2 - x1);
}

void GetPolarPoint(_RPOINT& out, double cx, double cy, double angle, double r)
{
    out.x = cx + r * std::cos(angle);
    out.y = cy + r * std::sin(angle);
}

void GetPolarPointF(_RPOINT& out, double cx, double cy, float angle, float r)
{
    GetPolarPoint(out, cx, cy, angle, r);
}

void RotatePoints(double angleDeg, double cx, double cy, _RPOINT* points, int count)
{
    // Screen angles turn counter-clockwise with y down, which is a negative turn in the y-down plane.
    const double t = DegreeToRadian(-angleDeg);
    const double c = std::cos(t);
    const double s = std::sin(t);
    for (int i = 0; i < count; ++i) {
        const double dx = points[i].x - cx;
        const double dy = points[i].y - cy;
        points[i].x = cx + c * dx - s * dy;
        points[i].y = cy + c * dy + s * dx;
    }
}

int GetLinesIntersection(const _RPOINT& p1, const _RPOINT& p2, const _RPOINT& p3, const _RPOINT& p4, _RPOINT& out)
{
    const bool vertical1 = IsVertical(p1, p2);
    const bool vertical2 = IsVertical(p3, p4);
    if (vertical1 && vertical2)
        return 0;
    if (vertical1 || vertical2) {
        const double x = vertical1 ? p1.x : p3.x;
        const SlopeForm other = vertical1 ? SlopeFormOf(p3, p4) : SlopeFormOf(p1, p2);
        out = {x, other.b - x * other.m};
        return 1;
    }
    const SlopeForm l1 = SlopeFormOf(p1, p2);
    const SlopeForm l2 = SlopeFormOf(p3, p4);
    if (l1.m == l2.m)
        return 0;
    const double x = (l1.b - l2.b) / (l1.m - l2.m);
    out = {x, l1.b - x * l1.m};
    return 1;
}

int GetPerpendicularPoint(const _RPOINT& p1, const _RPOINT& p2, const _RPOINT& p, _RPOINT& out)
{
    if (IsVertical(p1, p2)) {
        out = {p1.x, p.y};
        return 1;
    }
    if (p1.y == p2.y) {
        out = {p.x, p1.y};
        return 1;
    }
    const double dx = p2.x - p1.x;
    const double dy = p2.y - p1.y;
    const double along = ((p.x - p1.x) * dx + (p.y - p1.y) * dy) / (dx * dx + dy * dy);
    out = {p1.x + along * dx, p1.y + along * dy};
    return 1;
}

double GetAngleBetweenLines(const _RPOINT& p1, const _RPOINT& p2, const _RPOINT& p3, const _RPOINT& p4, int inner)
{
    _RPOINT v;
    if (!GetLinesIntersection(p1, p2, p3, p4, v))
        return 0;
    const _RPOINT& end1 = FartherEnd(v, p1, p2);
    const _RPOINT& end2 = FartherEnd(v, p3, p4);
    const double a1 = GetLineAngle360(v.x, v.y, end1.x, end1.y);
    const double a2 = GetLineAngle360(v.x, v.y, end2.x, end2.y);
    double between = std::fabs(a2 - a1);
    if (between >= 180)
        between = 360 - between;
    return inner ? between : 360 - between;
}

void NormalizeAngle180(double& degrees)
{
    const double whole = std::trunc(degrees);
    const double fraction = degrees - whole;
    double normal = std::fmod(whole, 360.0) + fraction;
    if (normal > 180)
        normal -= 360;
    else if (normal < -180)
        normal += 360;
    degrees = normal;
}

double CosDeg(double degrees)
{
    NormalizeAngle180(degrees);
    if (degrees == 0)
        return 1;
    if (degrees == 90 || degrees == -90)
        return 0;
    if (degrees == 180 || degrees == -180)
        return -1;
    return std::cos(DegreeToRadian(degrees));
}

double SinDeg(double degrees)
{
    NormalizeAngle180(degrees);
    if (degrees == 0 || degrees == 180 || degrees == -180)
        return 0;
    if (degrees == 90)
        return 1;
    if (degrees == -90)
        return -1;
    return std::sin(DegreeToRadian(degrees));
}

double DegreeToRadian(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

double PowerInt(double x, int n)
{
    // The exponent's magnitude in 64 bits, so that the most negative int has a positive counterpart.
    long long e = n < 0 ? -static_cast<long long>(n) : n;
    double result = 1.0;
    double square = x;
    while (e) {
        if (e & 1)
            result *= square;
        square *= square;
        e >>= 1;
    }
    return n < 0 ? 1.0 / result : result;
}
