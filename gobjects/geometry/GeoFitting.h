// Circles and straight lines fitted to points, and the small linear solver they rest on. Points are doubles in
// the caller's system (image pixels). Results are int flags: 1 done, 0 not possible (outputs then untouched).
// Stateless; safe on any thread.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinGeometry.h"

// Circle with the segment p1 p2 as diameter. Equal points give centre p1, radius 0 and the result 0.
VISTREL_EXPORT int GetCircleFromDiameter(const _RPOINT& p1, const _RPOINT& p2, _RPOINT& centre, double& radius);

// The circle through points[0..2]. On success points[0] and points[1] become its bounding square
// (cx - r, cy - r) and (cx + r, cy + r). 0 when two of the points coincide or the three are collinear; how nearly
// collinear is judged against the points' spread, so the answer does not depend on scale or position.
VISTREL_EXPORT int FitCircleLeastSquares(_RPOINT* points);

// Least-squares line through points[0..count-1], clipped to the points' extent along the axis they spread most on
// (all x equal: the vertical segment from (min x, min y) to (max x, max y)). Points that spread at least as much
// along x as along y (a fitted direction within 45 degrees of horizontal) are fitted by regressing y on x, steeper
// ones by regressing x on y, which is the same fit with the axes exchanged. The segment's ends replace points[0]
// and points[1], so the array must hold at least two entries. 0 when count < 1.
VISTREL_EXPORT int FitPointsLeastSquares(_RPOINT* points, int count);

// Solves n equations by Gaussian elimination with partial pivoting. `augmented` holds the n x (n + 1) matrix
// row after row (the n coefficients then the right-hand side) and is overwritten; the n unknowns go to `out`.
// 0 when a pivot's magnitude is below 0.00001 (a singular system).
VISTREL_EXPORT int SolveLinearSystem(double* augmented, int n, double* out);
