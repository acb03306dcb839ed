// The keyboard of every window built as a dialog (modal dialogs, alerts, the
// about box): Return and Enter press the default button wherever the focus
// is, Escape cancels, and the first focus never lands on a button that acts
// on the user's data, so Space cannot throw work away.
#pragma once

#include <functional>

#include "app/framework/framework_codes.h"

class CPane;
class QKeyEvent;
class QPushButton;
class QWidget;

// The first push button below `pane` (depth first) that broadcasts `message`.
QPushButton* FindButtonWithMessage(CPane& pane, MessageT message);

// True when the key was a dialog key and has been acted on: Return presses
// the button of `content` that sends `defaultMessage`, Escape calls `close`.
bool HandleDialogKey(CPane& content, MessageT defaultMessage, const std::function<void()>& close,
                     const QKeyEvent& event);

// As the dialog (`root` its top widget) comes on screen: marks the default
// button and, unless a field already asked for the focus, focuses Cancel
// (else the default).
void PrepareDialogFocus(CPane& content, MessageT defaultMessage, QWidget* root);
