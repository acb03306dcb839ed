#include "app/main/tidewell_app.h"

#include <syslog.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/framework/class_registrar.h"
#include "app/framework/cleanup.h"
#include "app/framework/dialog.h"
#include "app/framework/grayscale_window.h"
#include "app/framework/recent_items.h"
#include "app/framework/window_hooks.h"
#include "engine/url/url_resolution.h"
#include "foundation/errors/framework_exception.h"
#include "app/main/about_box.h"
#include "app/main/app_commands.h"
#include "app/main/app_layouts.h"
#include "app/main/app_menus.h"
#include "app/main/hosted_downloads.h"
#include "app/main/launcher_progress.h"
#include "app/main/single_instance.h"
#include "app/main/window_families.h"
#include "app/progress/dock_tile.h"
#include "app/windows/grabber/open_grabber.h"
#include "app/windows/quicker_grabber/register_quicker_grabber.h"
#include "app/windows/update/open_update_window.h"
#include "app/windows/widgets/widget_panes.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_accessors.h"
#include "foundation/settings/preference_store.h"
#include "foundation/system/bundle_info.h"
#include "foundation/system/date_text.h"
#include "foundation/system/get_url_to_self.h"
#include "foundation/threads/stop_all_threads.h"
#include "platform/launch/program_launcher.h"

CTidewellApp* gApplication = nullptr;

namespace {

// Threads get the network time-out and a little more to see their stop
// request; then the program quits anyway.
constexpr int kQuitGraceSeconds = 5;

bool IsHelpCommand(CommandT command)
{
    return command == kCmdWebsite || command == kCmdSupportMail || command == kCmdVersionHistory ||
           command == kCmdReadMe || command == kCmdWindowHelp;
}

// Commands that other libraries' windows serve (enabled while registered).
bool IsDelegatedCommand(CommandT command)
{
    return command == kCmdSearchFiles || command == kCmdShowConfigurations || command == kCmdCheckForUpdates ||
           command == kCmdPreferences || command == kCmdPrefsCarbon || command == kCmdNewGrabber ||
           command == kCmdUpdateFolder;
}

std::string TargetWindowName()
{
    for (CCommander* at = CCommander::GetTarget(); at != nullptr; at = at->GetSuperCommander())
        if (auto* window = dynamic_cast<GGrayscaleWindow*>(at)) return window->GetName();
    return "";
}

}  // namespace

std::string MakeUserAgent(const std::string& version, const std::string& machine)
{
    return "Tidewell/" + version + " (X11; U; Linux " + (machine.empty() ? std::string("unknown") : machine) + "; en)";
}

int TagDelayMilliseconds()
{
    std::optional<std::int32_t> seconds = GetDecimalPreference("Tag Delay");
    if (!seconds) return 2000;
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{*seconds} * 1000, 0, 3600 * 1000));
}

CTidewellApp::CTidewellApp(int& argc, char** argv) : CApplication(argc, argv)
{
    gApplication = this;
    QApplication::setApplicationName("Tidewell");
    QApplication::setApplicationVersion(GetBundleShortVersion());
    QGuiApplication::setDesktopFileName("tidewell");
    RegisterPaneClasses();
    SetMenuBarFactory(&BuildMenuBar);
    // Here rather than in main(), so that whatever builds the application
    // (the tests too) gets every window its menus open.
    RegisterWindowFamilies(this);
    mHostedDownloads = std::make_unique<CHostedDownloads>();
}

CTidewellApp::~CTidewellApp()
{
    SetMenuBarFactory(nullptr);
    SetGetURLHandler(nullptr);
    mInstanceServer.reset();
    // Windows save their state into the preferences before the settings go.
    while (!CWindow::AllWindows().empty()) delete CWindow::AllWindows().back();
    DeleteScheduledObjects();
    delete gAppSettings;
    gAppSettings = nullptr;
    gApplication = nullptr;
}

