// A region of whole pixels: rectangles hold [left, right) x [top, bottom), ellipses the pixels inside the ellipse
// of their box, polygons the pixels whose centres the polygon encloses (alternate or winding rule).
#pragma once

#include "gdi/CGdiObject.h"
#include "types/WinGeometry.h"

#include <QRegion>

class VISTREL_EXPORT CRgn : public CGdiObject
{
public:
    CRgn() = default;

    Kind GetKind() const override { return Kind::Region; }

    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    BOOL CreateRectRgnIndirect(const RECT* rect);
    // An inverted or empty box gives an empty region.
    BOOL CreateEllipticRgn(int left, int top, int right, int bottom);
    BOOL CreateEllipticRgnIndirect(const RECT* rect);
    // mode ALTERNATE or WINDING; fewer than 3 points give an empty region.
    BOOL CreatePolygonRgn(const POINT* points, int count, int mode);

    // this = a <op> b (b is ignored for RGN_COPY). Returns NULLREGION, SIMPLEREGION, COMPLEXREGION, or RGN_ERROR
    // for an unknown mode or an operand that was never created.
    int CombineRgn(const CRgn* a, const CRgn* b, int mode);

    BOOL PtInRegion(int x, int y) const;
    BOOL PtInRegion(POINT p) const { return PtInRegion(p.x, p.y); }
    // Whether any pixel of the rectangle lies in the region; an empty rectangle never does.
    BOOL RectInRegion(const RECT* rect) const;
    // The bounding box; returns the region kind.
    int GetRgnBox(RECT* box) const;

    const QRegion& Region() const { return m_region; }

private:
    void Clear() override { m_region = QRegion(); }
    int RegionKind() const;

    QRegion m_region;
};
