// What the container keeps to tell its listeners what changed (GObjectChanges), internal to it. UI thread only.
//
// Contract: nothing is kept while there is no listener. Objects that join and leave the list are noted as the
// container's own calls move them; objects put in or taken out through the lists it hands out are found by
// comparing the list with the objects announced, at the next settling after a list was handed out. An object's
// stored form is compared as a signature of its record (what the overlay stream would write for it), taken for the
// objects that can be edited next: the selected ones, taken when they are selected, and those handed out to
// callers. Objects changed otherwise (through pointers kept from the lists, or by relabelling every object) are
// named to the tracker. Values follow the calibration and the decimals: when those differ from what they were at
// the last settling, every object is revalued.
#pragma once

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/GObjectChanges.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

class CCalibKeeper;

class GObjectChangeTracker
{
public:
    bool Active() const { return !m_listeners.empty(); }

    int AddListener(GObjectChangeListener listener);
    void RemoveListener(int id);
    // Forgets the listeners and everything kept for them (the container is going).
    void DropListeners();

    // The inputs of every value string.
    struct ValueContext
    {
        const CCalibKeeper* calibration = nullptr;
        double unitsPerPixel = 1.0;
        int unit = 0;
        int decimals = 0;
        bool operator==(const ValueContext&) const = default;
    };

    // Operations nest; the outermost one's end settles.
    int depth = 0;
    // A list was handed out: the next settling compares the list with the objects announced.
    bool listsHandedOut = false;

    // Objects announced as added and not yet as removed.
    std::unordered_set<const CQvGObject*> announced;
    // Signatures of the objects that may be edited next (see the top).
    std::unordered_map<const CQvGObject*, uint64_t> baseline;
    // Objects named as changed since the last settling.
    std::unordered_set<CQvGObject*> edited;
    // Removed since the last settling (among the announced ones).
    std::vector<const CQvGObject*> removed;
    // The finished selected objects as last told.
    std::vector<const CQvGObject*> selection;
    ValueContext values;
    bool valuesNoted = false;

    // Kept whether or not anyone listens: whether every value label is known to show its owner's value with these
    // inputs (a button's release then relabels only the selected objects, the ones the input could edit).
    bool labelsStale = true;
    ValueContext labelValues;

    // The signature of the object's record (not const: writing a record asks the shape for its fields).
    uint64_t Signature(CQvGObject& obj);
    // Takes the signature of an object that may be edited next, unless it has one already.
    void Watch(CQvGObject& obj);
    // The object left the list (it is deleted right after).
    void Removed(const CQvGObject* obj);
    // Every object left the list.
    void RemovedAll(const std::vector<const CQvGObject*>& objects);

    // Hands the changes to every listener, these and any told meanwhile, in order. False when the container went
    // while a listener ran (the caller must then return at once).
    bool Deliver(GObjectChanges changes, const std::weak_ptr<const int>& containerAlive);

private:
    std::vector<std::pair<int, GObjectChangeListener>> m_listeners;
    int m_nextId = 1;
    std::vector<unsigned char> m_record;  // reused for every signature
    std::vector<GObjectChanges> m_queue;
    bool m_delivering = false;
};

// One of the container's calls, for the change notices: the outermost one settles them when it ends, unless the
// container went meanwhile (a modal sheet ran the event loop).
class CQvGObjectContainer::ChangeScope
{
public:
    explicit ChangeScope(CQvGObjectContainer* container)
        : m_container(container), m_alive(container->m_lifeToken)
    {
        ++container->m_changes->depth;
    }
    ~ChangeScope()
    {
        if (m_alive.expired())
            return;
        if (--m_container->m_changes->depth == 0)
            m_container->SettleChanges();
    }
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;

private:
    CQvGObjectContainer* m_container;
    std::weak_ptr<const int> m_alive;
};
