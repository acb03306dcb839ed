#include "app/framework/menu_commands.h"

#include <QAction>
#include <QMenu>

#include "app/framework/commander.h"

QAction* AddCommandItem(QMenu* menu, const QString& text, CommandT command, const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(text);
    action->setData(QVariant::fromValue<quint32>(CommandValue(command)));
    action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, [command] { CCommander::DispatchCommand(command); });
    if (!menu->property("tidewellCommands").toBool()) {
        menu->setProperty("tidewellCommands", true);
        QObject::connect(menu, &QMenu::aboutToShow, [menu] { UpdateCommandItems(menu); });
    }
    return action;
}

CommandT GetItemCommand(const QAction* action)
{
    return action->data().isValid() ? CommandNumber(action->data().value<quint32>()) : kCmdNothing;
}

void UpdateCommandItems(QMenu* menu)
{
    for (QAction* action : menu->actions()) {
        CommandT command = GetItemCommand(action);
        if (command == kCmdNothing) continue;
        SCommandStatus status = CCommander::DispatchCommandStatus(command);
        action->setEnabled(status.enabled);
        action->setCheckable(status.usesMark);
        if (status.usesMark) action->setChecked(status.marked);
        if (!status.name.empty()) action->setText(QString::fromStdString(status.name));
    }
}