void CTidewellApp::RegisterPaneClasses()
{
    RegisterStandardClasses();
    RegisterWidgetPanes();
    CClassRegistrar::RegisterWindowClass<CAboutBox>(kClassAboutBox);
    CLayoutTable::Register(AboutBoxLayout());
    CLayoutTable::Register(ConfirmQuitLayout());
}

void CTidewellApp::StartUp()
{
    if (gAppSettings == nullptr) gAppSettings = new CAppSettings;
    (void)gAppSettings->MakeQueueFolder();
    if (!gAppSettings->mRecentItems)
        gAppSettings->mRecentItems =
            std::make_shared<CRecentItems>(CAppSettings::kRecentItemsKey, CAppSettings::kRecentItemsCapacity);
    AddAttachment(std::make_unique<CYieldAttachment>(-1));
    AddAttachment(std::make_unique<CCleanupAttachment>());
    BuildUserAgent();
    SetHelpTagDelay(TagDelayMilliseconds());
    if (!HasPreference("DefaultCreatorCode")) (void)SetPreferenceString("sfri", "DefaultCreatorCode");
    if (!HasPreference("DefaultTypeCode")) (void)SetPreferenceString("TEXT", "DefaultTypeCode");
    // The program's own requests to open a URL (notification texts without
    // a host among them, which open nothing).
    SetGetURLHandler([this](std::string_view url) {
        if (IsFetchableURL(url)) OpenQuickerGrabberWithURL(std::string(url));
    });
    InstallLauncherProgress("tidewell.desktop");
    // The windows wear the plain application icon until a crawl draws on it.
    RestoreDockTile();
    try {
        ProcessCommand(kCmdQuickGrab);
    } catch (const CFrameworkException&) {
        // No quicker grabber in this build: the menus still work.
    }
    Trace("start-up", "", true);
    CFixedString255 now;
    FormatCurrentDateTime(now);
    syslog(LOG_INFO, "Tidewell started up: %s", now.c_str());
}

void CTidewellApp::BuildUserAgent()
{
    if (gAppSettings == nullptr) return;
    const char* version = GetBundleShortVersion();
    if (version == nullptr || *version == '\0') return;
    gAppSettings->mVersion = version;
    gAppSettings->mUserAgent = MakeUserAgent(version, GetSystemRelease().machine).c_str();
}

bool CTidewellApp::HandleCommand(CommandT command, void* ioParam)
{
    if (command == kCmdQuickGrab || command == kCmdDownloadOnePage || command == kCmdGrabMedia) {
        ShowQuickerGrabber(command == kCmdDownloadOnePage, command == kCmdGrabMedia);
        return true;
    }
    if (command == kCmdAbout) {
        ShowAboutBox();
        return true;
    }
    if (IsDelegatedCommand(command)) {
        std::uint32_t key = command == kCmdPrefsCarbon ? CommandValue(kCmdPreferences) : CommandValue(command);
        return RunApplicationCommandHandler(key);
    }
    if (command == kCmdWebsite) return OpenWithDesktop(kProductPageURL) == 0 || true;
    if (command == kCmdSupportMail) return OpenWithDesktop(SupportMailURL(GetBundleShortVersion())) == 0 || true;
    if (command == kCmdVersionHistory) return OpenWithDesktop(ResourcePath("Version History.html")) == 0 || true;
    if (command == kCmdReadMe) return OpenWithDesktop(ResourcePath("Read Me Please.html")) == 0 || true;
    if (command == kCmdWindowHelp) return OpenWithDesktop(HelpPageForWindow(TargetWindowName())) == 0 || true;
    return CApplication::HandleCommand(command, ioParam);
}

