#include "app/framework/dialog_keys.h"

#include <QKeyEvent>
#include <QPushButton>

#include "app/framework/pane.h"

QPushButton* FindButtonWithMessage(CPane& pane, MessageT message)
{
    for (const auto& sub : pane.SubPanes()) {
        auto* button = qobject_cast<QPushButton*>(sub->GetWidget());
        if (button != nullptr && sub->GetValueMessage() == message) return button;
        if (QPushButton* below = FindButtonWithMessage(*sub, message)) return below;
    }
    return nullptr;
}

bool HandleDialogKey(CPane& content, MessageT defaultMessage, const std::function<void()>& close,
                     const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier) return false;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A disabled default button leaves Return unanswered, as a click would.
        if (QPushButton* button = FindButtonWithMessage(content, defaultMessage);
            button != nullptr && button->isVisible() && button->isEnabled())
            button->click();
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    default:
        return false;
    }
}

void PrepareDialogFocus(CPane& content, MessageT defaultMessage, QWidget* root)
{
    QPushButton* preferred = FindButtonWithMessage(content, defaultMessage);
    if (preferred != nullptr) preferred->setDefault(true);
    if (root == nullptr || root->focusWidget() != nullptr) return;
    if (QPushButton* cancel = FindButtonWithMessage(content, kMsgCancel);
        cancel != nullptr && cancel->isEnabled())
        preferred = cancel;
    if (preferred != nullptr) preferred->setFocus(Qt::OtherFocusReason);
}
