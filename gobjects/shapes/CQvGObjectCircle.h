// The circle by diameter (shape 3): the ellipse's box kept square, four corner handles, and the values of the
// circle whose diameter is the box's horizontal extent. The user clicks one corner and drags the opposite one.
// UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/shapes/CQvGObjectEllipse.h"

class VISTREL_EXPORT CQvGObjectCircle : public CQvGObjectEllipse
{
public:
    // Shape 3.
    CQvGObjectCircle();

    // The dragged corner moves by the square-keeping corner rule whatever the Shift key says; the opposite corner
    // stays.
    void ResizeByHandle(int handle, CSize delta, bool keepSquare) override;
    // The ellipse's quantities and Diameter.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

protected:
    std::span<const HandleSpot> Handles() const override { return kCircleHandles; }
};
