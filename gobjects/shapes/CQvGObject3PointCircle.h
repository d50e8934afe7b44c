// The circle through three clicked points (shape 21): its radii, diameter, circumference, area, circular mils and
// centre. Points that define no circle (two coincide, or all three lie on a line) give 0 for every quantity and
// their centroid as the centre. While it is being created its placed points show as crosses and the container
// repaints rather than rubber-banding. UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/shapes/CQvGObjectPolyLine.h"

class VISTREL_EXPORT CQvGObject3PointCircle : public CQvGObjectPolyLine
{
public:
    // Shape 21.
    CQvGObject3PointCircle();

    // While being created: a cross on every placed point but the one following the mouse. Finished: the circle
    // and its radius line to the right, or the three crosses when the points define no circle.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // The last point while being created; otherwise the LAST of the three points inside the rectangle, or -1.
    int GetHandle(CRect rect) override;
    // Appends the point; the click after the third point finishes.
    int AddPoint(CPoint point) override;
    // Finished with exactly three points. Finished by the container (right click) while the third point still
    // follows the mouse, that point becomes the third one, so both ways give the same shape and labels.
    void Finish() override;
    // Finishes only when it could be finished by the container.
    void Cancel() override;
    int CanFinish() override { return m_pointCount == kPoints; }
    // The ring of +-k image pixels around the circle (k = the zoom tolerance) and +-4 squares on the points.
    int GetHitTestRgn(CRgn& rgn) override;
    CRect GetHitBounds() override;
    // The same ring and squares tested without a region.
    OutlineHit HitByOutline(const CRect& pixels) override;
    int CanDragAddPoint() override { return 0; }
    int NeedROP() override { return 0; }
    int IsDisplayValue() override { return 1; }
    // Length (circumference), Max and Min Radius, Diameter, Area, Circular Mil, Position Center.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    // The circle through the three points in image pixels; false (outputs untouched) when they define none.
    bool GetCircle(_RPOINT& centre, double& radius) const;

    static constexpr int kPoints = 3;

private:
    void DrawCrosses(CDC* dc, const CPoint* origin, const float* ratio, int count) const;
    // The whole-pixel box of the circle that the hit ring follows; false when the points define no circle.
    bool RingBox(CRect& box) const;
};
