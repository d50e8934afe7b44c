// The application object's side of the command route: its own map first, then the application commands it owns.
#include "commands/AppCommands.h"
#include "core/CVistrelApp.h"

bool CVistrelApp::ExecuteCommand(UINT id)
{
    return CommandMapTarget<CVistrelApp>::ExecuteCommand(id) || m_commands->ExecuteCommand(id);
}

bool CVistrelApp::UpdateCommand(CCmdUI& ui)
{
    return CommandMapTarget<CVistrelApp>::UpdateCommand(ui) || m_commands->UpdateCommand(ui);
}

bool CVistrelApp::HasCommandHandler(UINT id) const
{
    return CommandMapTarget<CVistrelApp>::HasCommandHandler(id) || m_commands->HasCommandHandler(id);
}
