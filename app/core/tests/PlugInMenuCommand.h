// Finds a plug-in entry the way a user does: by its group's and its own text in the program's plug-in menu.
#pragma once

#include "frame/CMainFrame.h"

#include <QAction>
#include <QMenu>
#include <QString>

// The entry's command, or 0 when the menu does not show it under its group.
inline UINT PlugInMenuCommand(const CMainFrame& frame, const QString& group, const QString& text)
{
    for (QAction* groupAction : frame.PluginMenu()->actions())
        if (groupAction->menu() && groupAction->text() == group)
            for (QAction* action : groupAction->menu()->actions())
                if (action->text() == text)
                    return action->data().toUInt();
    return 0;
}
