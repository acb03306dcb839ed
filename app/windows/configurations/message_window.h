// The window that edits the start or finish text of the editor's working
// copy. It belongs to the editor, not to the Logging panel, so it stays open
// with what was typed while the user looks at other tabs. OK writes the text
// back; Cancel and the close box drop it.
#pragma once

#include <functional>
#include <string>

#include "app/framework/window.h"
#include "foundation/messaging/broadcaster.h"

class CConfiguration;

// Told to the editor's current panel when the message window has ended.
inline constexpr MessageT kMsgMessageWindowEnded = MakeFourCharCode("MSGe");

class CMessageWindow : public CWindow, public CListener {
public:
    CMessageWindow(const SLayout& layout, CCommander* superCommander);
    // A window deleted without being closed (the application quitting) has
    // ended too: whoever waits on it must not keep its address.
    ~CMessageWindow() override;

    // Shows the start (or finish) text of the editor's working copy, which
    // outlives the window.
    void Edit(CConfiguration& working, bool start);
    // Runs once, when the window ends by OK, Cancel or the close box.
    void SetOnEnd(std::function<void()> onEnd) { mOnEnd = std::move(onEnd); }

    // 'OKAY' and 'CANC'.
    void ListenToMessage(MessageT message, void* ioParam) override;
    bool AllowClose() override;

private:
    void End(bool keep);

    CConfiguration* mWorking = nullptr;
    bool mStart = true;
    std::string mShown;
    std::function<void()> mOnEnd;
};
