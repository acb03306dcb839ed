// window-grab-driver: one grab in a real grab window of the whole program,
// drawn offscreen, started as a user starts it, for benchmarks and for
// trying the windows' road from a shell.
//
//   window-grab-driver [--grabber] [--shown] URL FOLDER
//
// Builds the program as tidewell does (every window family, the menu bar,
// the settings), makes FOLDER the download folder, as the preferences do,
// and then:
//   - by default, opens a quicker grabber for URL as `tidewell URL` does,
//     and presses Return in its URL field;
//   - with --grabber, opens a grabber window, types URL into its URL field
//     and clicks its start button with the "Default" configuration chosen.
// Either window is drawn first, as a person sees it before acting: offscreen,
// or with --shown on the session's display, to time the grab as a person
// watching it would (Xvfb serves).
// It waits for the grab's end with the event loop running (no sleeps),
// then prints the grab's own time, from Return or the click to its end
// ("Grab time: S s").
//
// Exit status: 0 when the grab ended with "Done."; 1 when it did not start
// or ended otherwise, with the window's last message on standard error; 2
// for a usage error.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>

#include "app/main/outside_requests.h"
#include "bench/grab_clock.h"
#include "app/main/tidewell_app.h"
#include "app/windows/grabber/grabber.h"
#include "app/windows/grabber/grabber_layout.h"
#include "app/windows/grabber/open_grabber.h"
#include "app/windows/quicker_grabber/quicker_grabber.h"
#include "app/windows/quicker_grabber/quicker_grabber_layout.h"
#include "app/windows/widgets/dirty_text.h"
#include "app/windows/widgets/widget_panes.h"
#include "foundation/settings/app_settings.h"

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: window-grab-driver [--grabber] [--shown] URL FOLDER\n");
    return 2;
}

int Fail(const std::string& reason)
{
    std::fprintf(stderr, "window-grab-driver: %s\n", reason.c_str());
    return 1;
}

template <class Done>
void RunLoopUntil(Done done)
{
    while (!done()) QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// A person sees the window drawn before pressing Return or clicking: its
// layout, fonts and first paint are start-up, not part of the grab.
void DrawAsShown(CWindow& window)
{
    QWidget* widget = window.GetWidget();
    widget->show();
    QApplication::processEvents();
    widget->repaint();
    QApplication::processEvents();
}

int GrabInQuickerGrabber(CTidewellApp& application, const std::string& url)
{
    using namespace quickergrabber;
    if (application.HandleOutsideRequests(ClassifyArguments({url})) != 1) return Fail("no window for " + url);
    CQuickerGrabber* found = nullptr;
    for (CQuickerGrabber* window : CWindow::WindowsOfClass<CQuickerGrabber>())
        if (window->FindPaneByID(kURL)->GetDescriptor() == url) found = window;
    if (found == nullptr) return Fail("no quicker grabber opened for " + url);
    CQuickerGrabber& window = *found;
    DrawAsShown(window);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    const SGrabClock grabClock;
    QApplication::sendEvent(window.FindPaneByID(kURL)->GetWidget(), &press);
    if (!window.IsCheckingStartURL() && !window.IsCrawling() && window.GetState() != kWindowDone)
        return Fail("the grab did not start: " + window.FindPaneByID(kMess)->GetDescriptor());
    RunLoopUntil([&] { return window.GetState() == kWindowDone && !window.IsCrawling() && !window.IsCheckingStartURL(); });
    grabClock.Print();
    const std::string message = window.FindPaneByID(kMess)->GetDescriptor();
    if (message.rfind("Done.", 0) != 0) return Fail(message);
    std::printf("%s\n", message.c_str());
    return 0;
}

int GrabInGrabber(CTidewellApp& application, const std::string& url)
{
    using namespace grabber;
    CGrabber* window = OpenGrabberWindow(&application, url);
    if (window == nullptr) return Fail("no grabber window");
    window->FindPaneByID(kURL)->SetDescriptor(url);
    window->FindPaneByID(kMenu)->SetValue(1);  // "Default"
    DrawAsShown(*window);
    const SGrabClock grabClock;
    qobject_cast<QAbstractButton*>(window->FindPaneByID(kStart)->GetWidget())->click();
    auto* log = window->FindPaneAs<CDirtyTextPane>(kText);
    if (!window->IsCheckingStartURL() && !window->IsCrawling())
        return Fail("the grab did not start: " + log->GetDescriptor());
    RunLoopUntil([&] { return !window->IsCrawling() && !window->IsCheckingStartURL(); });
    grabClock.Print();
    const std::string text = log->GetDescriptor();
    if (text.find("\nDone\n") == std::string::npos) return Fail("the grab did not end with Done:\n" + text);
    std::printf("Done\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    bool grabber = false;
    bool shown = false;
    std::string url;
    std::string folder;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--grabber") grabber = true;
        else if (argument == "--shown") shown = true;
        else if (argument.starts_with("--")) return Usage();
        else if (url.empty()) url = argument;
        else if (folder.empty()) folder = argument;
        else return Usage();
    }
    if (url.empty() || folder.empty()) return Usage();
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved) == nullptr) return Fail("no folder " + folder);

    if (!shown) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int exitCode = 1;
    {
        CTidewellApp application(argc, argv);
        application.RunStartUpOnce();  // the settings, as the event loop's first turn makes them
        gAppSettings->mDownloadFolderPath = resolved;
        exitCode = grabber ? GrabInGrabber(application, url) : GrabInQuickerGrabber(application, url);
        application.QuitWithoutAsking();
    }
    return exitCode;
}
