// Modal dialogs and alerts. A dialog is a window built from a layout whose
// buttons broadcast messages; it ends with the first end message (kMsgOK 900
// or kMsgCancel 901 unless the caller names others) and returns it.
//
// Asked on the GUI thread outside any fiber, the dialog runs in a local
// event loop. Asked on a fiber (a crawl, a search), the question is handed to
// the main loop and the fiber sleeps until the answer comes: no fiber ever
// enters a nested event loop.
//
// Tests script the answers (CScriptedAnswers): the dialog is still built (so
// a layout that cannot be built still raises 'nilP'), never shown, and the
// scripted answer is returned.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/framework/window.h"

class CDialog : public CWindow, public CListener {
public:
    CDialog(const SLayout& layout, CCommander* superCommander);
    // A dialog from a layout that is not registered (one made at run time,
    // such as an alert's); 'nilP' with `operation` when it cannot be built.
    static CDialog* MakeFromLayout(const SLayout& layout, CCommander* superCommander, const char* operation);

    // Messages that end the dialog (default: 900 and 901).
    void SetEndMessages(std::vector<MessageT> messages) { mEndMessages = std::move(messages); }
    // The first end message is the default button's (Return presses it).
    MessageT DefaultMessage() const override { return mEndMessages.empty() ? kMsgOK : mEndMessages.front(); }
    bool HasEnded() const { return mAnswer != kMsgNothing; }
    MessageT GetAnswer() const { return mAnswer; }
    // Ends the dialog with `message` (the buttons call it).
    void EndWith(MessageT message);

    // Messages of its panes: an end message ends the dialog; others go to
    // HandleDialogMessage.
    void ListenToMessage(MessageT message, void* ioParam) override;
    virtual void HandleDialogMessage(MessageT /*message*/, void* /*ioParam*/) {}

    // The close box and Escape answer Cancel.
    bool AllowClose() override;

protected:
    void FinishCreateSelf() override;

private:
    friend MessageT RunDialog(CDialog* dialog, const std::string& question,
                              const std::function<void(CDialog&)>& inspect);
    std::vector<MessageT> mEndMessages{kMsgOK, kMsgCancel};
    MessageT mAnswer = kMsgNothing;
    std::function<void()> mEndHook;  // wakes whoever waits for the answer
};

// Builds the dialog of `layoutNumber` ('nilP' with `operation` when it cannot
// be built), lets `prepare` fill it in, runs it until an end message, and
// returns that message. The dialog is gone afterwards; `inspect` (when given)
// sees it just before, to read fields.
MessageT RunModalDialog(int layoutNumber, const char* operation,
                        const std::function<void(CDialog&)>& prepare = {},
                        const std::function<void(CDialog&)>& inspect = {});

enum class EAlertKind { kNote, kCaution, kStop };

struct SAlertButton {
    std::string title;
    MessageT message;
};

struct SAlert {
    EAlertKind kind = EAlertKind::kNote;
    std::string text;
    std::string informativeText;
    // First is the default button; empty: one "OK" answering kMsgOK.
    std::vector<SAlertButton> buttons;
};

// An alert made from text (no layout of its own); returns the answer.
MessageT RunAlert(const SAlert& alert);

// Scripted answers for tests: each modal question takes the next answer.
// Every question asked is recorded (layout number, 0 for alerts, and the
// alert's text).
class CScriptedAnswers {
public:
    struct SQuestion {
        int layoutNumber;
        std::string text;
    };
    static void Push(MessageT answer);
    static bool HasAnswers();
    static void Clear();
    static const std::vector<SQuestion>& Asked();
    // Takes the next answer, recording the question (for the framework).
    static bool Take(int layoutNumber, const std::string& text, MessageT& answer);
};
