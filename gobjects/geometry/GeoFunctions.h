// Plane geometry of the overlay shapes: distances, directions, polar points, rotation, intersections and
// perpendicular feet. Works on doubles in whatever system the caller passes (image pixels for values, window
// pixels for drawing), y growing downwards. Directions in degrees run counter-clockwise as seen on the screen,
// from the positive x axis, in [0, 360). Stateless; safe on any thread.
#pragma once

#include "types/VistrelExport.h"
#include "types/WinGeometry.h"

VISTREL_EXPORT double GetDistance(double x1, double y1, double x2, double y2);
VISTREL_EXPORT void GetMidPoint(_RPOINT& out, double x1, double y1, double x2, double y2);

// Direction of p1 -> p2 in screen degrees [0, 360): right 0, up 90, left 180, down 270; -1 for equal points.
VISTREL_EXPORT double GetLineAngle360(double x1, double y1, double x2, double y2);

// atan2(y2 - y1, x2 - x1) in radians, y not flipped: a segment going down the screen gives +pi/2.
VISTREL_EXPORT double GetLineAngle(double x1, double y1, double x2, double y2);

// (cx + r cos angle, cy + r sin angle), angle in radians; with y down the angle grows clockwise on screen.
VISTREL_EXPORT void GetPolarPoint(_RPOINT& out, double cx, double cy, double angle, double r);
VISTREL_EXPORT void GetPolarPointF(_RPOINT& out, double cx, double cy, float angle, float r);

// Turns `count` points in place about (cx, cy) by angleDeg screen degrees (counter-clockwise on screen).
VISTREL_EXPORT void RotatePoints(double angleDeg, double cx, double cy, _RPOINT* points, int count);

// Crossing of the infinite lines p1 p2 and p3 p4 into out; 0 (out untouched) when they are parallel.
// A line whose two points coincide counts as vertical.
VISTREL_EXPORT int GetLinesIntersection(const _RPOINT& p1, const _RPOINT& p2, const _RPOINT& p3, const _RPOINT& p4,
                                        _RPOINT& out);

// Foot of the perpendicular from p onto the line p1 p2 (the orthogonal projection); always 1.
VISTREL_EXPORT int GetPerpendicularPoint(const _RPOINT& p1, const _RPOINT& p2, const _RPOINT& p, _RPOINT& out);

// Angle in degrees at the crossing of the lines p1 p2 and p3 p4, between the rays towards each line's end point
// farther from the crossing: E in [0, 180] when inner is nonzero, else 360 - E. 0 for parallel lines.
VISTREL_EXPORT double GetAngleBetweenLines(const _RPOINT& p1, const _RPOINT& p2, const _RPOINT& p3,
                                           const _RPOINT& p4, int inner);

// Brings an angle in degrees into [-180, 180]; the fraction of a degree is kept exactly.
VISTREL_EXPORT void NormalizeAngle180(double& degrees);

// Cosine and sine of degrees, exact at 0, +-90 and +-180 so that axis-aligned shapes stay on whole pixels.
VISTREL_EXPORT double CosDeg(double degrees);
VISTREL_EXPORT double SinDeg(double degrees);

VISTREL_EXPORT double DegreeToRadian(double degrees);

// x to the integer power n by repeated squaring; a negative n gives the reciprocal.
VISTREL_EXPORT double PowerInt(double x, int n);
