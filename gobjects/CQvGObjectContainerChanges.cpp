// The container's change notices: who listens, and the settling that works out what one call changed.
#include "gobjects/CQvGObjectContainer.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/private/GObjectChangeTracker.h"
#include "gobjects/private/GObjectHitIndex.h"

#include "calibkeeper/CCalibKeeper.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

GObjectChangeTracker::ValueContext ValuesOf(const CCalibKeeper* calib, int decimals)
{
    return {calib, calib ? calib->GetUnitsPerPixel() : 1.0, calib ? calib->GetUnit() : 0, decimals};
}

// The objects of the set in list order.
std::vector<CQvGObject*> InListOrder(const GObjectList& objects, const std::unordered_set<const CQvGObject*>& set)
{
    std::vector<CQvGObject*> ordered;
    ordered.reserve(set.size());
    for (CQvGObject* obj : objects)
        if (set.contains(obj))
            ordered.push_back(obj);
    return ordered;
}

}  // namespace

int CQvGObjectContainer::AddChangeListener(GObjectChangeListener listener)
{
    GObjectChangeTracker& t = *m_changes;
    const bool first = !t.Active();
    const int id = t.AddListener(std::move(listener));
    if (first) {
        // The first listener starts from the overlay as it stands: nothing of it is news.
        CQvGObject* creating = CreatingOrNull();
        for (const CQvGObject* obj : m_objects)
            if (obj != creating)
                t.announced.insert(obj);
        for (CQvGObject* obj : m_selected)
            if (obj != creating) {
                t.selection.push_back(obj);
                t.Watch(*obj);
            }
        t.values = ValuesOf(m_calib, m_decimals);
        t.valuesNoted = true;
    }
    return id;
}

void CQvGObjectContainer::RemoveChangeListener(int id)
{
    m_changes->RemoveListener(id);
}

void CQvGObjectContainer::NoteObjectEdited(CQvGObject* obj)
{
    const ChangeScope scope(this);
    m_changes->labelsStale = true;
    if (m_changes->Active() && obj)
        m_changes->edited.insert(obj);
}

void CQvGObjectContainer::ObjectsChanged()
{
    m_hitIndex->MarkStale();
    m_changes->labelsStale = true;
    const ChangeScope scope(this);
}

void CQvGObjectContainer::ListsHandedOut()
{
    m_hitIndex->MarkStale();
    m_changes->labelsStale = true;
    if (m_changes->Active())
        m_changes->listsHandedOut = true;
}

bool CQvGObjectContainer::RelabelObject(CQvGObject* obj)
{
    const CQvGObject* label = obj->GetLabelObject();
    if (!label) {
        obj->UpdateDataLabel();
        return false;
    }
    const std::string before = label->GetProperty().GetComment();
    obj->UpdateDataLabel();
    return label->GetProperty().GetComment() != before;
}

void CQvGObjectContainer::UpdateAllObjectDataLabel()
{
    const ChangeScope scope(this);
    // A value label whose text changes changes what its owner stores, selected or not.
    const bool tracking = m_changes->Active();
    size_t position = 0;
    for (CQvGObject* obj : m_objects)
    {
        if (tracking ? RelabelObject(obj) : (obj->UpdateDataLabel(), false))
            m_changes->edited.insert(obj);
        m_hitIndex->Recheck(position++, obj);
    }
    m_changes->labelsStale = false;
    m_changes->labelValues = ValuesOf(m_calib, m_decimals);
}

void CQvGObjectContainer::RefreshDataLabels()
{
    GObjectChangeTracker& t = *m_changes;
    if (t.labelsStale || ValuesOf(m_calib, m_decimals) != t.labelValues)
    {
        UpdateAllObjectDataLabel();
        return;
    }
    for (CQvGObject* obj : m_selected)
        if (RelabelObject(obj))
        {
            ObjectMoved(obj);
            if (t.Active())
                t.edited.insert(obj);
        }
}

CQvGObject* CQvGObjectContainer::CreatingOrNull() const
{
    // A failed creation's object is still the creation's: the button's release deletes it.
    const bool creating = m_state == GS_FIRST_POINT || m_state == GS_ADDING || m_state == GS_FAILED;
    return creating ? CreatingObject() : nullptr;
}

