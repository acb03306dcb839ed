// How the application reaches window families that live in other libraries
// (the quicker grabber, the grabber) without depending on them: each family
// registers its hooks at start-up.
//
// The quicker grabber's library provides, in
// "app/windows/quicker_grabber/register_quicker_grabber.h", a function
// `void RegisterQuickerGrabber();` that registers its classes and layouts and
// calls SetQuickerGrabberOpener and AddGrabWindowFamily; the executable calls
// it when the header exists.
#pragma once

#include <functional>
#include <string>

class CCommander;
class CWindow;

// One quick grab request: every outside URL ends in one.
struct SQuickGrabRequest {
    std::string url;                            // the start URL text ("" for none)
    std::string configurationName = "Default";  // or the "Default Configuration" preference
    bool onePage = false;                       // "Download One Page" mode
    bool mediaLayout = false;                   // the media grabber's layout (2111)
};

// Builds, fills in and shows a quicker grabber; returns it, or null when it
// could not be made (it may also raise 'nilP').
using QuickerGrabberOpener = std::function<CWindow*(const SQuickGrabRequest& request, CCommander* super)>;
void SetQuickerGrabberOpener(QuickerGrabberOpener opener);
bool HasQuickerGrabberOpener();
// Null when no opener is registered or it made nothing.
CWindow* OpenQuickerGrabber(const SQuickGrabRequest& request, CCommander* super);

// A family of windows that run grabs, for the quit check.
struct SGrabWindowFamily {
    std::string name;
    std::function<bool()> isAnyRunning;  // running or paused
    std::function<void()> closeAll;      // each waits for its own crawl to end
};
// Asked in the order added (the quicker grabbers first).
void AddGrabWindowFamily(SGrabWindowFamily family);
bool IsAnyGrabRunning();
// Closes every family's windows, the last added first.
void CloseAllGrabWindows();
void ClearGrabWindowFamilies();
