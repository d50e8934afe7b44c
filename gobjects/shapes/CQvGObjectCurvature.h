// The curvature (shape 43): a chord p0 p1 and a point p2 on the curve; its value is the height of p2 above the
// chord in percent of the chord's length (a point on the chord gives 0, the top of a semicircle over its diameter
// 50; a chord of zero length gives 0). Three clicks make it; the value label shows "%" after the number. Points in
// image pixels, unrounded. UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/CQvGObject.h"

class VISTREL_EXPORT CQvGObjectCurvature : public CQvGObject
{
public:
    // Shape 43, three zeroed points, none counted.
    CQvGObjectCurvature();

    void RemoveAll() override;
    // Live result box while created; the chord, and with three points the line from p2 to its foot on the chord.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // An inverted grip on each of the three points, whatever the edition.
    void DrawSelection(CDC* dc, const CPoint* origin, const float* ratio) override;
    // While being created the last stored point; otherwise p2, else p1, else p0 when inside the rectangle, or -1.
    int GetHandle(CRect rect) override;
    void MoveHandle(int handle, CSize delta) override;
    // Only the label when the label was hit and the object is the only selected one; else label and points.
    void MoveTo(CSize delta) override;
    // Stores up to three points; the call with three stored finishes.
    int AddPoint(CPoint point) override;
    // Finished with three points; a measurement gets its value label at the chord's middle.
    void Finish() override;
    void Cancel() override {}
    // Only once the point on the curve exists (three stored), so a right click never measures against a point
    // that was never placed.
    int CanFinish() override { return m_pointCount >= 3; }
    // The band along the chord united with +-4 squares around the three points.
    int GetHitTestRgn(CRgn& rgn) override;
    // The ordered rounded box of the chord.
    CRect GetMBR() override;
    // The four-way arrow (32646) on a stored point or on the chord's middle.
    UINT GetCursorShape(CRect rect) override;
    // Curvature only.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    CQvGObjectCurvature& operator=(const CQvGObjectCurvature& other)
    {
        CQvGObject::operator=(other);
        return *this;
    }

private:
    static constexpr int kPointCount = 3;
    // Half the side of the squares that make the points pickable.
    static constexpr int kPointReach = 4;
};
