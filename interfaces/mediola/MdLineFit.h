// The companion media library's robust straight-line fit: a line through edge points that ignores the outlying
// ones (a scratch, a second edge, noise taken for an edge). Stateless; safe on any thread.
#pragma once

#include "types/VistrelExport.h"

struct CMdPointF
{
    float x;
    float y;
};

// Fits the dominant straight line of points[0 .. count-1] and puts the ends of its inliers' extent into start and
// end: the projections onto the line of the two extreme inliers, start being the one nearer points[0] along the
// line (so a line scanned from its first point keeps that direction).
// How: a Hough vote over `angleBins` directions spread over 180 degrees; for each direction the points are
// projected on its normal and the densest 2 * kMdVoteHalfWidth wide window of offsets counts the votes. The
// winner's points are refitted by total least squares, then the points within kMdInlierDistance of that line are
// refitted, three times. `angleBins` is thus the angular resolution of the vote: 500 (what the edge tools pass)
// gives bins of 0.36 degree; a value below 1 means 180.
// Returns the number of inliers of the final line (>= 2), or 0 (start and end untouched) when count < 2, the
// points are null or all inliers coincide.
VISTREL_EXPORT int MDF_GetLineBestFitHT(CMdPointF& start, CMdPointF& end, const CMdPointF* points, int count,
                                        int angleBins);

// Half the width of the vote window and the inlier distance, in the points' units (image pixels).
constexpr double kMdVoteHalfWidth = 1.5;
constexpr double kMdInlierDistance = 1.5;
