// Perpendicular feet (shape 17): a base line p0 p1 and any number of further points; each further point j is sub
// item j - 2, whose value is its distance from the base line (the length of the perpendicular to its foot). The
// object paints one text per sub item itself; its ordinary value label (the base line's length) is kept but never
// painted. Base of the span set (CQvGObjectDas). Points in image pixels. UI thread only; deleted through RemoveAll.
//
// Sub-item contract (the results report relies on it): sub items run from 0 to GetPointCount() - 3,
// GetDataString(k) is the value of sub item k with the container's decimals and no unit, DeleteSubPerpen(k)
// removes one foot, GetCurSubItem() names the foot a click grabbed last.
#pragma once

#include "gobjects/shapes/CQvGObjectLine.h"

#include <string>

class VISTREL_EXPORT CQvGObjectPerpendicular : public CQvGObjectLine
{
public:
    // Shape 17, room for 10 points, no sub item current.
    CQvGObjectPerpendicular();

    void RemoveAll() override;
    // The base line; then, for every further point (not the one following the mouse while created), its mark
    // and, in a normal paint, its sub item's text in the value label's font and colour.
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override;
    // The point following the mouse while created; otherwise the first point inside the rectangle, or -1.
    // The grabbed point's sub item becomes current (the base line's ends give -2 and -1).
    int GetHandle(CRect rect) override;
    void MoveHandle(int handle, CSize delta) override;
    // Only the label when the label was hit and this is the only selected object; else label and every point.
    void MoveTo(CSize delta) override;
    // Appends the point (the array grows by 10 before its last free slot is taken); returns the new count.
    int AddPoint(CPoint point) override;
    // Drops the point that followed the mouse; a measurement gets its value label in the middle of the base line.
    void Finish() override;
    void Cancel() override { Finish(); }
    // The base line, one further point and the one following the mouse.
    int CanFinish() override { return m_pointCount > 3; }
    // The band along the base line (reaching the zoom tolerance beyond its ends) and a square of +- the zoom
    // tolerance around every further point. 0 without points.
    int GetHitTestRgn(CRgn& rgn) override;
    // Minimum and maximum of all rounded points.
    CRect GetMBR() override;
    // IDC_SIZEALL over any point, else kNoCursor.
    UINT GetCursorShape(CRect rect) override;
    // The base line is rubber-banded by inverting; once feet are added the container repaints.
    int NeedROP() override { return m_pointCount < 3; }
    int IsDisplayValue() override { return 0; }
    // Minus the point following the mouse while created.
    int GetPointCount() const override;
    // Length: the base line's.
    void SetCalType() override;
    // The base line's length, whatever quantity is asked for.
    int GetCalData(tagCAL_DATA& data, int subItem) override;
    using CQvGObject::GetDataString;
    // The value of sub item k, or "" for a sub item without one (or none at all).
    std::string GetDataString(int subItem) override;
    // Removes the point of sub item k (the later ones move down; a k naming no foot removes nothing) and clears
    // the current sub item. 1 when only the base line is left: the caller then deletes the whole object.
    int DeleteSubPerpen(int subItem) override;
    int GetCurSubItem() override { return m_curSubItem; }

    int GetCapacity() const { return static_cast<int>(m_points.size()); }

    CQvGObjectPerpendicular& operator=(const CQvGObjectPerpendicular& other)
    {
        CQvGObjectLine::operator=(other);
        m_curSubItem = other.m_curSubItem;
        return *this;
    }

    static constexpr int kCapacityStep = 10;

protected:
    // The foot of point j on the base line.
    _RPOINT Foot(int j) const;
    // The calibrated value of sub item k; false when it has none.
    virtual bool SubItemValue(int subItem, double& value);
    // The mark of further point j: the perpendicular from its foot and a plus sign on the point.
    virtual void DrawFurtherPoint(CDC* dc, int j, const CPoint& origin, float ratio);
    // Where the text of point j's sub item is centred (window pixels); false when it has no text.
    virtual bool TextCentre(int j, const CPoint& origin, float ratio, CPoint& centre);
    // ((ratio x (a + b)) + 1) x 0.5 + origin, clamped (ClampWindowPosition) and truncated: the window position
    // between two image coordinates.
    static int WindowMiddle(double a, double b, int origin, float ratio);

private:
    void DrawSubItemText(CDC* dc, int subItem, CPoint centre);

    int m_curSubItem = -1;
};
