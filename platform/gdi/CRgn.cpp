#include "gdi/CRgn.h"

#include <QPolygon>

#include <algorithm>

namespace {

// The pixels [left, right) x [top, bottom) of the normalised rectangle.
QRect PixelBox(int left, int top, int right, int bottom)
{
    return QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                 QPoint(std::max(left, right) - 1, std::max(top, bottom) - 1));
}

}  // namespace

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom)
{
    const QRect box = PixelBox(left, top, right, bottom);
    m_region = box.isEmpty() ? QRegion() : QRegion(box);
    return MarkCreated(true);
}

BOOL CRgn::CreateRectRgnIndirect(const RECT* rect)
{
    return rect == nullptr ? 0 : CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

BOOL CRgn::CreateEllipticRgn(int left, int top, int right, int bottom)
{
    m_region = (right <= left || bottom <= top) ? QRegion()
                                                : QRegion(left, top, right - left, bottom - top, QRegion::Ellipse);
    return MarkCreated(true);
}

BOOL CRgn::CreateEllipticRgnIndirect(const RECT* rect)
{
    return rect == nullptr ? 0 : CreateEllipticRgn(rect->left, rect->top, rect->right, rect->bottom);
}

BOOL CRgn::CreatePolygonRgn(const POINT* points, int count, int mode)
{
    if ((points == nullptr && count > 0) || (mode != ALTERNATE && mode != WINDING))
        return 0;
    QPolygon polygon;
    for (int i = 0; i < count; ++i)
        polygon << QPoint(points[i].x, points[i].y);
    m_region = count < 3 ? QRegion() : QRegion(polygon, mode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    return MarkCreated(true);
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode)
{
    if (a == nullptr || a->GetSafeHandle() == nullptr)
        return RGN_ERROR;
    if (mode == RGN_COPY) {
        m_region = a->m_region;
    } else {
        if (b == nullptr || b->GetSafeHandle() == nullptr)
            return RGN_ERROR;
        switch (mode) {
        case RGN_AND: m_region = a->m_region.intersected(b->m_region); break;
        case RGN_OR: m_region = a->m_region.united(b->m_region); break;
        case RGN_XOR: m_region = a->m_region.xored(b->m_region); break;
        case RGN_DIFF: m_region = a->m_region.subtracted(b->m_region); break;
        default: return RGN_ERROR;
        }
    }
    MarkCreated(true);
    return RegionKind();
}

BOOL CRgn::PtInRegion(int x, int y) const
{
    return m_region.contains(QPoint(x, y)) ? 1 : 0;
}

BOOL CRgn::RectInRegion(const RECT* rect) const
{
    if (rect == nullptr)
        return 0;
    const QRect box = PixelBox(rect->left, rect->top, rect->right, rect->bottom);
    return !box.isEmpty() && m_region.intersects(box) ? 1 : 0;
}

int CRgn::GetRgnBox(RECT* box) const
{
    if (box == nullptr || GetSafeHandle() == nullptr)
        return RGN_ERROR;
    const QRect bounds = m_region.boundingRect();
    *box = bounds.isEmpty() ? RECT{0, 0, 0, 0}
                            : RECT{bounds.left(), bounds.top(), bounds.right() + 1, bounds.bottom() + 1};
    return RegionKind();
}

int CRgn::RegionKind() const
{
    if (m_region.isEmpty())
        return NULLREGION;
    return m_region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}
