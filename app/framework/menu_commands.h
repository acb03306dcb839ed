// Menu items that send commands: triggering one dispatches its command to
// the target; opening a menu asks each item's status (enabled, mark, name).
#pragma once

#include <QKeySequence>
#include <QString>

#include "app/framework/framework_codes.h"

class QAction;
class QMenu;

QAction* AddCommandItem(QMenu* menu, const QString& text, CommandT command,
                        const QKeySequence& shortcut = {});
// Dispatches from the target; a framework exception becomes a stop alert.
bool DispatchMenuCommand(CommandT command);
CommandT GetItemCommand(const QAction* action);
// Applies the commanders' answers to every command item of the menu (done
// automatically before the menu shows).
void UpdateCommandItems(QMenu* menu);
