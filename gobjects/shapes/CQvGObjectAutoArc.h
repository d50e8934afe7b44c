// The automatic arc (shape 26): an arc drawn roughly by its two ends and a third point on it snaps to a round
// edge. On finishing, radial profiles every 5 pixels along the drawn arc run 20 pixels across it from outside
// inwards; a circle is fitted to the first edges and the arc's ends are put where the edge points end (the largest
// gap between their angles). Points 0 and 1 are the ends, point 2 the circle point in the direction of the drawn
// third point; the arc meant is always the one of the two between the ends that holds point 2. Fails (state 32)
// without a circle through the drawn points or the edge points, with fewer than two usable edge angles, or when
// fewer than half the profiles agree with the fitted circle. Image pixels; UI thread only.
#pragma once

#include "gobjects/shapes/CQvGObjectAutoLine.h"

class VISTREL_EXPORT CQvGObjectAutoArc : public CQvGObjectAutoLine
{
public:
    // Shape 26.
    CQvGObjectAutoArc();

    void RemoveAll() override;
    // Fewer than 3 points: the chord with the band's end bars. 3 points: the arc through them and, while created,
    // the band that will be scanned (10 image pixels each side).
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // The last point while created; else the last point in the rectangle, or -1.
    int GetHandle(CRect rect) override;
    void MoveTo(CSize delta) override { MoveWhole(delta, 3); }
    int AddPoint(CPoint point) override { return AddPointUpTo(point, 3); }
    void Finish() override;
    int CanFinish() override { return m_pointCount == 3; }
    // A band of the zoom tolerance along the arc and grip squares on the three points.
    int GetHitTestRgn(CRgn& rgn) override;
    CRect GetMBR() override;
    void DrawSelection(CDC* dc, const CPoint* origin, const float* ratio) override
    {
        DrawInvertedGrips(dc, origin, ratio, 3);
    }
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    // The circle through three points with the arc from p1 to p2 that holds p3: angles in screen degrees
    // (counter-clockwise), sweep from the start angle (negative: clockwise). -1 when the points make no circle.
    static int GetArcFrom3Points(const _RPOINT& p1, const _RPOINT& p2, const _RPOINT& p3, _RPOINT& centre,
                                 double& radius, _RPOINT& start, double& startAngle, _RPOINT& end, double& endAngle,
                                 double& sweep);
    // The arc of the circle about centre between the angles of a and b (screen degrees) that holds the angle of
    // m: its start angle and its counter-clockwise extent in degrees.
    static void ArcHolding(const _RPOINT& centre, const _RPOINT& a, const _RPOINT& b, const _RPOINT& m,
                           double& startAngle, double& extent);
    // The radial scan of the arc: theta from startAngle (clockwise screen degrees) over sweep degrees.
    int FindAutoEdge(const CGreyPixels& work, std::vector<_RPOINT>& edges, _RPOINT centre, double r1, double r2,
                     double startAngle, double sweep, int outsideIn);

    static constexpr int32_t kQuantities = CAL_LENGTH | CAL_ANGLE | CAL_MAX_RADIUS | CAL_MIN_RADIUS;

private:
    // The circle through points 0, 1, 2; false when they make none.
    bool GetCircle(_RPOINT& centre, double& radius) const;
};
