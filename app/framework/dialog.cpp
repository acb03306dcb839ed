#include "app/framework/dialog.h"

#include <QEventLoop>
#include <QWidget>

#include <algorithm>
#include <deque>

#include "app/framework/class_registrar.h"
#include "app/framework/keyboard_return.h"
#include "foundation/threads/thread.h"
#include "foundation/threads/wake_token.h"

namespace {

std::deque<MessageT>& Answers()
{
    static std::deque<MessageT> answers;
    return answers;
}

std::vector<CScriptedAnswers::SQuestion>& Questions()
{
    static std::vector<CScriptedAnswers::SQuestion> questions;
    return questions;
}

}  // namespace

CDialog::CDialog(const SLayout& layout, CCommander* superCommander) : CWindow(layout, superCommander) {}

void CDialog::FinishCreateSelf()
{
    CWindow::FinishCreateSelf();
    GetContent().AddListenerBelow(this);
}

void CDialog::EndWith(MessageT message)
{
    if (HasEnded()) return;
    mAnswer = message;
    if (mEndHook) mEndHook();
}

void CDialog::ListenToMessage(MessageT message, void* ioParam)
{
    if (std::find(mEndMessages.begin(), mEndMessages.end(), message) != mEndMessages.end()) {
        EndWith(message);
        return;
    }
    HandleDialogMessage(message, ioParam);
}

bool CDialog::AllowClose()
{
    // The runner deletes the dialog; the close box only answers.
    EndWith(kMsgCancel);
    return false;
}

CDialog* CDialog::MakeFromLayout(const SLayout& layout, CCommander* superCommander, const char* operation)
{
    auto dialog = std::make_unique<CDialog>(layout, superCommander);
    if (!CWindow::BuildPanes(layout, dialog->GetContent())) ThrowNilPointer(operation);
    dialog->FinishCreateSelf();
    return dialog.release();
}

MessageT RunDialog(CDialog* dialog, const std::string& question, const std::function<void(CDialog&)>& inspect)
{
    std::unique_ptr<CDialog> owned(dialog);
    MessageT answer = kMsgNothing;
    if (CScriptedAnswers::Take(dialog->GetLayoutNumber(), question, answer)) {
        dialog->mAnswer = answer;
        if (inspect) inspect(*dialog);
        return answer;
    }
    QWidget* root = dialog->GetWidget();
    root->setWindowModality(Qt::ApplicationModal);
    const CKeyboardReturn keyboardReturn;
    if (CThread* thread = CThread::Current()) {
        // A fiber sleeps until the main loop has the answer.
        CWakeToken answered;
        dialog->mEndHook = [answered] { answered.Signal(); };
        dialog->Select();
        while (!dialog->HasEnded()) {
            answered.Wait();
            if (!dialog->HasEnded() && thread->IsStopRequested()) dialog->EndWith(kMsgCancel);
        }
    } else {
        QEventLoop loop;
        dialog->mEndHook = [&loop] { loop.quit(); };
        dialog->Select();
        if (!dialog->HasEnded()) loop.exec();
    }
    dialog->mEndHook = nullptr;
    dialog->Hide();
    if (inspect) inspect(*dialog);
    return dialog->GetAnswer();
}

MessageT RunModalDialog(int layoutNumber, const char* operation, const std::function<void(CDialog&)>& prepare,
                        const std::function<void(CDialog&)>& inspect)
{
    CDialog* dialog = MakeWindowAs<CDialog>(layoutNumber, CCommander::GetTarget(), operation);
    if (prepare) {
        try {
            prepare(*dialog);
        } catch (...) {
            delete dialog;
            throw;
        }
    }
    return RunDialog(dialog, dialog->GetTitle(), inspect);
}

MessageT RunAlert(const SAlert& alert)
{
    static constexpr PaneIDT kButtons = MakeFourCharCode("Btns");
    const char* icon = alert.kind == EAlertKind::kStop      ? "dialog-error"
                       : alert.kind == EAlertKind::kCaution ? "dialog-warning"
                                                            : "dialog-information";
    std::vector<SAlertButton> buttons = alert.buttons;
    if (buttons.empty()) buttons.push_back({"OK", kMsgOK});

    std::vector<SPaneSpec> panes;
    panes.push_back({.classID = kClassIconPane, .cell = {0, 0, 2, 1}, .caption = icon});
    panes.push_back({.classID = kClassCaption, .cell = {0, 1}, .caption = alert.text.c_str(), .widthChars = 40});
    if (!alert.informativeText.empty())
        panes.push_back({.classID = kClassCaption, .cell = {1, 1}, .caption = alert.informativeText.c_str()});
    panes.push_back({.id = kButtons, .classID = kClassView, .cell = {2, 0, 1, 2}});
    // Right-aligned, the default button last (the desktop's order).
    int column = 1;
    for (auto button = buttons.rbegin(); button != buttons.rend(); ++button)
        panes.push_back({.classID = kClassPushButton, .superID = kButtons, .cell = {0, column++},
                         .caption = button->title.c_str(), .valueMessage = button->message});
    SLayout layout{.number = 0, .windowClass = kClassDialog, .kind = EWindowKind::kDialog, .title = "",
                   .panes = panes};

    std::vector<MessageT> ends;
    for (const auto& button : buttons) ends.push_back(button.message);
    // The close box and Escape answer Cancel, or the only button.
    if (buttons.size() == 1 && ends[0] != kMsgCancel) ends.push_back(kMsgCancel);
    CDialog* dialog = CDialog::MakeFromLayout(layout, CCommander::GetTarget(), "RunAlert");
    dialog->SetEndMessages(ends);
    MessageT answer = RunDialog(dialog, alert.text, {});
    // A one-button alert closed by its box answers that button.
    if (answer == kMsgCancel && buttons.size() == 1) answer = buttons[0].message;
    return answer;
}

void CScriptedAnswers::Push(MessageT answer) { Answers().push_back(answer); }

bool CScriptedAnswers::HasAnswers() { return !Answers().empty(); }

void CScriptedAnswers::Clear()
{
    Answers().clear();
    Questions().clear();
}

const std::vector<CScriptedAnswers::SQuestion>& CScriptedAnswers::Asked() { return Questions(); }

bool CScriptedAnswers::Take(int layoutNumber, const std::string& text, MessageT& answer)
{
    if (Answers().empty()) return false;
    answer = Answers().front();
    Answers().pop_front();
    Questions().push_back({layoutNumber, text});
    return true;
}
