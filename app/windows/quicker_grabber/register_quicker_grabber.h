// Registers the quicker grabber with the framework: its window class and
// layouts, the widget panes it uses, its family for the quit check, and the
// after-yield hook that shows the transfers' progress. The executable calls
// it once at start-up, before any OpenQuickerGrabber.
#pragma once

#include <string>

class CCommander;
class CWindow;

void RegisterQuickerGrabber();

// One quick grab request: every outside URL ends in one.
struct SQuickGrabRequest {
    std::string url;           // the start URL text ("" for none)
    bool onePage = false;      // "Download One Page" mode
    bool mediaLayout = false;  // the media grabber's layout (2111)
};

// Builds layout 2111 for a media request, else 2110 ("Download One Page" for
// a one-page request), puts the URL into the URL field and shows the
// window; it does not start the grab. Raises 'nilP' when the window cannot
// be built.
CWindow* OpenQuickerGrabber(const SQuickGrabRequest& request, CCommander* super);
