// The automatic line (shape 24): a line drawn roughly along a straight edge snaps to it. On finishing, profiles
// every 5 pixels along the line, each 20 pixels across it from its right-hand side (as seen on screen) to its
// left, find the first edge; a robust line through the edge points replaces the drawn points, and the object
// reports what a line reports. No edge (fewer than two edge points, or fewer than half the profiles agreeing on
// one line) leaves the object failed (state 32), which the container discards. Editing afterwards never detects
// again. Base of the other automatic tools, which share its profile analyser and band scan.
// Points in image pixels; the edges are sought in the container's active image. UI thread only.
#pragma once

#include "gobjects/geometry/EdgeProfile.h"
#include "gobjects/shapes/CQvGObjectLine.h"

#include <vector>

class CQvImage;

class VISTREL_EXPORT CQvGObjectAutoLine : public CQvGObjectLine
{
public:
    // Shape 24, room for five points.
    CQvGObjectAutoLine();

    void RemoveAll() override;
    // The segment and its end pixel; while a measurement is rubber-banded also the outline of the band that will
    // be scanned (image pixels, so it shows the scan at any zoom).
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    void Finish() override;
    int CanFinish() override { return m_pointCount >= 1; }
    // The plain line's band: the tool shows no line ends of its own.
    int GetHitTestRgn(CRgn& rgn) override;
    CRect GetHitBounds() override { return CRect(); }

    // Half the width of the scanned band and the spacing of its profiles, in image pixels.
    static constexpr double kBandHalf = 10.0;
    static constexpr double kProfileSpacing = 5.0;
    // Edge points farther than this from the fitted curve do not count as agreeing with it.
    static constexpr double kAgreement = 2.0;

    // The band scan: profiles from p0 + l d01 to q0 + l d01 (q0 = p0 moved by p1 -> p2) for l = 0, 5, ... below
    // |p0 p1|; the first edge of each is appended to `edges`. Returns the number of profiles laid.
    int FindAutoEdge(const CGreyPixels& work, std::vector<_RPOINT>& edges, _RPOINT p0, _RPOINT p1, _RPOINT p2);

protected:
    // The first edge of each segment's profile, in order, appended to `edges`; the number of segments.
    int FindEdges(const CGreyPixels& work, const std::vector<CEdgeProfile::Segment>& segments,
                  std::vector<_RPOINT>& edges);
    // The grey levels of the container's active image, read where the profiles need them; false without one.
    bool MakeWorkImage(CGreyPixels& work) const;
    // The band's corners around q0 -> q1: a0, a1 across q0 and b0, b1 across q1; a1 and b0 on the right-hand side.
    static void BandCorners(const _RPOINT& q0, const _RPOINT& q1, double half, _RPOINT corners[4]);
    // Snaps q0 -> q1 to the edge in the band around it; false (points unchanged) without an edge.
    bool SnapLine(const CGreyPixels& work, _RPOINT& q0, _RPOINT& q1);
    // The segment a -> b in window pixels with its end pixel.
    static void DrawSegment(CDC* dc, const CPoint& a, const CPoint& b);
    // The band outline around q0 -> q1 in window pixels.
    static void DrawBand(CDC* dc, const _RPOINT& q0, const _RPOINT& q1, const CPoint& origin, float ratio);
    // Inverted 8 x 8 squares on the first `count` points.
    void DrawInvertedGrips(CDC* dc, const CPoint* origin, const float* ratio, int count);

    CEdgeProfile m_profile;
};
