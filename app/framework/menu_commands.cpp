#include "app/framework/menu_commands.h"

#include <QAction>
#include <QMenu>

#include "app/framework/commander.h"
#include "app/framework/dialog.h"
#include "foundation/errors/framework_exception.h"

bool DispatchMenuCommand(CommandT command)
{
    // Nothing may escape into Qt's event delivery: a window that cannot be
    // built becomes an alert.
    try {
        return CCommander::DispatchCommand(command);
    } catch (const CFrameworkException& error) {
        RunAlert({EAlertKind::kStop, "The command could not be carried out.",
                  error.GetErrorString() + " (" + FourCharCodeText(static_cast<FourCharCode>(error.GetErrorCode())) + ")",
                  {}});
    }
    return false;
}

QAction* AddCommandItem(QMenu* menu, const QString& text, CommandT command, const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(text);
    action->setData(QVariant::fromValue<quint32>(CommandValue(command)));
    action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, [command] { DispatchMenuCommand(command); });
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
