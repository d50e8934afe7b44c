// The horizontal distance between two vertical guides drawn down the whole image (shape 12), one through each
// clicked point. Handles move only sideways, and so does the second point while it follows the mouse.
// Edition 1 reports it as Width, every edition as Length, both u x |x0 - x1|.
// Points 0 and 1 in image pixels; the guides span the container's canvas height. UI thread only.
#pragma once

#include "gobjects/shapes/CQvGObjectLine.h"

class VISTREL_EXPORT CQvGObjectVerticalLine : public CQvGObjectLine
{
public:
    // Shape 12, room for three points, all zero.
    CQvGObjectVerticalLine();

    void RemoveAll() override;
    // Live result box while created, both guides, the segment between the points and its end pixel.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // Only the x of the point moves.
    void MoveHandle(int handle, CSize delta) override;
    // Bands along both guides and the segment, reaching the zoom tolerance beyond their ends.
    int GetHitTestRgn(CRgn& rgn) override;
    // The full canvas height between the guides' columns, inflated by 4.
    CRect GetMBR() override;
    // IDC_SIZEWE over a point.
    UINT GetCursorShape(CRect rect) override;
    // Width (edition 1) or Length, and the three positions.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    CQvGObjectVerticalLine& operator=(const CQvGObjectVerticalLine& other)
    {
        CQvGObjectLine::operator=(other);
        return *this;
    }
};