void CQvGObjectContainer::AddToSelection(CQvGObject* obj)
{
    m_selected.push_back(obj);
    m_changes->Watch(*obj);
}

void CQvGObjectContainer::SettleChanges()
{
    GObjectChangeTracker& t = *m_changes;
    if (!t.Active())
        return;
    GObjectChanges changes;
    CQvGObject* creating = CreatingOrNull();

    // Who joined and who left. The container's own calls put new objects at the list's end and note removals as
    // they make them; a list handed out may have been changed anywhere.
    if (t.listsHandedOut) {
        t.listsHandedOut = false;
        std::unordered_set<const CQvGObject*> present(m_objects.begin(), m_objects.end());
        for (CQvGObject* obj : m_objects)
            if (obj != creating && !t.announced.contains(obj))
                changes.added.push_back(obj);
        for (auto it = t.announced.begin(); it != t.announced.end();) {
            if (present.contains(*it)) {
                ++it;
                continue;
            }
            t.removed.push_back(*it);
            it = t.announced.erase(it);
        }
        std::erase_if(t.baseline, [&present](const auto& entry) { return !present.contains(entry.first); });
        std::erase_if(t.edited, [&present](const CQvGObject* obj) { return !present.contains(obj); });
    } else {
        std::vector<CQvGObject*> tail;
        for (auto it = m_objects.rbegin(); it != m_objects.rend(); ++it) {
            if (t.announced.contains(*it))
                break;
            if (*it != creating)
                tail.push_back(*it);
        }
        changes.added.assign(tail.rbegin(), tail.rend());
    }
    const std::unordered_set<const CQvGObject*> added(changes.added.begin(), changes.added.end());
    for (CQvGObject* obj : changes.added)
        t.announced.insert(obj);
    // A new object's label has not been through a relabelling of the whole overlay.
    if (!changes.added.empty())
        t.labelsStale = true;
    changes.removed = std::move(t.removed);
    t.removed.clear();

    // What the objects that could be edited store now, against what they stored before.
    std::unordered_map<const CQvGObject*, uint64_t> now;
    std::unordered_set<const CQvGObject*> changed;
    for (const auto& [obj, before] : t.baseline) {
        if (!t.announced.contains(obj) || added.contains(obj))
            continue;
        const uint64_t signature = t.Signature(*const_cast<CQvGObject*>(obj));
        now.emplace(obj, signature);
        if (signature != before)
            changed.insert(obj);
    }
    for (CQvGObject* obj : t.edited)
        if (t.announced.contains(obj) && !added.contains(obj))
            changed.insert(obj);
    t.edited.clear();
    if (changed.size() == 1)
        changes.changed.push_back(const_cast<CQvGObject*>(*changed.begin()));
    else if (!changed.empty())
        changes.changed = InListOrder(m_objects, changed);

    // Values follow the calibration and the decimals: when those moved, every object may show others.
    const GObjectChangeTracker::ValueContext values = ValuesOf(m_calib, m_decimals);
    if (t.valuesNoted && values != t.values)
        for (CQvGObject* obj : m_objects)
            if (t.announced.contains(obj) && !added.contains(obj) && !changed.contains(obj))
                changes.revalued.push_back(obj);
    t.values = values;
    t.valuesNoted = true;

    std::vector<const CQvGObject*> selection;
    selection.reserve(m_selected.size());
    for (const CQvGObject* obj : m_selected)
        if (obj != creating && t.announced.contains(obj))
            selection.push_back(obj);
    if (selection != t.selection) {
        changes.selectionChanged = true;
        t.selection = selection;
    }

    // The selected objects are the ones the next call may edit.
    std::unordered_map<const CQvGObject*, uint64_t> baseline;
    baseline.reserve(selection.size());
    for (const CQvGObject* obj : selection) {
        const auto known = now.find(obj);
        baseline.emplace(obj, known != now.end() ? known->second : t.Signature(*const_cast<CQvGObject*>(obj)));
    }
    t.baseline = std::move(baseline);

    if (!changes.Empty())
        t.Deliver(std::move(changes), m_lifeToken);
}
