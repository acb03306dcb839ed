// The program as a user drives it: a second tidewell hands a URL to this
// one (the real program, in process, with its real windows), the quicker
// grabber it opens mirrors an nginx site when Return is pressed, and what
// the program keeps (recent items, window state, log) is in the
// preferences and on disk; quitting during a grab asks, then stops it.
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include <QApplication>
#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include "app/framework/dialog.h"
#include "app/framework/scheduler_driver.h"
#include "app/framework/window_hooks.h"
#include "app/main/app_layouts.h"
#include "app/main/outside_requests.h"
#include "app/main/single_instance.h"
#include "app/main/tidewell_app.h"
#include "app/progress/progress_icons.h"
#include "app/progress/progress_picture.h"
#include "app/windows/quicker_grabber/quicker_grabber.h"
#include "app/windows/quicker_grabber/quicker_grabber_layout.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_store.h"
#include "foundation/threads/thread.h"
#include "tests/app_main/launcher_listener.h"
#include "tests/mail/parsed_mail.h"
#include "tests/support/http_peer.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/peer_process.h"
#include "tests/support/session_bus_peer.h"
#include "tests/support/smtp_peer.h"
#include "tests/support/temp_dir.h"
#include "tests/windows/run_events.h"

namespace {

using namespace quickergrabber;
using namespace std::chrono_literals;
using windowtest::RunEventsUntil;

std::string Page(const std::string& body) { return "<html><head><title>T</title></head><body>" + body + "</body></html>"; }

CQuickerGrabber* WindowWithURL(const std::string& url)
{
    for (CQuickerGrabber* window : CWindow::WindowsOfClass<CQuickerGrabber>())
        if (window->FindPaneByID(kURL)->GetDescriptor() == url) return window;
    return nullptr;
}

void PressReturn(CQuickerGrabber& window)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(window.FindPaneByID(kURL)->GetWidget(), &press);
}

bool IsDone(const CQuickerGrabber& window) { return window.GetState() == kWindowDone && !window.IsCrawling(); }

