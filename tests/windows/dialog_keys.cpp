#include "tests/windows/dialog_keys.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

#include "tests/windows/run_events.h"

namespace windowtest {

namespace {

bool ReadyForKeys(QWidget* window) { return window != nullptr && window->isActiveWindow() && window->focusWidget(); }

}  // namespace

void PressInNextDialog(Qt::Key key, Qt::KeyboardModifiers modifiers, FocusedAction before)
{
    QTimer::singleShot(0, [key, modifiers, before] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!ReadyForKeys(dialog)) {
            PressInNextDialog(key, modifiers, before);
            return;
        }
        QWidget* focused = dialog->focusWidget();
        if (before) before(*focused);
        QTest::keyClick(focused, key, modifiers);
    });
}

bool PressInWindow(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    window.activateWindow();
    if (!RunEventsUntil([&] { return ReadyForKeys(&window); })) return false;
    QTest::keyClick(window.focusWidget(), key, modifiers);
    return true;
}

}  // namespace windowtest
