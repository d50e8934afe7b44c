// A minimal overlay object for tests: counts its deletions, keeps a Target-like gap that it exchanges with the
// drawing defaults through the shape hooks, and behaves as a two-point measurement whose hit region is the box of
// its points and which computes Length (value 3.14159) and the three positions (point 0 in pixels).
#pragma once

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectPropertyTotal.h"

#include "gdi/CDC.h"
#include "gdi/GdiDefs.h"
#include "types/Rounding.h"

#include <algorithm>

class TestGObject : public CQvGObject
{
public:
    explicit TestGObject(OBJ_SHAPE shape = SHAPE_LINE, QVGO_TYPE kind = GOTYPE_MEASURE, int* deletions = nullptr)
        : m_deletions(deletions)
    {
        SetObjShape(shape);
        SetGOType(kind);
    }
    ~TestGObject() override
    {
        if (m_deletions)
            ++*m_deletions;
    }

    void RemoveAll() override
    {
        RemoveNestedObjs();
        delete this;
    }
    void DrawShape(CDC* dc, const CPoint* origin, const float* ratio, int flag) override
    {
        ++shapeDraws;
        lastDrawFlag = flag;
        if (m_pointCount < 2)
            return;
        dc->MoveTo(MapToWindow(m_points[0], *origin, *ratio));
        dc->LineTo(MapToWindow(m_points[1], *origin, *ratio));
    }
    int GetHandle(CRect) override { return m_selectedHandle = -1; }
    void MoveHandle(int handle, CSize d) override
    {
        m_points[handle].x += d.cx;
        m_points[handle].y += d.cy;
    }
    void MoveTo(CSize d) override
    {
        MoveLabelObject(d);
        for (int i = 0; i < m_pointCount; ++i)
            MoveHandle(i, d);
    }
    int AddPoint(CPoint p) override
    {
        m_points.push_back({double(p.x), double(p.y)});
        return ++m_pointCount;
    }
    void Finish() override { m_state = GS_FINISHED; }
    void Cancel() override {}
    int CanFinish() override { return m_pointCount > 0; }
    int GetHitTestRgn(CRgn& rgn) override
    {
        if (m_pointCount == 0)
            return 0;
        CRect box = GetMBR();
        box.InflateRect(0, 0, 1, 1);
        return rgn.CreateRectRgnIndirect(&box);
    }
    CRect GetMBR() override
    {
        if (m_pointCount == 0)
            return CRect();
        CRect box(TruncHalfUp(m_points[0].x), TruncHalfUp(m_points[0].y), TruncHalfUp(m_points[0].x),
                  TruncHalfUp(m_points[0].y));
        for (int i = 1; i < m_pointCount; ++i) {
            box.left = std::min(box.left, TruncHalfUp(m_points[i].x));
            box.top = std::min(box.top, TruncHalfUp(m_points[i].y));
            box.right = std::max(box.right, TruncHalfUp(m_points[i].x));
            box.bottom = std::max(box.bottom, TruncHalfUp(m_points[i].y));
        }
        return box;
    }
    void SetCalType() override
    {
        m_calType = CAL_LENGTH | CAL_POSITION_START | CAL_POSITION_CENTER | CAL_POSITION_END;
        m_defaultData.kind = m_dispType;
    }
    int GetCalData(tagCAL_DATA& data, int) override
    {
        if (m_pointCount == 0 || !(data.kind & m_calType))
            return 0;
        if (data.kind == CAL_LENGTH) {
            data.value1 = 3.14159;
        } else {
            data.value1 = m_points[0].x;
            data.value2 = m_points[0].y;
        }
        return 1;
    }

    void LoadShapeDefaults(const CQvGObjectPropertyTotal& defaults) override
    {
        ++loads;
        gap = defaults.GetTargetGap();
    }
    void StoreShapeDefaults(CQvGObjectPropertyTotal& defaults) const override
    {
        ++stores;
        defaults.SetTargetGap(gap);
    }

    void AddLabel(CQvGObject* label) { m_labels.push_back(label); }
    void SetPoints(const std::vector<_RPOINT>& points)
    {
        m_pointCount = static_cast<int>(points.size());
        m_points.assign(points.data(), points.data() + points.size());
    }

    float gap = 0.0f;
    int shapeDraws = 0;
    int lastDrawFlag = -1;
    int loads = 0;
    mutable int stores = 0;

private:
    int* m_deletions;
};
