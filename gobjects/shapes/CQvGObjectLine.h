// The straight line: a measurement (shape 1) of its calibrated length, direction angles and start, centre and end
// positions, with a value label at its middle; as an annotation (shape 31, kind 3) a plain line with optional
// line ends. Base of the line family. Points 0 (start) and 1 (end) in image pixels. UI thread only.
#pragma once

#include "gobjects/CQvGObject.h"

class VISTREL_EXPORT CQvGObjectLine : public CQvGObject
{
public:
    // Shape 1, room for three points, all zero.
    CQvGObjectLine();

    void RemoveAll() override;
    // Live result box while created, the segment, its end pixel, then the line ends: end bars at both ends while a
    // measurement is rubber-banded, else the ends the property shows.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // 1 while the end follows the mouse during creation; else the first end inside the rectangle, or -1.
    int GetHandle(CRect rect) override;
    void MoveHandle(int handle, CSize delta) override;
    // Only the label when the label was hit and the line is the only selected object; else label and ends.
    void MoveTo(CSize delta) override;
    // Stores the start, then the end; a third point finishes the line instead.
    int AddPoint(CPoint point) override;
    // Finished with two points; a measurement gets its value label at the middle. Hides the live result box.
    void Finish() override;
    void Cancel() override {}
    int CanFinish() override { return m_pointCount != 0; }
    // The 6-pixel band along the line; when the property shows a line end, also the bands along both 72-pixel end
    // bars. The band reaches 1 pixel beyond the ends at ratios above 2, else 3.
    int GetHitTestRgn(CRgn& rgn) override;
    // The rounded ends' box, inflated by 36 so that the end bars are inside.
    // The bounding box of the band and both end bars, however far the zoom tolerance reaches (the line and its
    // annotation form only).
    CRect GetHitBounds() override;
    CRect GetMBR() override;
    // The four-way arrow (32646) over an end.
    UINT GetCursorShape(CRect rect) override;
    // Length, X and Y angle and the three positions.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    CQvGObjectLine& operator=(const CQvGObjectLine& other)
    {
        CQvGObject::operator=(other);
        return *this;
    }

protected:
    static constexpr int32_t kLineQuantities =
        CAL_LENGTH | CAL_X_ANGLE | CAL_Y_ANGLE | CAL_POSITION_START | CAL_POSITION_CENTER | CAL_POSITION_END;
    // Half the length of an end bar, in pixels.
    static constexpr int kEndBarHalf = 36;
};
