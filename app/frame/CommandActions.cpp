#include "frame/CommandActions.h"

#include "frame/CommandIcons.h"
#include "frame/CommandInfo.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QRegularExpression>
#include <QWidgetAction>

CommandActions::CommandActions(QObject* owner, CommandRouter& router, LANGID language)
    : QObject(owner), m_owner(owner), m_router(router), m_language(language)
{
}

QAction* CommandActions::Action(UINT id)
{
    if (QAction* action = m_actions.value(id))
        return action;
    const CommandInfo* info = FindCommandInfo(id);
    if (!info)
        return nullptr;
    auto* action = new QAction(CommandIcon(info->icon), QString::fromStdString(CommandCaption(*info, m_language)),
                               m_owner);
    if (info->shortcut)
        action->setShortcut(QKeySequence(QString::fromLatin1(info->shortcut)));
    // Toolbar tips without the mnemonic marker.
    action->setToolTip(action->text().remove(QRegularExpression("\\(&.\\)")).remove(QLatin1Char('&')).trimmed());
    return Connect(id, action);
}

QAction* CommandActions::AddAction(UINT id, const QString& text, const QIcon& icon)
{
    return Connect(id, new QAction(icon, text, m_owner));
}

void CommandActions::AdoptAction(UINT id, QAction* action) { Connect(id, action); }

UINT CommandActions::CommandId(const QAction* action)
{
    return action ? action->data().toUInt() : 0;
}

QAction* CommandActions::Connect(UINT id, QAction* action)
{
    action->setData(id);
    if (!qobject_cast<QWidgetAction*>(action))
        connect(action, &QAction::triggered, this, [this, action, id] {
            m_router.Execute(id);
            // The action may have toggled itself; show what the command decided.
            Update(action);
        });
    m_actions.insert(id, action);
    return action;
}

void CommandActions::Update(QAction* action)
{
    const UINT id = CommandId(action);
    if (!id)
        return;
    const CommandState state = m_router.Query(id);
    action->setEnabled(state.enabled);
    if (state.checkable && !action->isCheckable())
        action->setCheckable(true);
    if (action->isCheckable())
        action->setChecked(state.checked);
    if (state.text)
        action->setText(QString::fromStdString(*state.text));
    if (state.visible)
        action->setVisible(*state.visible);
}

void CommandActions::Update(const QList<QAction*>& actions)
{
    for (QAction* action : actions)
        Update(action);
}

void CommandActions::UpdateWhenShown(QMenu* menu)
{
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { Update(menu->actions()); });
}
