// The distance between the centres of two circles (shape 15), each picked as three points on its rim: points 0-2
// lie on circle A, 3-5 on circle B, all whole pixels. Reports the distance of the centres, the direction A -> B
// and the positions of A, of the midpoint and of B. A circle's centre is the centre of the box of the circle
// through its three points; when they do not make a circle (two coincide, or all three lie on a line) the box of
// its first two points stands in. UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/CQvGObject.h"

class VISTREL_EXPORT CQvGObjectCenterToCenter : public CQvGObject
{
public:
    // Which circles a body drag moves.
    enum MovingPart
    {
        kMoveNothing = -1,
        kMoveCircleA = 0,
        kMoveCircleB = 1,
        kMoveBoth = 2,
    };

    // Shape 15, seven zeroed points (the seventh is spare), nothing to move.
    CQvGObjectCenterToCenter();

    void RemoveAll() override;
    // While created: a plus sign on every stored point but the one following the mouse. A circle is drawn with a
    // radius line once its three points are there; a finished object joins the two centres.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // The point following the mouse while created. Otherwise the last rim point inside the rectangle; with none,
    // the handle is -1 and the circles whose boxes meet the rectangle become the part a body drag moves.
    int GetHandle(CRect rect) override;
    void MoveHandle(int handle, CSize delta) override;
    // Only the label when the label was hit and this is the only selected object. Otherwise the grabbed part;
    // the whole object (label included) when grabbed by both circles or dragged along with other objects.
    void MoveTo(CSize delta) override;
    // Stores up to six rounded points; the call after the sixth finishes.
    int AddPoint(CPoint point) override;
    // Finished with six points; a measurement gets its value label between points 0 and 1.
    void Finish() override;
    void Cancel() override {}
    // Only the sixth click finishes: a right click never does.
    int CanFinish() override { return m_pointCount > 6; }
    // A ring of +-k image pixels (the zoom tolerance) along each circle, and +-4 squares on the six rim points.
    int GetHitTestRgn(CRgn& rgn) override;
    CRect GetHitBounds() override;
    // The same rings and squares tested without a region.
    OutlineHit HitByOutline(const CRect& pixels) override;
    // Both circles' boxes and the stored points, so that all the object paints lies inside.
    CRect GetMBR() override;
    // The container repaints instead of inverting.
    int NeedROP() override { return 0; }
    // Length, X and Y angle, and the positions of centre A, the midpoint and centre B.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;
    int GetMovingPart() const { return m_movingPart; }

    CQvGObjectCenterToCenter& operator=(const CQvGObjectCenterToCenter& other)
    {
        CQvGObject::operator=(other);
        m_movingPart = other.m_movingPart;
        return *this;
    }

protected:
    // No fields of its own; a record read back (a load or a paste) moves as a whole until a click grabs a part of
    // it.
    int ReadShapeFields(LeReader& in, float version) override;

private:
    // The box (image pixels, left <= right, top <= bottom) of circle 0 (A) or 1 (B), and whether the circle has
    // its three points.
    bool CircleBox(int circle, _RPOINT& topLeft, _RPOINT& bottomRight) const;
    _RPOINT Centre(int circle) const;
    // The whole-pixel box, right and bottom included, that circle 0 or 1's hit ring follows (the painted outline);
    // false when the circle has not its three points.
    bool RingBox(int circle, CRect& box) const;
    void DrawCircle(CDC* dc, int circle, const CPoint& origin, float ratio) const;
    void MovePoints(int first, int last, CSize delta);

    int m_movingPart = kMoveNothing;
};
