#include "app/framework/keyboard_return.h"

#include <QApplication>

namespace {

// The window last given the keyboard back. Its activation lands a moment
// later, so a question that follows another at once finds no active window
// and takes this one.
QPointer<QWidget>& LastReturnedTo()
{
    static QPointer<QWidget> window;
    return window;
}

}  // namespace

CKeyboardReturn::CKeyboardReturn() : mWindow(QApplication::activeWindow())
{
    if (!mWindow || !mWindow->isVisible()) mWindow = LastReturnedTo();
}

CKeyboardReturn::~CKeyboardReturn()
{
    if (!mWindow || !mWindow->isVisible()) return;
    mWindow->activateWindow();
    LastReturnedTo() = mWindow;
}
