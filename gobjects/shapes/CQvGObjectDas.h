// The span set (shape 18): a base line p0 p1 and further points whose feet on the base line mark spans along it.
// Sub item 0 runs from the start of the base line to the first foot; after it every second sub item k (k even)
// runs from the foot of point k + 1 to the foot of point k + 2, and the odd ones carry nothing. Plus signs mark
// the feet. Otherwise as the perpendicular feet. UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/shapes/CQvGObjectPerpendicular.h"

class VISTREL_EXPORT CQvGObjectDas : public CQvGObjectPerpendicular
{
public:
    // Shape 18.
    CQvGObjectDas();

    void RemoveAll() override;
    // subItem is a point index i: the span ending at the foot of point i, for even i from 2 on; 0 for any
    // other index (so the value label, asked with 0, shows "Not yet").
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    CQvGObjectDas& operator=(const CQvGObjectDas& other)
    {
        CQvGObjectPerpendicular::operator=(other);
        return *this;
    }

protected:
    bool SubItemValue(int subItem, double& value) override;
    // A plus sign on the foot; no line to the point.
    void DrawFurtherPoint(CDC* dc, int j, const CPoint& origin, float ratio) override;
    // Between the span's two ends, for even j only.
    bool TextCentre(int j, const CPoint& origin, float ratio, CPoint& centre) override;

private:
    // Where the span ending at the foot of point j starts: the base line's start for j = 2, else the previous
    // point's foot.
    _RPOINT SpanStart(int j) const;
};
