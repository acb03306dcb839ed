// The start of a grab, alike in the grabber and the quicker grabber: the
// start URL is read and refused when empty or of a scheme that cannot be
// grabbed, the grab's configuration is put in place, the URL becomes a
// recent item, the download folder is made, and a CStartURLThread follows
// the start page's redirections while the window stays live; when it
// reports, the URL is parsed and the window starts its crawl. Which panes
// change and where the texts go is the window's (CGrabStartWindow).
#pragma once

#include <string>

#include "app/windows/grab_start/start_url_thread.h"

class CConfiguration;
class CURL;

class CGrabStartWindow {
public:
    // Whether a grab may start now; when it may, the window gets ready for it.
    virtual bool BeginGrabStart() = 0;
    virtual std::string StartURLText() = 0;
    // Puts the grab's configuration into GrabConfiguration(); the line that
    // tells why it could not, or empty.
    virtual std::string TakeGrabConfiguration() = 0;
    virtual CConfiguration& GrabConfiguration() = 0;
    // A line about the start: a note, or (`failure`) why the grab stopped.
    virtual void TellGrabStart(const std::string& text, bool failure) = 0;
    // Refused before anything was made for it: the window takes a new start.
    virtual void GrabStartRefused() = 0;
    // The start URL and its companions take no input while a grab starts
    // (`locked`), and take it again after a URL that does not parse.
    virtual void LockStartPanes(bool locked) = 0;
    // The grab is accepted and its recent item made.
    virtual void GrabStartAccepted() = 0;
    // The download folder could not be made: the start button goes off.
    virtual void DisableGrabStart() = 0;
    // The check of the start URL begins: Stop takes the start button's
    // place and the task pane shows `task`.
    virtual void ShowStartChecking(const std::string& task) = 0;
    // The chasing arrows (the crawl owner's own).
    virtual void StartSpinner() = 0;
    virtual void StopSpinner() = 0;
    // The window is going: the end of the check is not shown.
    virtual bool IsGrabWindowClosing() const = 0;
    // The user asked for a stop while the URL was checked.
    virtual bool IsGrabStopRequested() const = 0;
    // The grab ended before its crawl began.
    virtual void EndGrabWithoutCrawl() = 0;
    // After the notice of a URL that does not parse: the window is as it
    // was before the grab, so the user may correct the URL.
    virtual void RestoreAfterBadStartURL() = 0;
    // Starts the crawl of the checked URL, handing it what the check
    // learned of it.
    virtual void StartCrawl(const CURL& url, CStartAnswer startAnswer) = 0;

protected:
    ~CGrabStartWindow() = default;
};

class CGrabStart {
public:
    explicit CGrabStart(CGrabStartWindow& window) : mWindow(window) {}
    CGrabStart(const CGrabStart&) = delete;
    CGrabStart& operator=(const CGrabStart&) = delete;

    // The grab button: starts the steps above, unless a check runs.
    void Start();
    bool IsChecking() const { return mCheckThread != nullptr; }
    // Stops a running check; it ends at once and reports as stopped.
    void StopCheck();

private:
    void Checked(CStartURLThread* thread, CStartURLThread::SResult& result);

    CGrabStartWindow& mWindow;
    CStartURLThread* mCheckThread = nullptr;
};

// The question before closing a window whose grab runs: true to close
// (and stop the grab), false when the user cancelled.
bool AskToCloseDuringGrab();