bool CTidewellApp::GetCommandStatus(CommandT command, SCommandStatus& status)
{
    status = {};
    if (command == kCmdQuickGrab || command == kCmdDownloadOnePage || command == kCmdGrabMedia ||
        command == kCmdAbout || IsHelpCommand(command)) {
        status.enabled = true;
        return true;
    }
    if (IsDelegatedCommand(command)) {
        std::uint32_t key = command == kCmdPrefsCarbon ? CommandValue(kCmdPreferences) : CommandValue(command);
        status.enabled = HasApplicationCommandHandler(key);
        return true;
    }
    return CApplication::GetCommandStatus(command, status);
}

CWindow* CTidewellApp::ShowQuickerGrabber(bool onePage, bool mediaLayout)
{
    SQuickGrabRequest request;
    request.onePage = onePage;
    request.mediaLayout = mediaLayout;
    CWindow* window = OpenQuickerGrabber(request, this);
    if (window == nullptr) ThrowNilPointer("ShowQuickerGrabber");
    return window;
}

void CTidewellApp::ShowAboutBox()
{
    CWindow* box = MakeWindow(kAboutBoxLayout, this, "ShowAboutBox");
    box->Select();
}

bool CTidewellApp::OpenQuickerGrabberWithURL(const std::string& urlText)
{
    SQuickGrabRequest request;
    request.url = urlText;
    try {
        CWindow* window = OpenQuickerGrabber(request, this);
        if (window != nullptr) window->Select();
        return window != nullptr;
    } catch (const CFrameworkException&) {
        return false;
    }
}

int CTidewellApp::HandleOutsideRequests(const std::vector<SOutsideRequest>& requests)
{
    int opened = 0;
    for (const SOutsideRequest& request : requests) {
        bool done = false;
        switch (request.kind) {
        case EOutsideRequest::kOpenDocument: {
            RunStartUpOnce();
            std::optional<std::string> url = ReadLocationFileURL(request.text);
            done = url && OpenQuickerGrabberWithURL(*url);
            Trace("open-documents", request.text, done);
            break;
        }
        case EOutsideRequest::kGetURL:
            RunStartUpOnce();
            done = OpenQuickerGrabberWithURL(request.text);
            Trace("get-url", request.text, done);
            break;
        case EOutsideRequest::kService:
            RunStartUpOnce();
            done = OpenQuickerGrabberWithURL(request.text);
            Trace("service", request.text, done);
            break;
        case EOutsideRequest::kNothing:
            break;
        }
        if (done) ++opened;
    }
    return opened;
}

bool CTidewellApp::ListenForOtherInstances(const std::string& socketPath)
{
    mInstanceServer = std::make_unique<CInstanceServer>([this](const std::vector<std::string>& arguments) {
        HandleOutsideRequests(ClassifyArguments(arguments));
    });
    return mInstanceServer->Listen(socketPath);
}

void CTidewellApp::Trace(const char* kind, const std::string& text, bool opened)
{
    // For tests and debugging: which outside requests arrived, in order.
    const char* path = std::getenv("TIDEWELL_TRACE_REQUESTS");
    if (path == nullptr || *path == '\0') return;
    if (std::FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s\t%s\t%d\n", kind, text.c_str(), opened ? 1 : 0);
        std::fclose(file);
    }
}

void CTidewellApp::QuitWithoutAsking()
{
    mAskBeforeQuit = false;
    Quit();
}

bool CTidewellApp::AllowQuit()
{
    if (mAskBeforeQuit && IsAnyGrabRunning()) {
        QApplication::beep();
        if (RunModalDialog(kConfirmQuitLayout, "ConfirmQuit") != kMsgOK) return false;
    }
    mAskBeforeQuit = true;
    CloseAllGrabWindows();
    // Windows closed above go now, so their crawls see the stop.
    DeleteScheduledObjects();
    StopWindowFamilies();
    auto bound = std::chrono::seconds(GetNetworkTimeout() + kQuitGraceSeconds);
    if (!StopAllThreads(bound)) syslog(LOG_WARNING, "Tidewell quit while threads were still running");
    return true;
}
