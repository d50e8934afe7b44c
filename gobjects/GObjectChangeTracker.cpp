#include "gobjects/private/GObjectChangeTracker.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"

#include "stream/LeStream.h"

#include <algorithm>

namespace {

// The version the container writes its stream in: the signature is of the record it would save.
constexpr float kRecordVersion = 1.5f;

uint64_t Fnv1a(const unsigned char* bytes, size_t size)
{
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

int GObjectChangeTracker::AddListener(GObjectChangeListener listener)
{
    const int id = m_nextId++;
    m_listeners.emplace_back(id, std::move(listener));
    return id;
}

void GObjectChangeTracker::RemoveListener(int id)
{
    std::erase_if(m_listeners, [id](const auto& entry) { return entry.first == id; });
    if (m_listeners.empty()) {
        // Nothing is kept for nobody; a listener added later starts from the overlay as it is then.
        announced.clear();
        baseline.clear();
        edited.clear();
        removed.clear();
        selection.clear();
        valuesNoted = false;
        listsHandedOut = false;
    }
}

void GObjectChangeTracker::DropListeners()
{
    while (!m_listeners.empty())
        RemoveListener(m_listeners.back().first);
    m_queue.clear();
}

uint64_t GObjectChangeTracker::Signature(CQvGObject& obj)
{
    m_record.clear();
    {
        LeWriter out(m_record);
        obj.Write(out, kRecordVersion);
    }
    return Fnv1a(m_record.data(), m_record.size());
}

void GObjectChangeTracker::Watch(CQvGObject& obj)
{
    if (Active() && !baseline.contains(&obj))
        baseline.emplace(&obj, Signature(obj));
}

void GObjectChangeTracker::Removed(const CQvGObject* obj)
{
    if (!Active())
        return;
    baseline.erase(obj);
    edited.erase(const_cast<CQvGObject*>(obj));
    if (announced.erase(obj) != 0)
        removed.push_back(obj);
}

void GObjectChangeTracker::RemovedAll(const std::vector<const CQvGObject*>& objects)
{
    if (!Active())
        return;
    for (const CQvGObject* obj : objects)
        if (announced.contains(obj))
            removed.push_back(obj);
    announced.clear();
    baseline.clear();
    edited.clear();
}

bool GObjectChangeTracker::Deliver(GObjectChanges changes, const std::weak_ptr<const int>& containerAlive)
{
    m_queue.push_back(std::move(changes));
    // A listener that changes the overlay is told of that after every listener heard of the first change.
    if (m_delivering)
        return true;
    m_delivering = true;
    while (!m_queue.empty()) {
        const GObjectChanges next = std::move(m_queue.front());
        m_queue.erase(m_queue.begin());
        // A listener may add or remove listeners: the ones removed meanwhile are not called.
        const std::vector<std::pair<int, GObjectChangeListener>> listeners = m_listeners;
        for (const auto& [id, listener] : listeners) {
            const bool stillListening = std::any_of(m_listeners.begin(), m_listeners.end(),
                                                    [id = id](const auto& entry) { return entry.first == id; });
            if (!stillListening)
                continue;
            listener(next);
            if (containerAlive.expired())
                return false;
        }
    }
    m_delivering = false;
    return true;
}

// ---------------------------------------------------------------------------------------------------------------

GObjectChangeSubscription::GObjectChangeSubscription(CQvGObjectContainer& container, GObjectChangeListener listener)
    : m_container(&container), m_alive(container.GetLifeToken()),
      m_id(container.AddChangeListener(std::move(listener)))
{
}

GObjectChangeSubscription::~GObjectChangeSubscription()
{
    Reset();
}

GObjectChangeSubscription::GObjectChangeSubscription(GObjectChangeSubscription&& other) noexcept
    : m_container(other.m_container), m_alive(std::move(other.m_alive)), m_id(other.m_id)
{
    other.m_container = nullptr;
    other.m_id = 0;
}

GObjectChangeSubscription& GObjectChangeSubscription::operator=(GObjectChangeSubscription&& other) noexcept
{
    if (this != &other) {
        Reset();
        m_container = other.m_container;
        m_alive = std::move(other.m_alive);
        m_id = other.m_id;
        other.m_container = nullptr;
        other.m_id = 0;
    }
    return *this;
}

void GObjectChangeSubscription::Reset()
{
    if (CQvGObjectContainer* container = Container())
        container->RemoveChangeListener(m_id);
    m_container = nullptr;
    m_alive.reset();
    m_id = 0;
}

CQvGObjectContainer* GObjectChangeSubscription::Container() const
{
    return m_container && !m_alive.expired() ? m_container : nullptr;
}
