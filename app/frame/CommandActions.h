// The QActions of the program's commands, one per id, built from the command tables (caption in the UI language,
// icon, shortcut, the id in QAction::data). Triggering one runs the command through the router; Update asks the
// router for the enabled, checked and text state and shows it. UI thread.
#pragma once

#include "frame/CommandRouter.h"
#include "resources/Language.h"

#include <QHash>
#include <QIcon>
#include <QObject>

class QAction;
class QMenu;

class CommandActions : public QObject
{
public:
    CommandActions(QObject* owner, CommandRouter& router, LANGID language);

    // The action of `id`, made on first use from the command tables; nullptr for an id no table knows (give those
    // an action through AddAction).
    QAction* Action(UINT id);
    // An action for a command the tables do not list (plug-in commands, for one), or a widget action that stands
    // for a command; replaces an earlier action of the id. The action is owned by its parent as usual.
    QAction* AddAction(UINT id, const QString& text, const QIcon& icon = {});
    void AdoptAction(UINT id, QAction* action);
    // The command id of an action made here (0 for other actions).
    static UINT CommandId(const QAction* action);

    void Update(QAction* action);
    void Update(const QList<QAction*>& actions);
    // Refreshes the items of `menu` each time it is about to show.
    void UpdateWhenShown(QMenu* menu);

    CommandRouter& Router() { return m_router; }

private:
    QAction* Connect(UINT id, QAction* action);

    QObject* m_owner;
    CommandRouter& m_router;
    LANGID m_language;
    QHash<UINT, QAction*> m_actions;
};
