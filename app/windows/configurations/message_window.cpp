#include "app/windows/configurations/message_window.h"

#include "app/windows/configurations/configurations_layout.h"
#include "engine/config/configuration.h"

using namespace configwin;

namespace {

CTextBuffer& MessageText(CConfiguration& working, bool start)
{
    CMiscOptions& misc = working.mMiscOptions;
    return start ? misc.startMessage : misc.finishMessage;
}

}  // namespace

CMessageWindow::CMessageWindow(const SLayout& layout, CCommander* superCommander) : CWindow(layout, superCommander) {}

void CMessageWindow::Edit(CConfiguration& working, bool start)
{
    mWorking = &working;
    mStart = start;
    if (CPane* view = FindPaneByID(kMessageText)) {
        view->SetDescriptor(MessageText(working, start).View());
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
    if (keep && mWorking != nullptr && view != nullptr && view->GetDescriptor() != mShown)
        MessageText(*mWorking, mStart).Assign(std::string_view(view->GetDescriptor()));
    mWorking = nullptr;
    if (auto onEnd = std::exchange(mOnEnd, nullptr)) onEnd();
}
