// The least-squares line through any number of clicked points (shape 9). While it is created every clicked point
// shows as a small cross and the last point follows the mouse; Finish fits the line through the clicked points
// (the one under the mouse excluded) and the object becomes a two-point line that reports what a line reports.
// Points in image pixels. UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/shapes/CQvGObjectLine.h"

class VISTREL_EXPORT CQvGObjectBestFitLine : public CQvGObjectLine
{
public:
    // Shape 9, room for 10 points, none counted.
    CQvGObjectBestFitLine();

    void RemoveAll() override;
    // While created: a cross on every clicked point (not on the one that follows the mouse). Finished: the
    // segment and its end pixel. Nothing otherwise.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // The last point while created; otherwise the first point inside the rectangle, or -1.
    int GetHandle(CRect rect) override;
    void MoveHandle(int handle, CSize delta) override;
    void MoveTo(CSize delta) override;
    // Appends the point (the array grows by 10 whenever one slot is left); returns the new count.
    int AddPoint(CPoint point) override;
    // Fits the line through every point but the last and keeps its two ends; a measurement gets its value label
    // at their integer middle. Without a point to fit the object keeps no points (it shows and reports nothing).
    void Finish() override;
    void Cancel() override { Finish(); }
    int CanFinish() override { return m_pointCount > 1; }
    // The line's band around points 0 and 1; 0 without them.
    int GetHitTestRgn(CRgn& rgn) override;
    // The rounded points' box, not inflated.
    CRect GetMBR() override;
    // The container repaints the crosses rather than inverting them.
    int NeedROP() override { return 0; }
    // The line's quantities, from a fitted segment only.
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    // Points the array holds, counted or not.
    int GetCapacity() const { return static_cast<int>(m_points.size()); }

    CQvGObjectBestFitLine& operator=(const CQvGObjectBestFitLine& other)
    {
        CQvGObjectLine::operator=(other);
        return *this;
    }

    static constexpr int kCapacityStep = 10;
};
