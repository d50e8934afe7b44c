// What an overlay (CQvGObjectContainer) tells whoever follows it: after each of its operations that changed
// something, one GObjectChanges naming the objects that joined it, whose stored form changed, whose values changed
// with the calibration or the decimals, and that left it, and whether the selection changed. Plain C++, so that the
// library stays below its windows: the program adapts it to the document's modified flag and its docks.
// UI thread only, as the container.
#pragma once

#include "types/VistrelExport.h"

#include <functional>
#include <memory>
#include <vector>

class CQvGObject;
class CQvGObjectContainer;

struct GObjectChanges
{
    // New in the overlay (finished, pasted, read, or left behind by a creation that stopped), in list order; they
    // stand at the list's end unless a caller put them elsewhere through the list itself.
    std::vector<CQvGObject*> added;
    // What the overlay would store of the object changed: points, labels, attributes, name, shape settings.
    std::vector<CQvGObject*> changed;
    // Only the object's values changed (another calibration or number of decimals); its stored form did not.
    std::vector<CQvGObject*> revalued;
    // Deleted already: identities to compare, never to follow.
    std::vector<const CQvGObject*> removed;
    // The finished objects selected, or their order, changed.
    bool selectionChanged = false;

    bool Empty() const
    {
        return added.empty() && changed.empty() && revalued.empty() && removed.empty() && !selectionChanged;
    }
    // Whether what the overlay would save changed.
    bool Edited() const { return !added.empty() || !changed.empty() || !removed.empty(); }
};

using GObjectChangeListener = std::function<void(const GObjectChanges&)>;

// Listens to one container for as long as both live: removes its listener when it goes, and does nothing once the
// container has gone first. Movable, not copyable.
class VISTREL_EXPORT GObjectChangeSubscription
{
public:
    GObjectChangeSubscription() = default;
    GObjectChangeSubscription(CQvGObjectContainer& container, GObjectChangeListener listener);
    ~GObjectChangeSubscription();
    GObjectChangeSubscription(GObjectChangeSubscription&& other) noexcept;
    GObjectChangeSubscription& operator=(GObjectChangeSubscription&& other) noexcept;
    GObjectChangeSubscription(const GObjectChangeSubscription&) = delete;
    GObjectChangeSubscription& operator=(const GObjectChangeSubscription&) = delete;

    // Stops listening (nothing when not listening).
    void Reset();
    // The container listened to; null when none, or when it has gone.
    CQvGObjectContainer* Container() const;

private:
    CQvGObjectContainer* m_container = nullptr;
    std::weak_ptr<const int> m_alive;
    int m_id = 0;
};
