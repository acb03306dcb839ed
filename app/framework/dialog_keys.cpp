#include "app/framework/dialog_keys.h"

#include <QKeyEvent>
#include <QPushButton>

#include "app/framework/window.h"

QPushButton* FindButtonWithMessage(CPane& pane, MessageT message)
{
    for (const auto& sub : pane.SubPanes()) {
        auto* button = qobject_cast<QPushButton*>(sub->GetWidget());
        if (button != nullptr && sub->GetValueMessage() == message) return button;
        if (QPushButton* below = FindButtonWithMessage(*sub, message)) return below;
    }
    return nullptr;
}

bool HandleDialogKey(CWindow& window, const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier) return false;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A disabled default button leaves Return unanswered, as a click would.
        if (QPushButton* button = FindButtonWithMessage(window.GetContent(), window.DefaultMessage());
            button != nullptr && button->isVisible() && button->isEnabled())
            button->click();
        return true;
    case Qt::Key_Escape:
        window.AttemptClose();
        return true;
    default:
        return false;
    }
}

void PrepareDialogFocus(CWindow& window)
{
    QPushButton* preferred = FindButtonWithMessage(window.GetContent(), window.DefaultMessage());
    if (preferred != nullptr) preferred->setDefault(true);
    if (QWidget* root = window.GetWidget(); root == nullptr || root->focusWidget() != nullptr) return;
    if (QPushButton* cancel = FindButtonWithMessage(window.GetContent(), kMsgCancel);
        cancel != nullptr && cancel->isEnabled())
        preferred = cancel;
    if (preferred != nullptr) preferred->setFocus(Qt::OtherFocusReason);
}
