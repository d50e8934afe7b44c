// The one command router. A command goes, in the framework's order, to the active view, its document, the active
// child frame, the main frame and the application; the first target with a handler runs it. Before it runs, its
// update handler decides whether it is enabled: a disabled command does nothing. A command that no target handles
// and no update handler covers is disabled. UI thread.
#pragma once

#include "frame/CCmdTarget.h"

#include <array>
#include <functional>
#include <unordered_set>

// The targets of the moment, in routing order; any may be null.
struct CommandRoute
{
    CCmdTarget* view = nullptr;
    CCmdTarget* document = nullptr;
    CCmdTarget* childFrame = nullptr;
    CCmdTarget* mainFrame = nullptr;
    CCmdTarget* application = nullptr;

    std::array<CCmdTarget*, 5> InOrder() const { return {view, document, childFrame, mainFrame, application}; }
};

class CommandRouter
{
public:
    using RouteProvider = std::function<CommandRoute()>;

    explicit CommandRouter(RouteProvider route) : m_route(std::move(route)) {}

    // Runs the first update handler on the route; without one, the command is enabled when some target handles it.
    // A withdrawn command is disabled whatever the targets say.
    CommandState Query(UINT id) const;
    // Queries, and when enabled runs the first handler on the route. True when a handler ran.
    bool Execute(UINT id);

    // Commands this edition offers in its menus but never enables.
    void Withdraw(UINT id) { m_withdrawn.insert(id); }

private:
    RouteProvider m_route;
    std::unordered_set<UINT> m_withdrawn;
};
