// The distance between a base line and a line parallel to it, and the pair's direction (shape 16). The user draws
// the base line p0 p1, then places the parallel p2 p3 (same length and direction) through a third click. Turning
// either line at an end turns the other with it, so the two stay parallel. Points in image pixels, unrounded.
// UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/CQvGObject.h"

class VISTREL_EXPORT CQvGObjectParallel : public CQvGObject
{
public:
    // Shape 16, four zeroed points, none counted.
    CQvGObjectParallel();

    void RemoveAll() override;
    // The base line; while the parallel is placed, the parallel it would give and the connector from the mouse
    // to its foot on the base line (with the live result box); finished, the parallel and the connector from its
    // middle to the base line (the measured distance).
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // Grips on the six handles.
    void DrawSelection(CDC* dc, const CPoint* origin, const float* ratio) override;
    // While created: the point being placed (0, 2, then 4 for the parallel). Once placed, the last of the handles
    // 0 p0, 1 base middle, 2 p1, 3 p2, 4 parallel middle, 5 p3 inside the rectangle, or -1.
    int GetHandle(CRect rect) override;
    // Middles translate their line; an end moves and the other line turns about its far end by the same angle.
    void MoveHandle(int handle, CSize delta) override;
    void MoveTo(CSize delta) override;
    // Stores up to three points; the call after the third finishes.
    int AddPoint(CPoint point) override;
    // Places the parallel through the third point; a measurement gets its value label at the base line's middle.
    void Finish() override;
    void Cancel() override {}
    int CanFinish() override { return m_pointCount == 3; }
    // Bands along both lines (reaching the zoom tolerance beyond their ends) and +-4 squares on the six handles.
    int GetHitTestRgn(CRgn& rgn) override;
    // The rounded box of both lines once finished; of the base line before.
    CRect GetMBR() override;
    // IDC_SIZEALL over a point or a middle handle.
    UINT GetCursorShape(CRect rect) override;
    // Length (the distance between the lines), X Angle and Y Angle of the base line.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    CQvGObjectParallel& operator=(const CQvGObjectParallel& other)
    {
        CQvGObject::operator=(other);
        return *this;
    }

    // Handle 0..5 in image pixels: ends rounded, middles trunc((a + b + 1) / 2).
    CPoint GetHandlePoint(int handle) const;

    static constexpr int kHandleCount = 6;

private:
    // p2 and p3 through the point p2 holds: the base line shifted by p2 minus the base line's middle.
    void PlaceParallel();
};
