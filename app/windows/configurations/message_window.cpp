#include "app/windows/configurations/message_window.h"

#include "app/windows/configurations/configurations_layout.h"
#include "app/windows/configurations/edit_configuration_window.h"

using namespace configwin;

namespace {

CTextBuffer& MessageText(CEditConfigurationWindow& editor, bool start)
{
    CMiscOptions& misc = editor.WorkingCopy().mMiscOptions;
    return start ? misc.startMessage : misc.finishMessage;
}

}  // namespace

CMessageWindow::CMessageWindow(const SLayout& layout, CCommander* superCommander) : CWindow(layout, superCommander) {}

void CMessageWindow::Edit(CEditConfigurationWindow& editor, bool start)
{
    mEditor = &editor;
    mStart = start;
    if (CPane* view = FindPaneByID(kMessageText)) {
        view->SetDescriptor(MessageText(editor, start).View());
        mShown = view->GetDescriptor();  // as the view keeps it (line ends)
    }
    SetTitle(start ? "Edit Start Message" : "Edit Finish Message");
    for (PaneIDT id : {kMessageOK, kMessageCancel})
        if (CPane* button = FindPaneByID(id)) button->AddListener(this);
}

void CMessageWindow::ListenToMessage(MessageT message, void*)
{
    if (message == kMessageOK || message == kMessageCancel) {
        End(message == kMessageOK);
        AttemptClose();
    }
}

CMessageWindow::~CMessageWindow()
{
    if (auto onEnd = std::exchange(mOnEnd, nullptr)) onEnd();
}

bool CMessageWindow::AllowClose()
{
    End(false);
    return true;
}

void CMessageWindow::End(bool keep)
{
    CPane* view = FindPaneByID(kMessageText);
    // Only a text the user changed is written, so that merely opening and
    // confirming changes nothing.
    if (keep && mEditor != nullptr && view != nullptr && view->GetDescriptor() != mShown)
        MessageText(*mEditor, mStart).Assign(std::string_view(view->GetDescriptor()));
    mEditor = nullptr;
    if (auto onEnd = std::exchange(mOnEnd, nullptr)) onEnd();
}
