// The automatic angle (shape 27): two lines drawn roughly along two straight edges, each snapped to its edge as
// soon as it is complete (as the automatic line snaps), and the angle between the fitted lines (0 to 180 degrees,
// between the rays towards each line's farther end). Four clicks: the first places the first line's start, the
// second ends and snaps it, the third and fourth draw the second line. A first line without an edge fails the
// object (state 32); a second one without an edge is dropped and may be drawn again. The container's canvas is
// repainted after the first snap. Image pixels; UI thread only.
#pragma once

#include "gobjects/shapes/CQvGObjectAutoLine.h"

class VISTREL_EXPORT CQvGObjectAutoAngle : public CQvGObjectAutoLine
{
public:
    // Shape 27.
    CQvGObjectAutoAngle();

    void RemoveAll() override;
    // Both lines with their end pixels and, rubber-banded, their scan bands; finished, the angle's arc.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // The last point while created; else the first point in the rectangle, or -1.
    int GetHandle(CRect rect) override;
    void MoveTo(CSize delta) override { MoveWhole(delta, 4); }
    // With two points the first line is snapped first: on failure 0, the point not stored. Then the point is
    // appended, or with four points the object is finished.
    int AddPoint(CPoint point) override;
    // Snaps the second line; see the class comment for a failure.
    void Finish() override;
    int CanFinish() override { return m_pointCount == 4; }
    // Snaps line 0-1; non-zero on success.
    int Finish_First();
    int GetHitTestRgn(CRgn& rgn) override;
    // The rounded points' box, not grown.
    CRect GetMBR() override;
    void DrawSelection(CDC* dc, const CPoint* origin, const float* ratio) override
    {
        DrawInvertedGrips(dc, origin, ratio, m_pointCount);
    }
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

private:
    bool SnapPoints(int first);
    void InvalidateCanvas();
};
