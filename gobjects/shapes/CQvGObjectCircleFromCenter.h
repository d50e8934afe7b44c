// The circle from its centre (shape 4, annotation form 34, kind 6): the user clicks the centre and drags outwards;
// the square box grows and shrinks about the centre, by any of its four corner handles. Values as the circle by
// diameter. UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/shapes/CQvGObjectEllipse.h"

class VISTREL_EXPORT CQvGObjectCircleFromCenter : public CQvGObjectEllipse
{
public:
    // Shape 4.
    CQvGObjectCircleFromCenter();

    // The square-keeping corner rule of the dragged corner decides grow, shrink or nothing; the amount moves all
    // four sides, so the centre stays. The Shift key changes nothing.
    void ResizeByHandle(int handle, CSize delta, bool keepSquare) override;
    // The ellipse's quantities and Diameter.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

protected:
    // No fields of its own; an annotation gets its annotation code 34 back, which the base does not give this
    // shape.
    int ReadShapeFields(LeReader& in, float version) override;
    std::span<const HandleSpot> Handles() const override { return kCircleHandles; }
};
