// The ellipse measurement (shape 5, annotation form 35, kind 7): an axis-parallel bounding box given by two
// opposite corners (points 0 and 1, whole image pixels), eight handles on its corners and edge middles, and its
// perimeter, radii, area, circular mils and centre. Base of the circle by diameter and the circle from its centre,
// which share its painting, moving, point adding, finishing and bounding box. UI thread only; deleted through
// RemoveAll.
#pragma once

#include "gobjects/shapes/CQvGObjectLine.h"

#include <span>

class VISTREL_EXPORT CQvGObjectEllipse : public CQvGObjectLine
{
public:
    // Shape 5, room for three points, all zero.
    CQvGObjectEllipse();

    // Live result box while created, the ellipse in the corners' box with the selected pen and brush, and for a
    // measurement the radius line from its centre to its right edge.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // A grip on every handle.
    void DrawSelection(CDC* dc, const CPoint* origin, const float* ratio) override;
    // The dragged corner while being created (4, the circles 2); otherwise the LAST handle inside the rectangle
    // in table order, or -1.
    int GetHandle(CRect rect) override;
    // The sizing cursor of the FIRST handle inside the rectangle, or kNoCursor.
    UINT GetCursorShape(CRect rect) override;
    // With Shift held the ellipse is kept a square (see ResizeByHandle).
    void MoveHandle(int handle, CSize delta) override;
    // Only the label when the label was hit and the shape is the only selected object; else label and corners.
    void MoveTo(CSize delta) override;
    // The elliptic ring of +-k image pixels around the outline (k = the zoom tolerance) and +-4 squares on the
    // handles.
    int GetHitTestRgn(CRgn& rgn) override;
    CRect GetHitBounds() override;
    // The same ring and squares tested without a region.
    OutlineHit HitByOutline(const CRect& pixels) override;
    // The rounded corners, ordered, not inflated.
    CRect GetMBR() override;
    // Length (perimeter), Max and Min Radius, Area, Circular Mil, Position Center.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    // The handle move with the Shift state given. The corners are ordered first, except while the object is being
    // created (its far corner follows the mouse and may cross the fixed one). Without keepSquare the handle moves
    // the coordinates it stands on; with it the box first becomes a square of its shorter side at corner 0, then
    // only the corner handles act, by the square-keeping corner rule.
    virtual void ResizeByHandle(int handle, CSize delta, bool keepSquare);
    // Handle position in image pixels: corners rounded, middles trunc((a + b + 1) / 2), on the ordered box.
    CPoint GetHandlePoint(int handle) const;
    int GetHandleCount() const { return static_cast<int>(Handles().size()); }

protected:
    // Where a handle stands: column 0 left, 1 middle, 2 right; row 0 top, 1 middle, 2 bottom.
    struct HandleSpot
    {
        int column;
        int row;
        UINT cursor;
    };
    virtual std::span<const HandleSpot> Handles() const;
    bool IsCorner(int handle) const;
    // The handle at the bottom-right corner: the one the mouse drags while the object is being created.
    int CreationHandle() const;
    // The corner coordinates a handle stands on (null for a middle).
    double* HandleX(int handle);
    double* HandleY(int handle);
    // The square-keeping corner rule for a drag of a corner whose outward direction is (sx, sy): the larger
    // component of the drag when it points outward (grow), minus it when it points inward (shrink), else 0.
    static double SquareStep(int sx, int sy, CSize delta);
    // Outward direction of a corner handle from its place in the table.
    void OutwardDirection(int handle, int& sx, int& sy) const;
    // Moves a corner handle along its diagonal by the square-keeping corner rule.
    void MoveCornerKeepingSquare(int handle, CSize delta);
    // The values of a circle whose diameter is the horizontal extent of the box.
    int GetCircleCalData(tagCAL_DATA& data);

    static constexpr int32_t kEllipseQuantities =
        CAL_LENGTH | CAL_MAX_RADIUS | CAL_MIN_RADIUS | CAL_AREA | CAL_CIRCULAR_MIL | CAL_POSITION_CENTER;
    static constexpr int32_t kCircleQuantities = kEllipseQuantities | CAL_DIAMETER;
    static const HandleSpot kCircleHandles[4];
};
