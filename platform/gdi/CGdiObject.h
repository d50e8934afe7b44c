// Base of the drawing objects a device context selects (pens, brushes, fonts) and of regions. An object is empty
// until one of its Create calls succeeds; a DC copies what it needs when the object is selected, so the object may
// be deleted or re-created afterwards without disturbing the DC (restore the previous object before deleting all
// the same, as callers always have). UI thread or any single thread; not copyable.
#pragma once

#include "gdi/GdiDefs.h"
#include "types/VistrelExport.h"

class VISTREL_EXPORT CGdiObject
{
public:
    enum class Kind { Pen, Brush, Font, Region };

    CGdiObject() = default;
    virtual ~CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    virtual Kind GetKind() const = 0;

    // Empties the object; 0 when it held nothing.
    BOOL DeleteObject();
    // Non-null while the object holds a created pen, brush, font or region.
    HGDIOBJ GetSafeHandle() const { return m_created ? const_cast<CGdiObject*>(this) : nullptr; }

protected:
    BOOL MarkCreated(bool created)
    {
        m_created = created;
        return created ? 1 : 0;
    }

private:
    virtual void Clear() = 0;

    bool m_created = false;
};
