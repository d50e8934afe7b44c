// The circle the automatic circle and arc fit to their edge points: through three points exactly, through more
// by algebraic least squares (the normal equations solved with CKvMatrix). Stateless; safe on any thread.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinGeometry.h"

#include <vector>

// Centre and radius of the circle of `points`. false (outputs untouched) for fewer than 3 points, points all
// equal, three points that make no circle, normal equations the matrix cannot invert (collinear points), or a
// radius that is not finite and below `maxRadius`: a failed fit never throws.
VISTREL_EXPORT bool FitEdgeCircle(const std::vector<_RPOINT>& points, double maxRadius, _RPOINT& centre,
                                  double& radius);

// How many of the points lie within `tolerance` of the circle.
VISTREL_EXPORT int CountNearCircle(const std::vector<_RPOINT>& points, const _RPOINT& centre, double radius,
                                   double tolerance);
