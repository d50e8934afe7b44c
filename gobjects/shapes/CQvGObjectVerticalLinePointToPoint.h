// The vertical distance between two points (shape 14), drawn as a dimension line: a tick through each point
// spanning both points' columns and a vertical line between the ticks half-way across. Edition 1 reports it as
// Height, every edition as Length, both u x |y0 - y1|. Points 0 and 1 in image pixels. UI thread only.
#pragma once

#include "gobjects/shapes/CQvGObjectLine.h"

class VISTREL_EXPORT CQvGObjectVerticalLinePointToPoint : public CQvGObjectLine
{
public:
    // Shape 14, room for three points, all zero.
    CQvGObjectVerticalLinePointToPoint();

    void RemoveAll() override;
    // Live result box while created, both ticks and the dimension line; no end pixel, no line ends.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // Bands along both ticks and the dimension line, reaching the zoom tolerance beyond their ends.
    int GetHitTestRgn(CRgn& rgn) override;
    // The rounded points' box, inflated by 4.
    CRect GetMBR() override;
    // IDC_SIZENS over a point.
    UINT GetCursorShape(CRect rect) override;
    // Height (edition 1) or Length, and the three positions.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    CQvGObjectVerticalLinePointToPoint& operator=(const CQvGObjectVerticalLinePointToPoint& other)
    {
        CQvGObjectLine::operator=(other);
        return *this;
    }
};
