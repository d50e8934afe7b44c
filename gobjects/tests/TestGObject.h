// A minimal overlay object for tests: counts its deletions and keeps a Target-like gap that it exchanges with the
// drawing defaults through the shape hooks.
#pragma once

#include "CQvGObject.h"
#include "CQvGObjectPropertyTotal.h"

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
    void SetPoints(std::vector<_RPOINT> points)
    {
        m_pointCount = static_cast<int>(points.size());
        m_points = std::move(points);
    }

    float gap = 0.0f;
    int loads = 0;
    mutable int stores = 0;

private:
    int* m_deletions;
};
