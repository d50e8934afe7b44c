// The axis-parallel rectangle (shape 2, annotation form 32): two opposite corners in image pixels, eight handles
// numbered clockwise from corner 1, and its perimeter, width, height, diagonal, area and circular mils. Base of the
// value label, the text, the scale marker and the image stamp. UI thread only; deleted through RemoveAll.
#pragma once

#include "gobjects/CQvGObject.h"

class VISTREL_EXPORT CQvGObjectRect : public CQvGObject
{
public:
    // Shape 2, two zeroed corners, none counted yet.
    CQvGObjectRect();

    void RemoveAll() override;
    // The outline from the smaller to the larger mapped corner, both included; feeds the live result box while
    // a measurement is rubber-banded.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // A grip on each of the eight handles.
    void DrawSelection(CDC* dc, const CPoint* origin, const float* ratio) override;
    // 4 while being created (the far corner follows the mouse); otherwise the last handle (0..7) inside the
    // rectangle, or -1.
    int GetHandle(CRect rect) override;
    // Moves a corner or an edge; with Shift held the rectangle is kept square (see ResizeByHandle).
    void MoveHandle(int handle, CSize delta) override;
    void MoveTo(CSize delta) override;
    // Stores the first two points; a third call finishes.
    int AddPoint(CPoint point) override;
    // Finished with two corners ordered top-left / bottom-right; a measurement gets its value label at the
    // integer midpoint.
    void Finish() override;
    void Cancel() override {}
    int CanFinish() override { return m_pointCount != 0; }
    // The ring of +-k image pixels around the outline (k = the zoom tolerance) and +-4 squares on the handles.
    int GetHitTestRgn(CRgn& rgn) override;
    // The rounded corners, ordered.
    CRect GetMBR() override;
    // The sizing cursor of the first handle inside the rectangle, or kNoCursor.
    UINT GetCursorShape(CRect rect) override;
    // Length (perimeter), Width, Height, Diagonal, Area, Circular Mil.
    void SetCalType() override;
    int GetCalData(tagCAL_DATA& data, int subItem) override;

    // The handle move with the Shift state given. Without keepSquare: the corners are ordered first (except for
    // the free corner while the rectangle is being created), then the handle's corner or edge moves by the delta.
    // With keepSquare: ordered, made a square of the smaller side at corner 1, then only the corner handles move,
    // along the diagonal.
    void ResizeByHandle(int handle, CSize delta, bool keepSquare);
    // Handle 0..7 in image pixels: corners rounded, middles trunc((a + b + 1) / 2).
    CPoint GetHandlePoint(int handle) const;

    static constexpr int kHandleCount = 8;
};
