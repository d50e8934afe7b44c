// The horizontal distance between two points (shape 13), drawn as a dimension line: a tick through each point
// spanning both points' rows and a horizontal line between the ticks half-way down. Edition 1 reports it as Width,
// every edition as Length, both u x |x0 - x1|. Points 0 and 1 in image pixels. UI thread only.
#pragma once

#include "gobjects/shapes/CQvGObjectLine.h"

class VISTREL_EXPORT CQvGObjectHorizontalLinePointToPoint : public CQvGObjectLine
{
public:
    // Shape 13, room for three points, all zero.
    CQvGObjectHorizontalLinePointToPoint();

    void RemoveAll() override;
    // Live result box while created, both ticks and the dimension line; no end pixel, no line ends.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // Bands along both ticks and the dimension line, reaching the zoom tolerance beyond their ends.
    int GetHitTestRgn(CRgn& rgn) override;
    // The rounded points' box, inflated by 4.
    CRect GetMBR() override;
    // IDC_SIZEWE over a point.
    UINT GetCursorShape(CRect rect) override;
    // Width (edition 1) or Length, and the three positions.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    CQvGObjectHorizontalLinePointToPoint& operator=(const CQvGObjectHorizontalLinePointToPoint& other)
    {
        CQvGObjectLine::operator=(other);
        return *this;
    }
};
