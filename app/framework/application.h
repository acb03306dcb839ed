// The application object: the last commander in the chain and the host of
// the attachments that run on every event. It owns the Qt application and the
// event loop, which drives the fiber scheduler (CSchedulerDriver).
//
// The start-up routine (StartUp) runs once, whatever number of requests ask
// for it (the first event, an open-documents request, a get-URL request).
// Quitting asks AllowQuit, then ends the loop; the windows still open are
// deleted when the application is.
#pragma once

#include <memory>

#include "app/framework/attachment.h"
#include "app/framework/commander.h"

class QApplication;

class CApplication : public CCommander, public CAttachmentHost {
public:
    // Makes the Qt application (unless one exists) and installs the scheduler
    // driver and the cleanup wake.
    CApplication(int& argc, char** argv);
    ~CApplication() override;

    static CApplication* Get() { return sApplication; }

    // Runs the start-up routine when the loop starts, then the loop until a
    // quit; returns the loop's exit code.
    int Run();
    // Runs StartUp unless it has run (true when this call ran it).
    bool RunStartUpOnce();

    // Asks AllowQuit; when it agrees, ends the loop. True when quitting.
    bool Quit();
    // The last visible window closed while the loop runs: a desktop program
    // with no window left quits (through the quit check).
    virtual void LastWindowClosed();

    // kCmdQuit quits; other commands are not handled here.
    bool HandleCommand(CommandT command, void* ioParam) override;
    bool GetCommandStatus(CommandT command, SCommandStatus& status) override;

protected:
    virtual void StartUp() {}
    virtual bool AllowQuit() { return true; }

private:
    // Runs the attachments for one handled event (outside nested loops).
    void EventHandled();
    friend class CApplicationEvents;

    static inline CApplication* sApplication = nullptr;
    std::unique_ptr<QApplication> mOwnedQt;
    std::unique_ptr<class CApplicationEvents> mEvents;
    bool mStartedUp = false;
    bool mStartingUp = false;
    bool mRunning = false;
};
