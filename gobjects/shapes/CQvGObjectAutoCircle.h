// The automatic circle (shape 25): a circle drawn roughly by two ends of a diameter snaps to a round edge. On
// finishing, radial profiles every 5 pixels of arc run from the drawn circle 30 pixels inwards (to radius 1 for
// small circles), the first edge of each is taken and a least-squares circle is fitted; its vertical diameter
// becomes points 0 and 1. Too few edge points, no circle through them, or fewer than half the profiles agreeing
// with it fail the object (state 32). Reports the circle's quantities. Image pixels; UI thread only.
#pragma once

#include "gobjects/shapes/CQvGObjectAutoLine.h"

class VISTREL_EXPORT CQvGObjectAutoCircle : public CQvGObjectAutoLine
{
public:
    // Shape 25.
    CQvGObjectAutoCircle();

    void RemoveAll() override;
    // While created: the circle on the diameter and, for a radius above 30, the inner circle the scan reaches.
    // Finished: the circle and a radius to its rightmost point.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // The last point while created; else point 1 when in the rectangle, else point 0, else -1.
    int GetHandle(CRect rect) override;
    void MoveTo(CSize delta) override { MoveWhole(delta, 2); }
    int AddPoint(CPoint point) override { return AddPointUpTo(point, 2); }
    void Finish() override;
    int CanFinish() override { return m_pointCount == 2; }
    // The ring around the circle (the zoom tolerance each way) and grip squares on both points.
    int GetHitTestRgn(CRgn& rgn) override;
    void DrawSelection(CDC* dc, const CPoint* origin, const float* ratio) override
    {
        DrawInvertedGrips(dc, origin, ratio, 2);
    }
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    // The radial scan between radii r1 and r2 about the centre, every 5 pixels of arc; returns the profiles laid.
    int FindAutoEdge(const CGreyPixels& work, std::vector<_RPOINT>& edges, _RPOINT centre, double r1, double r2,
                     int outsideIn);

    static constexpr int32_t kQuantities = CAL_LENGTH | CAL_MAX_RADIUS | CAL_MIN_RADIUS | CAL_DIAMETER | CAL_AREA |
                                           CAL_CIRCULAR_MIL | CAL_POSITION_CENTER;
    // How far inside the drawn circle the profiles reach.
    static constexpr double kScanDepth = 30.0;
};
