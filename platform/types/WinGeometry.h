// Integer points, sizes and rectangles with the Windows conventions: y grows downwards and a rectangle
// holds the pixels [left, right) x [top, bottom). Plain values, any thread.
#pragma once

#include "types/VistrelExport.h"

#include <cstdint>

struct POINT
{
    int32_t x;
    int32_t y;
};

struct SIZE
{
    int32_t cx;
    int32_t cy;
};

struct RECT
{
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

class CSize : public SIZE
{
public:
    constexpr CSize() : SIZE{0, 0} {}
    constexpr CSize(int32_t x, int32_t y) : SIZE{x, y} {}
    constexpr CSize operator-() const { return CSize(-cx, -cy); }
    constexpr CSize operator+(CSize s) const { return CSize(cx + s.cx, cy + s.cy); }
    constexpr CSize operator-(CSize s) const { return CSize(cx - s.cx, cy - s.cy); }
    constexpr bool operator==(const CSize& s) const { return cx == s.cx && cy == s.cy; }
};

class CPoint : public POINT
{
public:
    constexpr CPoint() : POINT{0, 0} {}
    constexpr CPoint(int32_t x_, int32_t y_) : POINT{x_, y_} {}
    constexpr CPoint(POINT p) : POINT(p) {}
    constexpr void Offset(int32_t dx, int32_t dy) { x += dx; y += dy; }
    constexpr void Offset(CSize s) { Offset(s.cx, s.cy); }
    constexpr CPoint operator+(CSize s) const { return CPoint(x + s.cx, y + s.cy); }
    constexpr CPoint operator-(CSize s) const { return CPoint(x - s.cx, y - s.cy); }
    constexpr CSize operator-(CPoint p) const { return CSize(x - p.x, y - p.y); }
    constexpr CPoint operator-() const { return CPoint(-x, -y); }
    constexpr CPoint& operator+=(CSize s) { Offset(s); return *this; }
    constexpr CPoint& operator-=(CSize s) { Offset(-s.cx, -s.cy); return *this; }
    constexpr bool operator==(const CPoint& p) const { return x == p.x && y == p.y; }
};

class VISTREL_EXPORT CRect : public RECT
{
public:
    constexpr CRect() : RECT{0, 0, 0, 0} {}
    constexpr CRect(int32_t l, int32_t t, int32_t r, int32_t b) : RECT{l, t, r, b} {}
    constexpr CRect(const RECT& r) : RECT(r) {}
    // The rectangle spanned by two points (not normalised, as on Windows).
    constexpr CRect(CPoint topLeft, CPoint bottomRight) : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}
    constexpr CRect(CPoint topLeft, CSize size) : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}

    constexpr int32_t Width() const { return right - left; }
    constexpr int32_t Height() const { return bottom - top; }
    constexpr CSize Size() const { return CSize(Width(), Height()); }
    constexpr CPoint TopLeft() const { return CPoint(left, top); }
    constexpr CPoint BottomRight() const { return CPoint(right, bottom); }
    constexpr CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    constexpr void SetRect(int32_t l, int32_t t, int32_t r, int32_t b) { left = l; top = t; right = r; bottom = b; }
    constexpr void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    // Empty: no pixel inside (width or height not positive).
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    // Null: every coordinate 0.
    constexpr bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    constexpr bool PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

    void NormalizeRect();
    void InflateRect(int32_t d) { InflateRect(d, d); }
    void InflateRect(int32_t dx, int32_t dy);
    void InflateRect(int32_t l, int32_t t, int32_t r, int32_t b);
    void DeflateRect(int32_t d) { InflateRect(-d, -d); }
    void DeflateRect(int32_t dx, int32_t dy) { InflateRect(-dx, -dy); }
    void OffsetRect(int32_t dx, int32_t dy);
    void OffsetRect(CSize s) { OffsetRect(s.cx, s.cy); }
    void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
    // Both return false and leave an empty (all-zero) rectangle when the result has no pixel.
    bool IntersectRect(const RECT& a, const RECT& b);
    // An empty operand is ignored; two empty operands give the all-zero rectangle.
    bool UnionRect(const RECT& a, const RECT& b);

    constexpr bool operator==(const CRect& r) const
    {
        return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
    }
};

// A point in image coordinates (16 bytes, stored in the overlay stream as two doubles).
struct _RPOINT
{
    double x;
    double y;
    constexpr bool operator==(const _RPOINT&) const = default;
};

static_assert(sizeof(POINT) == 8 && sizeof(RECT) == 16 && sizeof(CRect) == 16 && sizeof(_RPOINT) == 16);
