// The container's painting, cursor choice and property-sheet entry points.
#include "gobjects/CQvGObjectContainer.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/private/GObjectChangeTracker.h"
#include "gobjects/CQvGObjectPropertyTotal.h"
#include "gobjects/FiguronCursors.h"
#include "gobjects/private/GObjectHitIndex.h"
#include "gobjects/ui/CObjPropertySheet.h"

#include "ui/MessageBox.h"

#include <algorithm>

void CQvGObjectContainer::Draw(CDC* dc, int filter)
{
    const CPoint origin = GetRelativePoint();
    // Labels take their size as they are painted (and a label's unit mark is switched off for its own paint
    // meanwhile): the boxes of hit testing are checked against what was painted.
    m_painting = true;
    size_t position = 0;
    for (CQvGObject* obj : m_objects)
    {
        const size_t at = position++;
        if (obj->GetPointCount() == 0 || IsHiddenScaleMarker(obj))
            continue;
        if ((filter == kDrawMeasurements && obj->IsAnnotation()) ||
            (filter == kDrawAnnotations && !obj->IsAnnotation()))
            continue;
        obj->Draw(dc, &origin, &m_ratio, CQvGObject::kPaintNormal);
        m_hitIndex->Recheck(at, obj);
    }
    m_painting = false;
    if (filter != kDrawAllWithGrips || !(m_state & GS_SELECTION))
        return;
    for (CQvGObject* obj : m_selected)
        if (obj->GetPointCount() > 0 && obj->DoesDrawSelection() && !IsHiddenScaleMarker(obj))
            obj->DrawSelection(dc, &origin, &m_ratio);
}

int CQvGObjectContainer::SetCursorShape(CPoint p)
{
    if (m_state == GS_FIRST_POINT || m_state == GS_ADDING)
    {
        if (!m_useWindowCursor && m_canvas)
            m_canvas->SetCursor(CreationCursorId());
        return 1;
    }
    if ((m_state & GS_SELECTION) && m_selected.size() == 1)
    {
        CRect around(p, p);
        around.InflateRect(4);
        const UINT id = m_selected.front()->GetCursorShape(around);
        if (id != CQvGObject::kNoCursor)
        {
            if (m_canvas)
                m_canvas->SetCursor(id);
            return 1;
        }
    }
    return 0;
}

CObjPropertySheet& CQvGObjectContainer::GetPropertySheet()
{
    // Made on demand: clearing the overlay must not leave the container without its sheet.
    if (!m_propertySheet)
        m_propertySheet = std::make_unique<CObjPropertySheet>(this);
    return *m_propertySheet;
}

int CQvGObjectContainer::RunPropertySheet(const GObjectSheetRequest& request, bool* aborted)
{
    const ChangeScope scope(this);
    if (aborted)
        *aborted = false;
    // The sheet runs the event loop: the object, and this container with it, may be deleted meanwhile.
    const std::weak_ptr<const int> containerAlive = m_lifeToken;
    const std::weak_ptr<const int> objectAlive =
        request.object ? request.object->GetLifeToken() : std::weak_ptr<const int>();
    int result = IDCANCEL;
    bool runAborted = false;
    if (m_sheetRunner) {
        result = m_sheetRunner(request);
    } else {
        CObjPropertySheet& sheet = GetPropertySheet();
        // One run at a time: a nested one would take the pages of the one in progress.
        if (sheet.IsRunning())
            return IDCANCEL;
        if (request.object)
            sheet.SetUpForObject(request.object);
        else if (request.property)
            sheet.SetUpForProperty(request.property);
        else
            sheet.SetUpEmpty();
        if (request.shapePage) {
            sheet.AddPage(request.shapePage);
            sheet.SetActivePage(sheet.GetPageCount() - 1);
        }
        result = sheet.DoModal(request.parent, &runAborted);
        if (result == IDOK && request.editedFields)
            *request.editedFields = sheet.GetChangedFields();
        // The shape's page goes with its caller; the sheet must not keep pointing at it.
        if (!containerAlive.expired())
            sheet.SetUpEmpty();
    }
    if (containerAlive.expired() || (request.object && objectAlive.expired()))
        runAborted = true;
    if (runAborted) {
        if (aborted)
            *aborted = true;
        if (!containerAlive.expired())
            ObjectsChanged();
        return IDCANCEL;
    }
    // The sheet may have changed the object in any way, and whatever ran meanwhile the overlay.
    if (request.object)
        ObjectMoved(request.object);
    ObjectsChanged();
    return result;
}

int CQvGObjectContainer::OnPropertyAll(IGObjectCanvas* wnd)
{
    const ChangeScope scope(this);
    QWidget* const parent = wnd ? wnd->GetWindow() : nullptr;
    if (m_selected.empty())
    {
        GObjectSheetRequest request;
        request.container = this;
        request.property = &m_pPropertyTotal->GetProperty(SHAPE_POINT);
        request.parent = parent;
        if (RunPropertySheet(request) != IDOK)
            return 0;
    }
    else if (m_selected.size() == 1)
    {
        CQvGObject* obj = m_selected.front();
        const std::weak_ptr<const int> containerAlive = m_lifeToken;
        const std::weak_ptr<const int> objectAlive = obj->GetLifeToken();
        const int accepted = obj->SpecificProperty(parent);
        // The sheet runs modally: whatever ran meanwhile may have deleted the object (a newer one may even sit at
        // its address), or this container with it; then there is nothing left to give.
        if (containerAlive.expired() || objectAlive.expired())
            return 0;
        // Whatever the outcome, the object's look becomes its shape's default.
        ObjectMoved(obj);
        SetDefaultProperty(obj, obj->GetObjShape());
        if (!accepted)
            return 0;
    }
    else
    {
        const QVGO_TYPE kind = m_selected.front()->GetGOType();
        for (const CQvGObject* obj : m_selected)
            if (obj->GetGOType() != kind)
                return 0;
        GObjectSheetRequest request;
        request.container = this;
        request.property = &m_pPropertyTotal->GetProperty(m_selected.back()->GetObjShape());
        request.parent = parent;
        const CQvGObjectProperty before = *request.property;
        constexpr uint32_t kUnknown = ~0u;
        uint32_t changed = kUnknown;
        request.editedFields = &changed;
        if (RunPropertySheet(request) != IDOK)
            return 0;
        // Each object keeps its own look but for what the user edited on the sheet, even where the value picked
        // is what the defaults held already: giving every one the whole record of the last one's shape would
        // overwrite attributes nobody touched. A sheet that cannot tell leaves what differs.
        if (changed == kUnknown)
            changed = DifferingFields(before, *request.property);
        for (CQvGObject* obj : m_selected)
        {
            obj->SetPropertyFields(*request.property, changed);
            ObjectMoved(obj);
        }
    }
    if (wnd)
        wnd->SendNotify(WM_GOBJECT_PROPERTY_CHANGED);
    return 1;
}
