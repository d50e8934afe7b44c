// The angle at a vertex (shape 20): arms from point 1 (the vertex) to points 0 and 2. Measured at the vertex
// itself, so three points on a straight line read 180 degrees with the vertex between the others and 0 with both
// arms on one side; an arm of length 0 reads 0. Three clicks, the last of which finishes it.
// UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/shapes/CQvGObjectPickedAngle.h"

class VISTREL_EXPORT CQvGObject3PointAngle : public CQvGObjectPickedAngle
{
public:
    // Shape 20, inner flag 1.
    CQvGObject3PointAngle();

protected:
    int PointsNeeded() const override { return 3; }
    int LineBStart() const override { return 1; }
    double MeasureAngle() const override;
    // 20 image pixels.
    int ArcRadius(float ratio) const override;
};
