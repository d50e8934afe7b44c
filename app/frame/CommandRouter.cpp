#include "frame/CommandRouter.h"

CommandState CommandRouter::Query(UINT id) const
{
    if (m_withdrawn.contains(id))
        return CommandState{};
    const CommandRoute route = m_route();
    CCmdUI ui(id);
    for (CCmdTarget* target : route.InOrder())
        if (target && target->UpdateCommand(ui))
            return ui.State();

    CommandState state;
    for (CCmdTarget* target : route.InOrder())
        if (target && target->HasCommandHandler(id)) {
            state.enabled = true;
            break;
        }
    return state;
}

bool CommandRouter::Execute(UINT id)
{
    if (!Query(id).enabled)
        return false;
    // The update handler may have changed which view is active; take the route again.
    const CommandRoute route = m_route();
    for (CCmdTarget* target : route.InOrder())
        if (target && target->ExecuteCommand(id))
            return true;
    return false;
}
