// The vertical distance between two horizontal guides drawn across the whole image (shape 11), one through each
// clicked point. Handles move only up and down, and so does the second point while it follows the mouse.
// Edition 1 reports it as Height, every edition as Length, both u x |y0 - y1|.
// Points 0 and 1 in image pixels; the guides span the container's canvas width. UI thread only.
#pragma once

#include "gobjects/shapes/CQvGObjectLine.h"

class VISTREL_EXPORT CQvGObjectHorizontalLine : public CQvGObjectLine
{
public:
    // Shape 11, room for three points, all zero.
    CQvGObjectHorizontalLine();

    void RemoveAll() override;
    // Live result box while created, both guides, the segment between the points and its end pixel.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // Only the y of the point moves.
    void MoveHandle(int handle, CSize delta) override;
    // Bands along both guides and the segment, reaching the zoom tolerance beyond their ends.
    int GetHitTestRgn(CRgn& rgn) override;
    // The full canvas width between the guides' rows, inflated by 4.
    CRect GetMBR() override;
    // IDC_SIZENS over a point.
    UINT GetCursorShape(CRect rect) override;
    // Height (edition 1) or Length, and the three positions.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    CQvGObjectHorizontalLine& operator=(const CQvGObjectHorizontalLine& other)
    {
        CQvGObjectLine::operator=(other);
        return *this;
    }
};
