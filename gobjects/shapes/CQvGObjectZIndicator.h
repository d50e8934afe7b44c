// The Z indicator (shape 28): an invisible measurement that carries one number, a height handed over by other
// modules. It reports the x of its point as Height, unscaled by the calibration (the number is not a length in
// the image), and owns a placeholder label so that the results list has a row for it. Never drawn, never hit,
// never moved. UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/CQvGObject.h"

class VISTREL_EXPORT CQvGObjectZIndicator : public CQvGObject
{
public:
    // Shape 28, one zeroed point, none counted.
    CQvGObjectZIndicator();

    void RemoveAll() override;
    void DrawShape(CDC*, const CPoint*, const float*, int) override {}
    void DrawSelection(CDC*, const CPoint*, const float*) override {}
    // Always -1: nothing to grab.
    int GetHandle(CRect rect) override;
    void MoveHandle(int, CSize) override {}
    void MoveTo(CSize) override {}
    // Stores the point (uncounted) and finishes.
    int AddPoint(CPoint point) override;
    // Finished with one point; a measurement gets its placeholder label (once), centred below the box but kept
    // within +-1e6 so that its record stays readable.
    void Finish() override;
    void Cancel() override {}
    int CanFinish() override { return m_pointCount != 0; }
    // No region: never hit.
    int GetHitTestRgn(CRgn&) override { return 0; }
    // The square of +-4 pixels around the rounded point.
    CRect GetMBR() override;
    // The four-way arrow (32646) over the point.
    UINT GetCursorShape(CRect rect) override;
    int NeedROP() override { return 0; }
    int IsDisplayValue() override { return 0; }
    // Height only, and the value record always holds the height.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    // The height as a whole number would lose its fraction through AddPoint: the modules that hand heights over
    // set them here. Finishes an unfinished indicator, else refreshes its label. A height that is not a number
    // changes nothing; one beyond +-1e7 (infinities included) is kept as +-1e7, the farthest an overlay record
    // holds, so that the overlay saved with it can be read back. AddPoint keeps its point within the same range.
    void SetValue(double height);

    // Like the base's value label, but a placeholder that is never painted nor hit.
    CQvGObject* AddLabelObject(CPoint point);

    CQvGObjectZIndicator& operator=(const CQvGObjectZIndicator& other);

private:
    int m_halfSize = 4;  // of the bounding box, in image pixels
};
