// A receiver of commands: the view, its document, the child frame, the main frame and the application. Each keeps
// typed constant tables {id, &X::OnY, &X::OnUpdateY} and registers them; the router asks targets in turn.
//
//   class CMyView : public QWidget, public CommandMapTarget<CMyView> {
//       void OnZoomIn();  void OnUpdateZoomIn(CCmdUI* ui);  void OnPlugin(UINT id);
//   };
//   static const CommandMapEntry<CMyView> kViewCommands[] = {
//       CommandEntry(cmd::ID_ZOOM_IN, &CMyView::OnZoomIn, &CMyView::OnUpdateZoomIn),
//       CommandRangeEntry(2024, 3024, &CMyView::OnPlugin),
//   };
//   CMyView::CMyView() { AddCommandMap(kViewCommands); }
#pragma once

#include "frame/CCmdUI.h"

#include <span>
#include <vector>

class CCmdTarget
{
public:
    virtual ~CCmdTarget() = default;

    // Runs this target's handler of `id`; false when it has none.
    virtual bool ExecuteCommand(UINT id) = 0;
    // Runs this target's update handler of `ui.m_nID`; false when it has none.
    virtual bool UpdateCommand(CCmdUI& ui) = 0;
    virtual bool HasCommandHandler(UINT id) const = 0;
};

// One entry of a typed command map: a single id (first == last) or an inclusive range. A command handler takes no
// argument, or the id for ranges and shared handlers. Either handler may be absent.
template <class T>
struct CommandMapEntry
{
    UINT firstId = 0;
    UINT lastId = 0;
    void (T::*onCommand)() = nullptr;
    void (T::*onCommandId)(UINT) = nullptr;
    void (T::*onUpdate)(CCmdUI*) = nullptr;

    constexpr bool Covers(UINT id) const { return id >= firstId && id <= lastId; }
};

template <class T>
constexpr CommandMapEntry<T> CommandEntry(UINT id, void (T::*onCommand)(), void (T::*onUpdate)(CCmdUI*) = nullptr)
{
    return {id, id, onCommand, nullptr, onUpdate};
}

template <class T>
constexpr CommandMapEntry<T> CommandIdEntry(UINT id, void (T::*onCommand)(UINT),
                                            void (T::*onUpdate)(CCmdUI*) = nullptr)
{
    return {id, id, nullptr, onCommand, onUpdate};
}

template <class T>
constexpr CommandMapEntry<T> CommandRangeEntry(UINT first, UINT last, void (T::*onCommand)(UINT),
                                               void (T::*onUpdate)(CCmdUI*) = nullptr)
{
    return {first, last, nullptr, onCommand, onUpdate};
}

template <class T>
constexpr CommandMapEntry<T> UpdateEntry(UINT id, void (T::*onUpdate)(CCmdUI*))
{
    return {id, id, nullptr, nullptr, onUpdate};
}

// Dispatches through the maps the derived class registered, in registration order, first match wins (a command
// handler and an update handler are looked up independently, as the framework does).
template <class T>
class CommandMapTarget : public CCmdTarget
{
public:
    bool ExecuteCommand(UINT id) override
    {
        for (const auto& map : m_maps)
            for (const auto& entry : map)
                if (entry.Covers(id) && (entry.onCommand || entry.onCommandId)) {
                    T* self = static_cast<T*>(this);
                    if (entry.onCommand)
                        (self->*entry.onCommand)();
                    else
                        (self->*entry.onCommandId)(id);
                    return true;
                }
        return false;
    }

    bool UpdateCommand(CCmdUI& ui) override
    {
        for (const auto& map : m_maps)
            for (const auto& entry : map)
                if (entry.Covers(ui.m_nID) && entry.onUpdate) {
                    (static_cast<T*>(this)->*entry.onUpdate)(&ui);
                    return true;
                }
        return false;
    }

    bool HasCommandHandler(UINT id) const override
    {
        for (const auto& map : m_maps)
            for (const auto& entry : map)
                if (entry.Covers(id) && (entry.onCommand || entry.onCommandId))
                    return true;
        return false;
    }

protected:
    // The table must outlive the target (a constant table at namespace scope).
    void AddCommandMap(std::span<const CommandMapEntry<T>> map) { m_maps.push_back(map); }

private:
    std::vector<std::span<const CommandMapEntry<T>>> m_maps;
};