TEST(GrabEndToEnd, AURLFromASecondInstanceIsGrabbedKeptAndAQuitStopsARunningGrab)
{
    testsupport::TempDir folders;
    const std::string site = folders.MakeFolder("site");
    folders.Write("site/index.html", Page("<a href=\"a.html\">a</a> <a href=\"sub/b.html\">b</a> <img src=\"p.gif\">"));
    folders.Write("site/a.html", Page("<a href=\"index.html\">home</a>"));
    folders.Write("site/sub/b.html", Page("<a href=\"../a.html\">a</a>"));
    folders.Write("site/p.gif", "GIF89a\x01\x00\x01\x00\x00\x00\x00;");
    testsupport::NginxPeer nginx(site);
    const std::string runtime = folders.MakeFolder("run");
    chmod(runtime.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    std::optional<std::string> socket = InstanceSocketPath();
    ASSERT_TRUE(socket && gApplication->ListenForOtherInstances(*socket));

    // Quick grabs use the built-in configuration, whatever the preferences name.
    EXPECT_TRUE(SetPreferenceString("Gone", "Default Configuration"));
    const std::string url = nginx.Url("/index.html");
    testsupport::PeerProcess second({TIDEWELL_PROGRAM, url});
    ASSERT_TRUE(RunEventsUntil([&] { return WindowWithURL(url) != nullptr; }));
    ASSERT_TRUE(second.WaitForExit(60s));
    const int status = second.Stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the second instance handed over and left";
    CQuickerGrabber* window = WindowWithURL(url);
    PressReturn(*window);
    ASSERT_TRUE(RunEventsUntil([&] { return IsDone(*window); }));

    // Windows open, nothing running: the loop sleeps (no scheduler passes).
    CSchedulerDriver::ResetStats();
    RunEventsUntil([] { return false; }, 500ms);
    EXPECT_LE(CSchedulerDriver::Stats().passes, 2u) << "the event loop polls while idle";

    EXPECT_EQ(window->FindPaneByID(kGrab)->GetDescriptor(), "Done");
    EXPECT_EQ(window->FindPaneByID(kMess)->GetDescriptor().rfind("Done.", 0), 0u);
    const std::string mirror = std::string(std::getenv("HOME")) + "/Downloads/127.0.0.1/" + std::to_string(nginx.Port());
    for (const char* file : {"/index.html", "/a.html", "/sub/b.html", "/p.gif"})
        EXPECT_TRUE(std::filesystem::is_regular_file(mirror + file)) << file;
    // "Generate Log" was never set: on, as the preferences window shows it.
    EXPECT_TRUE(std::filesystem::is_regular_file(window->LogFilePath())) << window->LogFilePath();
    std::optional<std::vector<std::string>> recent = GetPreferenceStrings(CAppSettings::kRecentItemsKey);
    ASSERT_TRUE(recent.has_value());
    EXPECT_EQ(recent->front(), url);
    delete window;
    std::optional<std::string> state = GetPreferenceString("Grab Quick Window");
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(std::count(state->begin(), state->end(), ' '), 6) << *state;

    // A grab waiting for a slow page: Cancel keeps it, Quit stops it.
    testsupport::HttpPeer slow({{.path = "/", .body = Page("<a href=\"slow.html\">slow</a>")},
                                {.path = "/slow.html", .body = Page("slow"), .stallSeconds = 120}});
    ASSERT_TRUE(gApplication->OpenQuickerGrabberWithURL(slow.Url("/")));
    window = WindowWithURL(slow.Url("/"));
    PressReturn(*window);
    ASSERT_TRUE(RunEventsUntil([&] {
        const auto requests = slow.Requests();
        return window->IsCrawling() && !requests.empty() && requests.back().path == "/slow.html";
    }));
    CScriptedAnswers::Clear();
    CScriptedAnswers::Push(kMsgCancel);
    EXPECT_FALSE(gApplication->Quit());
    EXPECT_TRUE(window->IsCrawling());
    CScriptedAnswers::Push(kMsgOK);
    EXPECT_TRUE(gApplication->Quit());
    ASSERT_EQ(CScriptedAnswers::Asked().size(), 2u);
    EXPECT_EQ(CScriptedAnswers::Asked()[1].layoutNumber, kConfirmQuitLayout);
    EXPECT_TRUE(CWindow::WindowsOfClass<CQuickerGrabber>().empty());
    EXPECT_TRUE(CThread::LiveThreads().IsEmpty()) << "a crawl outlived the quit";
    CScriptedAnswers::Clear();
}

// A transfer reports its bytes from its own OS thread; the window shows them
// at the loop's next turn, without waiting for some other event.
TEST(GrabEndToEnd, ProgressFromATransferThreadWakesTheLoop)
{
    const std::string url = "http://127.0.0.1:9/progress";
    ASSERT_EQ(gApplication->HandleOutsideRequests(ClassifyArguments({url})), 1);
    CQuickerGrabber* window = WindowWithURL(url);
    ASSERT_NE(window, nullptr);
    RunEventsUntil([] { return false; }, 200ms);  // the window's own events are over
    std::thread([window] { window->PostProgress(5000, 10000, 2500); }).join();
    for (int turn = 0; turn < 3; ++turn) QApplication::processEvents();  // never waits
    EXPECT_EQ(window->FindPaneByID(kByte)->GetDescriptor(), "(50%, 5 KB, 2 KB/sec)");
    delete window;
}

// The window icon, as the windows wear it.
QImage WindowIconImage(int side)
{
    return QGuiApplication::windowIcon().pixmap(QSize(side, side)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The launcher and the window icon follow a grab through the real window:
// progress while it runs, spaced out, and nothing shown with the plain icon
// again however it ends. The program talks to a private session bus.
TEST(GrabEndToEnd, TheLauncherAndTheWindowIconShowAGrabAndClearWhenItEnds)
{
    testsupport::SessionBusPeer bus;
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().c_str(), 1);
    LauncherListener listener(bus.Address());
    ASSERT_TRUE(listener.IsListening());

    testsupport::TempDir folders;
    const std::string site = folders.MakeFolder("site");
    constexpr int kPages = 150;
    std::string links;
    for (int i = 0; i < kPages; ++i) {
        const std::string name = "p" + std::to_string(i) + ".html";
        links += "<a href=\"" + name + "\">p</a> ";
        folders.Write("site/" + name, Page("p"));
    }
    folders.Write("site/index.html", Page(links));
    testsupport::NginxPeer nginx(site);
    testsupport::HttpPeer slow({{.path = "/", .body = Page("<a href=\"slow.html\">slow</a>")},
                                {.path = "/slow.html", .body = Page("slow"), .stallSeconds = 120}});
    const QImage plainIcon = ApplicationIconImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(plainIcon.isNull());

    struct SCase {
        const char* name;
        std::string url;
        bool stop;           // the user stops it while a page stalls
        int mostUpdates;     // far fewer than the crawl's progress steps
    } cases[] = {
        {"runs to its end", nginx.Url("/index.html"), false, kPages},
        {"stopped by the user", slow.Url("/"), true, 20},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        listener.updates.clear();
        // As a URL handed to the program: after its start-up.
        ASSERT_EQ(gApplication->HandleOutsideRequests(ClassifyArguments({c.url})), 1);
        CQuickerGrabber* window = WindowWithURL(c.url);
        ASSERT_NE(window, nullptr);
        PressReturn(*window);
        if (c.stop) {
            ASSERT_TRUE(RunEventsUntil([&] {
                const auto requests = slow.Requests();
                return !listener.updates.empty() && !requests.empty() && requests.back().path == "/slow.html";
            }));
            EXPECT_NE(WindowIconImage(plainIcon.width()), plainIcon) << "the icon shows the progress";
            WindowIconImage(kDockTileSide).save("/tmp/tidewell-launcher-tile.png");
            window->StopGrab(false);
        }
        ASSERT_TRUE(RunEventsUntil([&] {
            return IsDone(*window) && !listener.updates.empty() && !listener.updates.back().visible;
        }));

        const std::vector<LauncherUpdate>& updates = listener.updates;
        ASSERT_GE(updates.size(), 2u) << "progress while it ran, then none";
        EXPECT_LE(static_cast<int>(updates.size()), c.mostUpdates);
        for (std::size_t i = 0; i + 1 < updates.size(); ++i) {
            EXPECT_TRUE(updates[i].visible) << i;
            EXPECT_TRUE(updates[i].progress >= 0 && updates[i].progress <= 1) << updates[i].progress;
        }
        for (const LauncherUpdate& update : updates) EXPECT_EQ(update.appURI, "application://tidewell.desktop");
        EXPECT_EQ(WindowIconImage(plainIcon.width()), plainIcon) << "the plain icon again";
        delete window;
    }
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

// A running grab's progress mail carries the picture of its progress.
TEST(GrabEndToEnd, TheProgressMailOfAGrabCarriesItsPicture)
{
    testsupport::SmtpPeer smtp;
    ASSERT_TRUE(SetPreferenceString("127.0.0.1", "Mail Server"));
    ASSERT_TRUE(SetPreferenceString(std::to_string(smtp.Port()).c_str(), "Mail Server Port"));
    ASSERT_TRUE(SetPreferenceString("carol@example.org", "Mail Recipient"));
    testsupport::HttpPeer slow({{.path = "/", .body = Page("<a href=\"slow.html\">slow</a>")},
                                {.path = "/slow.html", .body = Page("slow"), .stallSeconds = 120}});
    ASSERT_EQ(gApplication->HandleOutsideRequests(ClassifyArguments({slow.Url("/")})), 1);
    CQuickerGrabber* window = WindowWithURL(slow.Url("/"));
    ASSERT_NE(window, nullptr);
    PressReturn(*window);
    // The first progress mail goes ten seconds into the grab.
    ASSERT_TRUE(RunEventsUntil([&] { return !smtp.Messages().empty(); }));
    window->StopGrab(false);
    ASSERT_TRUE(RunEventsUntil([&] { return IsDone(*window); }));
    delete window;
    EXPECT_TRUE(RemovePreference("Mail Recipient"));

    const ParsedMail mail = ParseMail(smtp.Messages().front().content);
    EXPECT_EQ(mail.headers.at("subject").rfind("Tidewell: Level ", 0), 0u) << mail.headers.at("subject");
    const ParsedEntity* picture = nullptr;
    for (const ParsedEntity& entity : mail.entities)
        if (entity.contentType == "image/jpeg") picture = &entity;
    ASSERT_NE(picture, nullptr) << "no picture in the progress mail";
    EXPECT_EQ(picture->filename, "Progress.jpg");
    EXPECT_EQ(picture->transferEncoding, "base64");
    QImage image;
    ASSERT_TRUE(image.loadFromData(QByteArray(picture->body.data(), static_cast<qsizetype>(picture->body.size())),
                                   "JPEG"));
    EXPECT_EQ(image.size(), QSize(kProgressImageSide, kProgressImageSide));
    image.save("/tmp/tidewell-progress-mail.png");
}

}  // namespace
