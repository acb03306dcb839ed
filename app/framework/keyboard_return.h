// A window that comes over the user's window for a moment (a dialog, a file
// chooser) is a window of its own: when it ends, the window the user was in
// takes the keyboard back. A window manager may do that by itself; without
// one, Return and Escape would reach no window.
#pragma once

#include <QPointer>
#include <QWidget>

class CKeyboardReturn {
public:
    // Notes the active window; with none, the window last given the
    // keyboard back (a question right after another).
    CKeyboardReturn();
    // Activates it again when it is still shown.
    ~CKeyboardReturn();

    CKeyboardReturn(const CKeyboardReturn&) = delete;
    CKeyboardReturn& operator=(const CKeyboardReturn&) = delete;

private:
    QPointer<QWidget> mWindow;
};
