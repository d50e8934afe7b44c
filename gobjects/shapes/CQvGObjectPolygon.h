// The closed area drawn point by point (shape 7, annotation form 37 with kind 9): the poly-line's creation,
// handles and labels; once finished the outline is stored closed (the last point repeats the first) and drawn
// filled. Measures perimeter, area (shoelace, so a self-crossing outline gives the difference of its lobes) and
// area in circular mils. UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/shapes/CQvGObjectPolyLine.h"

class VISTREL_EXPORT CQvGObjectPolygon : public CQvGObjectPolyLine
{
public:
    // Shape 7, the poly-line's empty array.
    CQvGObjectPolygon();

    // Filled with the brush (alternate rule) once finished, an open chain while being created; vertices mapped
    // as trunc(origin + ratio x p + 0.5). Then the live result box while a measurement is rubber-banded.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // The poly-line's finish (drops the point that followed the mouse, labels a measurement), then closes the
    // outline with a copy of the first point.
    void Finish() override;
    // Vertex `handle` moves; on a closed outline the first point and its closing copy move together.
    void MoveHandle(int handle, CSize delta) override;
    // Only the labels when the label was hit and the polygon is the only selected object; else labels and
    // every vertex.
    void MoveTo(CSize delta) override;
    int IsDisplayValue() override { return 1; }
    // Length (perimeter), Area, Circular Mil.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    CQvGObjectPolygon& operator=(const CQvGObjectPolygon& other)
    {
        CQvGObjectPolyLine::operator=(other);
        return *this;
    }

private:
    // The outline is stored closed: at least two points, the last equal to the first.
    bool IsClosed() const;
    // Twice the signed area of the outline through every counted point but the last, closed back to the first.
    double TwiceSignedArea() const;
};
