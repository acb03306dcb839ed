// Real key presses in modal dialogs. A test arms a press, then runs the code
// that asks; once the dialog is up and active, the key goes to whatever
// widget has the focus in it, as a user's key would.
#pragma once

#include <functional>

#include <Qt>

class QWidget;

namespace windowtest {

// Runs on the focused widget just before the key (to type into it, or to
// look at what has the focus).
using FocusedAction = std::function<void(QWidget& focused)>;

void PressInNextDialog(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, FocusedAction before = {});

// The same for a window that is already up (not necessarily modal); false
// when it never became active.
bool PressInWindow(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

}  // namespace windowtest
