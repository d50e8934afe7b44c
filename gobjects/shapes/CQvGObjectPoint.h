// A position marker (shape 0, annotation form 30 with kind 2): one click places a small plus sign; a measurement
// reports the position (Position Center) and carries its value label centred below the mark. The point has no
// handle once placed: it is only moved whole. Base of the Target. One point in image pixels. UI thread only;
// deleted through RemoveAll.
#pragma once

#include "gobjects/CQvGObject.h"

class VISTREL_EXPORT CQvGObjectPoint : public CQvGObject
{
public:
    // Shape 0, one zeroed point, none counted, marker size 4.
    CQvGObjectPoint();

    void RemoveAll() override;
    // A plus sign of single pixels in the pen's colour, arms of trunc(ratio x marker size + 0.5) - 1 pixels;
    // nothing when that is below one pixel.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // 0 while the point is being created with a point; otherwise -1 (moved whole only).
    int GetHandle(CRect rect) override;
    void MoveHandle(int handle, CSize delta) override;
    // Only the label when the label was hit and the point is the only selected object; else label and point.
    void MoveTo(CSize delta) override;
    // Stores the point and finishes at once: one click makes the object.
    int AddPoint(CPoint point) override;
    // Finished with one point; a measurement gets its value label centred below the mark (once).
    void Finish() override;
    void Cancel() override {}
    int CanFinish() override { return m_pointCount != 0; }
    // The rectangle region of the marker box.
    int GetHitTestRgn(CRgn& rgn) override;
    // (x - s, y - s) to (x + s, y + s), s = marker size, each rounded as trunc(v + 0.5).
    CRect GetMBR() override;
    // No grips: a point shows no handle.
    void DrawSelection(CDC*, const CPoint*, const float*) override {}
    int NeedROP() override { return 0; }
    // The four-way arrow (32646) over the point.
    UINT GetCursorShape(CRect rect) override;
    int IsDisplayValue() override { return 0; }
    // Position Center only (in pixels; the value string calibrates it).
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    int GetMarkerSize() const { return m_markerSize; }

    CQvGObjectPoint& operator=(const CQvGObjectPoint& other);

protected:
    // The rounded point.
    CPoint RoundedPoint() const;

    // Half the side of the hit square and arm length of the mark, in image pixels.
    int m_markerSize = 4;
};
