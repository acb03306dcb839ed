#include "app/framework/keyboard_return.h"

#include <QApplication>

CKeyboardReturn::CKeyboardReturn() : mWindow(QApplication::activeWindow()) {}

CKeyboardReturn::~CKeyboardReturn()
{
    if (mWindow && mWindow->isVisible()) mWindow->activateWindow();
}
