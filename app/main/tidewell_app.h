// CTidewellApp: the application object. Start-up, the application's
// commands, outside requests (arguments of this and later instances), the
// quit check.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/framework/application.h"
#include "app/main/outside_requests.h"

class CHostedDownloads;
class CInstanceServer;
class CWindow;

class CTidewellApp : public CApplication {
public:
    // Registers every window family the menus open.
    CTidewellApp(int& argc, char** argv);
    ~CTidewellApp() override;

    // Registers the classes and layouts the application itself owns.
    static void RegisterPaneClasses();

    bool HandleCommand(CommandT command, void* ioParam) override;
    bool GetCommandStatus(CommandT command, SCommandStatus& status) override;

    // Layout 2110 (2111 for media) through the quicker grabber's opener;
    // 'nilP' ("ShowQuickerGrabber") when none can be made.
    CWindow* ShowQuickerGrabber(bool onePage, bool mediaLayout);
    void ShowAboutBox();
    // A quicker grabber with the URL filled in; false when none was made.
    bool OpenQuickerGrabberWithURL(const std::string& urlText);

    // Each request in order; returns how many windows opened.
    int HandleOutsideRequests(const std::vector<SOutsideRequest>& requests);
    // Listens for later instances' arguments.
    bool ListenForOtherInstances(const std::string& socketPath);
    // Quits without asking (a signal from the session).
    void QuitWithoutAsking();

protected:
    // The start-up routine.
    void StartUp() override;
    // The quit check: asks while a grab runs; then closes the grab windows
    // and stops every thread, waiting a bounded time.
    bool AllowQuit() override;

private:
    void BuildUserAgent();
    void Trace(const char* kind, const std::string& text, bool opened);

    bool mAskBeforeQuit = true;
    std::unique_ptr<CInstanceServer> mInstanceServer;
    std::unique_ptr<CHostedDownloads> mHostedDownloads;
};

// The text of the user agent for this system and version.
std::string MakeUserAgent(const std::string& version, const std::string& machine);
// "Tag Delay" in seconds to milliseconds: 2000 when missing; within 0 to one hour.
int TagDelayMilliseconds();

extern CTidewellApp* gApplication;
