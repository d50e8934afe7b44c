// The open chain of points (shape 6, annotation form 36) and its length. While it is being created the last point
// follows the mouse, and dragging with the button held appends points (a freehand chain). A finished measurement
// of n points owns n labels: the value label at the centre of its bounding box, then one at the middle of every
// segment. Base of the polygon and of the point-picked angles. UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/CQvGObject.h"

class VISTREL_EXPORT CQvGObjectPolyLine : public CQvGObject
{
public:
    // Shape 6, room for 10 points, none counted.
    CQvGObjectPolyLine();

    void RemoveAll() override;
    // The chain through the vertices, mapped as trunc(origin + ratio x p + 1.0); then the live result box while
    // a measurement is rubber-banded. Nothing without points.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // Prepares and hands every label after the first to its own DrawExtLabel.
    void DrawExtLabel(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // The last vertex while being created; otherwise the first vertex inside the rectangle, or -1.
    int GetHandle(CRect rect) override;
    // Vertex `handle` moves; any other index moves nothing.
    void MoveHandle(int handle, CSize delta) override;
    void MoveTo(CSize delta) override;
    // Every label moves.
    void MoveLabelObject(CSize delta) override;
    // Appends the point; returns the new count.
    int AddPoint(CPoint point) override;
    // Drops the point that followed the mouse, then labels a measurement.
    void Finish() override;
    void Cancel() override { Finish(); }
    int CanFinish() override { return m_pointCount >= 1; }
    // The polygon through the vertices united with a hit band along every segment; 0 without points.
    int GetHitTestRgn(CRgn& rgn) override;
    // Minimum and maximum of the rounded vertices.
    CRect GetMBR() override;
    // IDC_SIZEALL on a vertex, else kNoCursor.
    UINT GetCursorShape(CRect rect) override;
    int CanDragAddPoint() override { return 1; }
    int IsDisplayValue() override { return 0; }
    // Length only.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    // Slots the point array holds, counted or not: it always keeps one free slot and grows by 10.
    int GetCapacity() const { return static_cast<int>(m_points.size()); }

    static constexpr int kCapacityStep = 10;
};
