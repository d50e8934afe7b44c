// The angle between two separately drawn lines (shape 19): line A = points 0-1, line B = points 2-3, measured at
// the crossing of their extensions between the rays towards each line's farther end; parallel lines read 0.
// Four clicks, the last of which finishes it. UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/shapes/CQvGObjectPickedAngle.h"

class VISTREL_EXPORT CQvGObject2LineAngle : public CQvGObjectPickedAngle
{
public:
    // Shape 19, inner flag 1.
    CQvGObject2LineAngle();

protected:
    int PointsNeeded() const override { return 4; }
    int LineBStart() const override { return 2; }
    double MeasureAngle() const override;
    // The distance to the nearer segment middle.
    int ArcRadius(float /*ratio*/) const override { return -1; }
};
