#include "types/WinGeometry.h"

#include <algorithm>
#include <utility>

void CRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

void CRect::InflateRect(int32_t dx, int32_t dy)
{
    InflateRect(dx, dy, dx, dy);
}

void CRect::InflateRect(int32_t l, int32_t t, int32_t r, int32_t b)
{
    left -= l;
    top -= t;
    right += r;
    bottom += b;
}

void CRect::OffsetRect(int32_t dx, int32_t dy)
{
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
}

bool CRect::IntersectRect(const RECT& a, const RECT& b)
{
    const CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom));
    if (r.IsRectEmpty()) {
        SetRectEmpty();
        return false;
    }
    *this = r;
    return true;
}

bool CRect::UnionRect(const RECT& a, const RECT& b)
{
    const bool emptyA = CRect(a).IsRectEmpty();
    const bool emptyB = CRect(b).IsRectEmpty();
    if (emptyA && emptyB) {
        SetRectEmpty();
        return false;
    }
    if (emptyA) {
        *this = b;
        return true;
    }
    if (emptyB) {
        *this = a;
        return true;
    }
    SetRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom));
    return true;
}
