#include <atomic>
#include <filesystem>
#include <optional>
#include <set>
#include <thread>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QBuffer>
#include <QAbstractItemView>
#include <QComboBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QImage>
#include <gtest/gtest.h>

#include "app/framework/class_registrar.h"
#include "app/framework/cleanup.h"
#include "app/framework/dialog.h"
#include "app/framework/recent_items.h"
#include "app/framework/window_hooks.h"
#include "app/windows/quicker_grabber/progress_text.h"
#include "app/windows/quicker_grabber/quicker_grabber.h"
#include "app/windows/quicker_grabber/quicker_grabber_layout.h"
#include "app/windows/quicker_grabber/register_quicker_grabber.h"
#include "app/windows/widgets/quicktime_view.h"
#include "app/windows/widgets/widget_panes.h"
#include "engine/config/configuration_files.h"
#include "engine/crawl/start_redirection.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_store.h"
#include "tests/support/nginx_peer.h"
#include "tests/crawl/crawl_test_support.h"
#include "tests/support/http_peer.h"
#include "tests/crawl/failure_cases.h"
#include "tests/windows/paint_counter.h"
#include "tests/windows/run_events.h"
#include "tests/windows/window_frame.h"

namespace {

using namespace quickergrabber;
using namespace std::chrono_literals;
using testsupport::HttpPeer;
using testsupport::HttpRoute;

std::string Page(const std::string& body) { return "<html><head><title>T</title></head><body>" + body + "</body></html>"; }

std::string PNG(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

TEST(ProgressTextTest, FormatsBytesShareAndRate)
{
    const struct {
        std::int64_t bytes, size, rate;
        const char* text;
    } cases[] = {
        {999, 0, 0, "(999 bytes)"},
        {1000, 4000, 1000, "(25%, 1 KB, 1 KB/sec)"},
        {5000, 10000, 2500, "(50%, 5 KB, 2 KB/sec)"},
        {10, 0, 999, "(10 bytes, 999 bytes/sec)"},
        {-1, 100, 5, "Ooops, an error occurred."},
        {1, 3, 0, "(33%, 1 bytes)"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgressText(c.bytes, c.size, c.rate), c.text);
}

TEST(ProgressTextTest, AFastTransferLeavesOnlyItsNewestText)
{
    CLatestText mailbox;
    int wakes = 0;
    std::thread transfer([&mailbox, &wakes] {
        for (int i = 1; i <= 100000; ++i) wakes += mailbox.Post(ProgressText(i, 100000, 0)) ? 1 : 0;
    });
    transfer.join();
    // The first text wakes the window; the rest wake it a few times a
    // second, not once per report.
    EXPECT_GE(wakes, 1);
    EXPECT_LT(wakes, 100000 / 100);
    EXPECT_EQ(mailbox.Take(), "(100%, 100 KB)");
    EXPECT_EQ(mailbox.Take(), std::nullopt);
}

// Each test runs in the crawl tests' private environment (home, XDG
// folders, settings) with the framework's classes, the scheduler driven by
// the Qt event loop, and the desktop opener recorded instead of run.
class QuickerGrabber : public crawltest::CrawlEnvironment {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens one through the framework's opener, shown.
    CQuickerGrabber* Open(const std::string& url, bool media = false, bool onePage = false);
    // Runs the event loop (which runs the threads) until `done`; false
    // when it did not happen within `limit` (a guard against hanging).
    static bool RunEvents(const std::function<bool()>& done,
                          std::chrono::milliseconds limit = std::chrono::seconds(60));
    static void Click(CQuickerGrabber& window, PaneIDT pane);
    static void PressKey(CQuickerGrabber& window, PaneIDT pane, int key, const char* text);
    // Chooses item `item` (from 1) of a popup as a user does.
    static void Choose(CQuickerGrabber& window, PaneIDT pane, int item);
    static std::vector<std::string> MenuItems(CQuickerGrabber& window, PaneIDT pane);
    static std::string Text(CQuickerGrabber& window, PaneIDT pane) { return window.FindPaneByID(pane)->GetDescriptor(); }
    static bool IsShown(CQuickerGrabber& window, PaneIDT pane) { return window.FindPaneByID(pane)->IsVisible(); }
    static bool IsEnabled(CQuickerGrabber& window, PaneIDT pane) { return window.FindPaneByID(pane)->IsEnabled(); }
    // Draws the window; saved as "<name>.png" in $TIDEWELL_SCREENSHOT_DIR when
    // that is set, for a person to look at.
    static QImage Screenshot(CQuickerGrabber& window, const char* name);
    // The same for a popup's open menu.
    static void ScreenshotMenu(CQuickerGrabber& window, PaneIDT pane, const char* name);
    // The user's download folder, which the built-in configuration mirrors into.
    std::string Downloads() const { return Root() + "/home/Downloads"; }

    std::vector<std::vector<std::string>> mSpawned;
};
void QuickerGrabber::SetUp()
{
    CrawlEnvironment::SetUp();
    static const bool registered = [] {
        RegisterStandardClasses();
        RegisterQuickerGrabber();
        return true;
    }();
    (void)registered;
    windowtest::InstallWindowFrame(mSpawned);
}

void QuickerGrabber::TearDown()
{
    for (CQuickerGrabber* window : CWindow::WindowsOfClass<CQuickerGrabber>()) delete window;
    windowtest::RemoveWindowFrame();
    CrawlEnvironment::TearDown();
}

CQuickerGrabber* QuickerGrabber::Open(const std::string& url, bool media, bool onePage)
{
    SQuickGrabRequest request;
    request.url = url;
    request.mediaLayout = media;
    request.onePage = onePage;
    return dynamic_cast<CQuickerGrabber*>(OpenQuickerGrabber(request, nullptr));
}

bool QuickerGrabber::RunEvents(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    return windowtest::RunEventsUntil(done, limit);
}

void QuickerGrabber::Click(CQuickerGrabber& window, PaneIDT pane)
{
    auto* button = qobject_cast<QAbstractButton*>(window.FindPaneByID(pane)->GetWidget());
    ASSERT_NE(button, nullptr);
    button->click();
}

void QuickerGrabber::PressKey(CQuickerGrabber& window, PaneIDT pane, int key, const char* text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString::fromLatin1(text));
    QApplication::sendEvent(window.FindPaneByID(pane)->GetWidget(), &press);
}


void QuickerGrabber::Choose(CQuickerGrabber& window, PaneIDT pane, int item)
{
    auto* popup = qobject_cast<QComboBox*>(window.FindPaneByID(pane)->GetWidget());
    ASSERT_NE(popup, nullptr);
    popup->setCurrentIndex(item - 1);
    emit popup->activated(item - 1);
}

std::vector<std::string> QuickerGrabber::MenuItems(CQuickerGrabber& window, PaneIDT pane)
{
    CPane* popup = window.FindPaneByID(pane);
    std::vector<std::string> items;
    for (int item = 1; item <= popup->CountMenuItems(); ++item) items.push_back(popup->GetMenuItemText(item));
    return items;
}

QImage QuickerGrabber::Screenshot(CQuickerGrabber& window, const char* name)
{
    QApplication::processEvents();
    const QImage picture = window.GetWidget()->grab().toImage();
    if (const char* folder = std::getenv("TIDEWELL_SCREENSHOT_DIR"))
        picture.save(QString::fromUtf8(folder) + "/" + name + ".png");
    return picture;
}

void QuickerGrabber::ScreenshotMenu(CQuickerGrabber& window, PaneIDT pane, const char* name)
{
    auto* popup = qobject_cast<QComboBox*>(window.FindPaneByID(pane)->GetWidget());
    const char* folder = std::getenv("TIDEWELL_SCREENSHOT_DIR");
    if (popup == nullptr || folder == nullptr) return;
    popup->showPopup();
    QApplication::processEvents();
    popup->view()->window()->grab().save(QString::fromUtf8(folder) + "/" + name + ".png");
    popup->hidePopup();
}

bool Requested(const HttpPeer& peer, const std::string& target)
{
    const auto requests = peer.Requests();
    return std::any_of(requests.begin(), requests.end(), [&](const auto& r) { return r.target == target; });
}

TEST_F(QuickerGrabber, ReturnInTheURLFieldMirrorsTheSiteAndEndsDone)
{
    const std::string site = mRoot.MakeFolder("site");
    mRoot.Write("site/index.html", Page("<a href=\"a.html\">a</a> <a href=\"sub/b.html\">b</a> <img src=\"p.png\">"));
    mRoot.Write("site/a.html", Page("<a href=\"index.html\">home</a>"));
    mRoot.Write("site/sub/b.html", Page("<a href=\"../a.html\">a</a>"));
    mRoot.Write("site/p.png", PNG(4, 4));
    testsupport::NginxPeer nginx(site);
    SetPreference("Generate Log", "true");
    SetPreference("GenerateSitemap", "true");

    CQuickerGrabber* window = Open(nginx.Url("/index.html"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Text(*window, kGrab), "Grab");
    PressKey(*window, kURL, Qt::Key_Return, "\r");
    EXPECT_EQ(Text(*window, kGrab), "Stop");
    EXPECT_FALSE(IsEnabled(*window, kURL));
    ASSERT_TRUE(RunEvents([&] { return window->GetState() == kWindowDone && !window->IsCrawling(); }));

    EXPECT_EQ(Text(*window, kMess).rfind("Done. Elapsed time = ", 0), 0u) << Text(*window, kMess);
    EXPECT_EQ(Text(*window, kGrab), "Done");
    EXPECT_TRUE(IsEnabled(*window, kGrab));
    EXPECT_FALSE(IsShown(*window, kPause));
    EXPECT_FALSE(IsShown(*window, kSpin));
    EXPECT_FALSE(IsEnabled(*window, kURL)) << "a new grab is made in a new window";
    window->FlushProgress();
    EXPECT_EQ(Text(*window, kByte).front(), '(') << Text(*window, kByte);
    Screenshot(*window, "quicker-grabber-done");
    const std::string host = "127.0.0.1/" + std::to_string(nginx.Port()) + "/";
    const auto tree = crawltest::ReadTree(Downloads());
    for (const char* file : {"index.html", "a.html", "sub/b.html", "p.png"})
        EXPECT_TRUE(tree.contains(host + file)) << file;
    const crawltest::MirrorLinks links = crawltest::CheckMirrorLinks(Downloads());
    EXPECT_TRUE(links.broken.empty()) << links.broken.front();
    EXPECT_GE(links.local, 4);

    // The log is closed, after the window's own last line.
    EXPECT_FALSE(window->IsLogOpen());
    const std::string log = crawltest::FileText(window->LogFilePath());
    const std::size_t done = log.rfind("Done. Elapsed time = ");
    const std::size_t stop = log.rfind("Tidewell stopping logging at ");
    ASSERT_NE(done, std::string::npos) << log;
    EXPECT_LT(done, stop);

    // The crawl object is gone; 'SMAP' opens the site map it wrote.
    mSpawned.clear();
    Click(*window, kSiteMap);
    ASSERT_EQ(mSpawned.size(), 1u);
    EXPECT_EQ(mSpawned[0].back(), window->SiteMapPath());
    EXPECT_NE(crawltest::FileText(window->SiteMapPath()).find("a.html"), std::string::npos);

    Click(*window, kGrab);  // now 'DONE': the window goes
    EXPECT_FALSE(window->IsVisible());
    EXPECT_TRUE(window->IsScheduledForCleanup());
    DeleteScheduledObjects();
    EXPECT_TRUE(CWindow::WindowsOfClass<CQuickerGrabber>().empty());
}

// However fast the crawl reports, the window changes at a reader's pace (a
// repaint of the message at most every quarter second or so, plus the
// user's own actions), and once the grab ends it shows its last state
// exactly: the message the log ends with, the done button, nothing of the
// level left.
TEST_F(QuickerGrabber, AfterAGrabTheWindowShowsItsLastStateExactly)
{
    const std::string site = mRoot.MakeFolder("site");
    constexpr int kPages = 120;
    std::string links;
    for (int i = 0; i < kPages; ++i) {
        links += "<a href=\"p" + std::to_string(i) + ".html\">p</a> ";
        mRoot.Write("site/p" + std::to_string(i) + ".html", Page("<a href=\"index.html\">home</a>"));
    }
    mRoot.Write("site/index.html", Page(links));
    testsupport::NginxPeer nginx(site);
    HttpPeer slow({{.path = "/", .body = Page("<a href=\"slow.html\">slow</a>")},
                   {.path = "/slow.html", .body = Page("slow"), .stallSeconds = 60}});
    SetPreference("Generate Log", "true");

    const struct {
        const char* name;
        std::string url;
        bool onePage;
        bool stop;       // stopped by the user while a page stalls
        bool transfers;  // beyond the start page, which the start check fetched
        const char* message;
    } cases[] = {
        {"the whole site", nginx.Url("/index.html"), false, false, true, "Done. Elapsed time = "},
        {"one page", nginx.Url("/p1.html"), true, false, false, "Done. Elapsed time = "},
        {"stopped by the user", slow.Url("/"), false, true, true, "Aborted. Elapsed time = "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CQuickerGrabber* window = Open(c.url, false, c.onePage);
        windowtest::CPaintCounter message(window->FindPaneByID(kMess)->GetWidget());
        const auto start = std::chrono::steady_clock::now();
        PressKey(*window, kURL, Qt::Key_Return, "\r");
        if (c.stop) {
            ASSERT_TRUE(RunEvents([&] { return Requested(slow, "/slow.html"); }));
            // While the page stalls, the log file is at most a second behind.
            ASSERT_TRUE(RunEvents([&] {
                return crawltest::FileText(window->LogFilePath()).find(slow.Url("/slow.html")) != std::string::npos;
            }));
            Click(*window, kGrab);
        }
        ASSERT_TRUE(RunEvents([&] { return window->GetState() == kWindowDone && !window->IsCrawling(); }));
        const auto quarters = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start) / 250ms;

        EXPECT_EQ(Text(*window, kMess).rfind(c.message, 0), 0u) << Text(*window, kMess);
        EXPECT_EQ(Text(*window, kGrab), "Done");
        EXPECT_TRUE(IsEnabled(*window, kGrab));
        for (PaneIDT gone : {kPause, kProgress, kLevel, kCrnt, kSpin})
            EXPECT_FALSE(IsShown(*window, gone)) << FourCharCodeText(gone);
        // The last transfer's bytes.
        EXPECT_EQ(Text(*window, kByte).rfind("(", 0) == 0, c.transfers) << Text(*window, kByte);
        EXPECT_GT(message.paints, 0);
        EXPECT_LE(message.paints, 2 * quarters + 10) << "over " << quarters << " quarter seconds";

        // The message shown is the last line of the grab's log.
        const std::string log = crawltest::FileText(window->LogFilePath());
        const std::size_t stop = log.rfind("Tidewell stopping logging at ");
        ASSERT_NE(stop, std::string::npos);
        const std::size_t last = log.rfind('\n', stop - 2);
        EXPECT_EQ(log.substr(last + 1, stop - 1 - (last + 1)), Text(*window, kMess));
        delete window;
    }
}

// Stop pressed at each stage of a grab: it is honoured, and the window ends
// in its "done" state with its button turned into 'DONE'.
TEST_F(QuickerGrabber, StopIsHonouredAtEveryStage)
{
    enum class EStage { kCheckingURL, kRunning, kPaused };
    const struct {
        const char* name;
        EStage stage;
        const char* message;
    } cases[] = {
        {"while the URL is checked", EStage::kCheckingURL, "Aborted."},
        {"while running", EStage::kRunning, "Aborted. Elapsed time = "},
        {"while paused", EStage::kPaused, "Aborted. Elapsed time = "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpPeer peer({
            // A body, so the answer is not whole with its headers.
            {.path = "/slow/", .body = Page("slow"), .stallSeconds = 30},
            {.path = "/", .body = Page("<a href=\"/a.html\">a</a> <a href=\"/b.html\">b</a>")},
            {.path = "/a.html", .body = Page("a"), .stallSeconds = 30},
            {.path = "/b.html", .body = Page("b")},
        });
        CQuickerGrabber* window = Open(peer.Url(c.stage == EStage::kCheckingURL ? "/slow/" : "/"));
        Click(*window, kGrab);
        if (c.stage == EStage::kCheckingURL) {
            ASSERT_TRUE(RunEvents([&] { return Requested(peer, "/slow/"); }));
            EXPECT_TRUE(window->IsCheckingStartURL());
            EXPECT_TRUE(IsShown(*window, kSpin));
        } else {
            ASSERT_TRUE(RunEvents([&] { return Requested(peer, "/a.html"); }));
            if (c.stage == EStage::kPaused) {
                Click(*window, kPause);
                EXPECT_EQ(window->GetState(), kWindowPaused);
                EXPECT_EQ(Text(*window, kPause), "Resume");
            }
        }
        Click(*window, kGrab);  // 'STOP'
        ASSERT_TRUE(RunEvents([&] { return !window->IsCrawling() && !window->IsCheckingStartURL(); }));
        EXPECT_EQ(window->GetState(), kWindowDone);
        EXPECT_EQ(Text(*window, kMess).rfind(c.message, 0), 0u) << Text(*window, kMess);
        EXPECT_EQ(Text(*window, kGrab), "Done");
        EXPECT_TRUE(IsEnabled(*window, kGrab));
        EXPECT_FALSE(IsShown(*window, kSpin));
        EXPECT_FALSE(Requested(peer, "/b.html"));
        delete window;
    }
}

// 'Stay' counts at every URL, as the box shows it then: turned on or off
// while a page stalls, it decides whether the next URL outside the start
// URL's folder is grabbed.
TEST_F(QuickerGrabber, StayInFolderIsAskedAtEveryURL)
{
    const struct {
        const char* name;
        int before;  // the box when the grab starts
        int during;  // the box while the first page stalls
        bool outsideGrabbed;
    } cases[] = {
        {"on throughout", 1, 1, false},
        {"turned on during the grab", 0, 1, false},
        {"turned off during the grab", 1, 0, true},
        {"off throughout", 0, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpPeer peer({
            {.path = "/docs/", .body = Page("<a href=\"/docs/a.html\">a</a> <a href=\"/other/b.html\">b</a>")},
            {.path = "/docs/a.html", .body = Page("a"), .stallSeconds = 1},
            {.path = "/other/b.html", .body = Page("b")},
        });
        CQuickerGrabber* window = Open(peer.Url("/docs/"));
        window->FindPaneByID(kStay)->SetValue(c.before);
        Click(*window, kGrab);
        ASSERT_TRUE(RunEvents([&] { return Requested(peer, "/docs/a.html"); }));
        window->FindPaneByID(kStay)->SetValue(c.during);
        ASSERT_TRUE(RunEvents([&] { return window->GetState() == kWindowDone && !window->IsCrawling(); }));
        EXPECT_EQ(Requested(peer, "/other/b.html"), c.outsideGrabbed);
        delete window;
    }
}

TEST_F(QuickerGrabber, ClosingWhileGrabbingAsksFirstAndStopsTheCrawl)
{
    HttpPeer peer({
        {.path = "/", .body = Page("<a href=\"/a.html\">a</a>")},
        {.path = "/a.html", .body = Page("a"), .stallSeconds = 30},
    });
    CQuickerGrabber* window = Open(peer.Url("/"));
    Click(*window, kGrab);
    ASSERT_TRUE(RunEvents([&] { return Requested(peer, "/a.html"); }));
    CScriptedAnswers::Push(kMsgCancel);
    EXPECT_FALSE(window->AttemptClose());
    EXPECT_TRUE(window->IsCrawling());
    CScriptedAnswers::Push(kMsgOK);
    EXPECT_TRUE(window->AttemptClose());
    ASSERT_EQ(CScriptedAnswers::Asked().size(), 2u);
    EXPECT_EQ(CScriptedAnswers::Asked()[1].layoutNumber, kCloseDialog);
    DeleteScheduledObjects();  // waits for the crawl to let go of the window
    EXPECT_TRUE(CWindow::WindowsOfClass<CQuickerGrabber>().empty());
}

TEST_F(QuickerGrabber, APausedGrabMakesNoRequestUntilResumed)
{
    HttpPeer peer({
        {.path = "/", .body = Page("<a href=\"/a.html\">a</a> <a href=\"/b.html\">b</a>")},
        {.path = "/a.html", .body = Page("a"), .stallSeconds = 0.3},
        {.path = "/b.html", .body = Page("b")},
    });
    CQuickerGrabber* window = Open(peer.Url("/"));
    Click(*window, kGrab);
    ASSERT_TRUE(RunEvents([&] { return Requested(peer, "/a.html"); }));
    Click(*window, kPause);
    EXPECT_EQ(Text(*window, kMess), "Grabber paused.");
    Screenshot(*window, "quicker-grabber-paused");
    RunEvents([] { return false; }, 800ms);
    EXPECT_FALSE(Requested(peer, "/b.html"));
    EXPECT_EQ(window->GetState(), kWindowPaused);
    Click(*window, kPause);
    EXPECT_EQ(Text(*window, kPause), "Pause");
    ASSERT_TRUE(RunEvents([&] { return window->GetState() == kWindowDone && !window->IsCrawling(); }));
    EXPECT_TRUE(Requested(peer, "/b.html"));
    EXPECT_EQ(Text(*window, kMess).rfind("Done. Elapsed time = ", 0), 0u);
}

TEST_F(QuickerGrabber, StartsThatAreRefusedLeaveTheWindowUsable)
{
    const struct {
        const char* name;
        const char* url;
        const char* message;
        int dialog;
    } cases[] = {
        {"empty", "", "The starting URL is empty!", 0},
        {"no host", "http://", "", kBadURLDialog},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CScriptedAnswers::Clear();
        CScriptedAnswers::Push(kMsgOK);
        CQuickerGrabber* window = Open(c.url);
        Click(*window, kGrab);
        ASSERT_TRUE(RunEvents([&] { return !window->IsCheckingStartURL(); }));
        if (*c.message != '\0') {
            EXPECT_EQ(Text(*window, kMess), c.message);
        }
        const auto& asked = CScriptedAnswers::Asked();
        EXPECT_EQ(asked.empty() ? 0 : asked.front().layoutNumber, c.dialog);
        EXPECT_EQ(window->GetState(), kWindowNeverStarted);
        EXPECT_EQ(Text(*window, kGrab), "Grab");
        EXPECT_TRUE(IsEnabled(*window, kURL));
        EXPECT_FALSE(IsShown(*window, kSpin));
        delete window;
    }
}

// A grab that fails says what failed, in the window and in its log, and
// never ends "Done."; a URL that cannot be grabbed is refused before
// anything is made for it; a mirror that cannot be written ends the grab at
// its first save, before the rest of the site is fetched.
TEST_F(QuickerGrabber, AFailedGrabSaysWhatFailed)
{
    using crawltest::EFailureFolder;
    HttpPeer peer({
        {.path = "/", .body = Page(crawltest::kFailureSiteLinks)},
        {.path = "/a.html", .body = Page("a")},
        {.path = "/b.html", .body = Page("b")},
    });
    SetPreference("Generate Log", "true");
    for (const crawltest::SFailureCase& c : crawltest::FailureCases()) {
        SCOPED_TRACE(c.name);
        std::optional<testsupport::UnwritableFolder> unwritable;
        if (!c.PrepareFolder(Downloads(), unwritable)) GTEST_SKIP() << "no unwritable folder here";
        const std::size_t requestsBefore = peer.Requests().size();
        const std::string url = c.StartURL([&](const char* path) { return peer.Url(path); });
        const std::string told = c.Told(url, Downloads());

        CScriptedAnswers::Clear();
        CScriptedAnswers::Push(kMsgOK);
        CQuickerGrabber* window = Open(url);
        Click(*window, kGrab);
        ASSERT_TRUE(RunEvents([&] { return !window->IsCheckingStartURL() && !window->IsCrawling(); }));
        EXPECT_EQ(Text(*window, kMess).rfind(told, 0), 0u) << Text(*window, kMess);
        EXPECT_EQ(window->GetState(), c.crawled ? kWindowDone : kWindowNeverStarted);
        EXPECT_FALSE(IsShown(*window, kSpin));
        if (c.place == crawltest::EFailurePlace::kClosedPort) Screenshot(*window, "quicker-grabber-failed");
        if (c.folder == EFailureFolder::kUnwritable) Screenshot(*window, "quicker-grabber-cannot-save");

        // Nothing but the grab's log is left, and the log says what the window said.
        std::set<std::string> left = crawltest::ListTree(Downloads());
        const std::string logName = CURL(url).mHost + ".log";
        if (c.crawled && c.folder == EFailureFolder::kUsable) {
            EXPECT_EQ(left.erase(logName), 1u);
            const std::string log = crawltest::FileText(Downloads() + "/" + logName);
            EXPECT_NE(log.find(told), std::string::npos) << log;
            EXPECT_EQ(log.find("Done."), std::string::npos) << log;
        }
        EXPECT_TRUE(left.empty()) << *left.begin();
        // A grab that cannot save asks for the start page and for nothing after it.
        if (c.folder == EFailureFolder::kUnwritable) {
            EXPECT_TRUE(Requested(peer, "/"));
            EXPECT_FALSE(Requested(peer, "/a.html"));
        }
        if (!c.crawled) {
            EXPECT_EQ(peer.Requests().size(), requestsBefore);
        }
        delete window;
    }
}

TEST_F(QuickerGrabber, TheStartURLFollowsRedirections)
{
    std::string far(70 * 1024, ' ');
    HttpPeer peer({
        {.path = "/moved", .status = 301, .redirect = "page/"},
        {.path = "/page/", .body = Page("<META HTTP-EQUIV=REFRESH CONTENT=\"0; URL=../final.html\">")},
        {.path = "/final.html", .body = Page("<meta http-equiv=\"refresh\" content=\"0; url=final.html\">")},
        {.path = "/far.html", .body = far + "<META HTTP-EQUIV=REFRESH CONTENT=\"0; URL=/final.html\">"},
    });
    CConfiguration configuration = MakeConfiguration();
    const struct {
        const char* from;
        bool changed;
        const char* to;
    } steps[] = {
        {"/moved", true, "/page/"},             // a relative Location, resolved
        {"/page/", true, "/final.html"},        // a relative refresh, resolved against the page
        {"/final.html", false, "/final.html"},  // a refresh to itself ends the steps
        {"/far.html", false, "/far.html"},      // a refresh beyond the page's first 64 KB is not looked for
    };
    for (const auto& step : steps) {
        std::string url = peer.Url(step.from);
        EXPECT_EQ(FollowRedirection(configuration, url), step.changed) << step.from;
        EXPECT_EQ(url, peer.Url(step.to)) << step.from;
    }

    // Typed without a scheme: "http://" goes in front.
    CQuickerGrabber* window = Open("127.0.0.1:" + std::to_string(peer.Port()) + "/moved");
    Click(*window, kGrab);
    ASSERT_TRUE(RunEvents([&] { return window->GetState() == kWindowDone && !window->IsCrawling(); }));
    EXPECT_EQ(Text(*window, kURL), peer.Url("/final.html"));
    EXPECT_TRUE(crawltest::ReadTree(Downloads()).contains("127.0.0.1/" + std::to_string(peer.Port()) + "/final.html"));
    delete window;

    // A chain longer than eleven steps is used as the eleventh step left it.
    std::vector<HttpRoute> chain;
    for (int i = 1; i <= 13; ++i)
        chain.push_back({.path = "/r" + std::to_string(i), .status = 302, .redirect = "/r" + std::to_string(i + 1)});
    chain.push_back({.path = "/r14", .body = Page("end")});
    HttpPeer chained(chain);
    window = Open(chained.Url("/r1"));
    Click(*window, kGrab);
    ASSERT_TRUE(RunEvents([&] { return !window->IsCheckingStartURL(); }));
    EXPECT_EQ(Text(*window, kURL), chained.Url("/r12"));
}

TEST_F(QuickerGrabber, DownloadOnePageGrabsThePageAndShowsItsFile)
{
    HttpPeer peer({
        {.path = "/page.html", .body = Page("<a href=\"other.html\">other</a> <img src=\"p.png\">")},
        {.path = "/other.html", .body = Page("other")},
        {.path = "/p.png", .headers = {{"Content-Type", "image/png"}}, .body = PNG(2, 2)},
    });
    CQuickerGrabber* window = Open(peer.Url("/page.html"), false, true);
    EXPECT_EQ(window->GetTitle(), "Download One Page");
    Click(*window, kGrab);
    ASSERT_TRUE(RunEvents([&] { return window->GetState() == kWindowDone && !window->IsCrawling(); }));
    EXPECT_FALSE(Requested(peer, "/other.html"));
    EXPECT_EQ(peer.RequestCount("/page.html"), 1) << "the start check's read serves the crawl";
    EXPECT_FALSE(IsShown(*window, kLevel));
    const std::string page = Downloads() + "/127.0.0.1/" + std::to_string(peer.Port()) + "/page.html";
    mSpawned.clear();
    Click(*window, kBrowse);
    Click(*window, kDown);
    ASSERT_EQ(mSpawned.size(), 2u);
    EXPECT_EQ(mSpawned[0].back(), page);
    EXPECT_EQ(mSpawned[1].back(), std::filesystem::path(page).parent_path().string());
}

// A quick grab offers no choice of configuration: it grabs with the built-in
// one whichever configuration the preferences name, and "Show Folder" opens
// the folder that grab mirrors into, before the grab and after it.
TEST_F(QuickerGrabber, QuickGrabsUseTheBuiltInConfigurationAndShowItsFolder)
{
    CConfiguration preferred = MakeConfiguration();
    preferred.mGeneralOptions.localPath = mRoot.MakeFolder("preferred").c_str();
    preferred.mSiteLogin.siteUsername = "user";
    preferred.mSiteLogin.sitePassword = "secret";
    ASSERT_EQ(CreateConfigurationFile("Preferred", preferred).Code(), 0);
    const struct {
        const char* name;
        const char* preference;  // "Default Configuration"; null: none
        bool media;
    } cases[] = {
        {"no preferred configuration", nullptr, false},
        {"a preferred configuration", "Preferred", false},
        {"a preferred configuration, media grabber", "Preferred", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.preference != nullptr) SetPreference("Default Configuration", c.preference);
        else EXPECT_TRUE(RemovePreference("Default Configuration"));
        HttpPeer peer({
            {.path = "/", .body = Page("<img src=\"/p.png\">")},
            {.path = "/p.png", .headers = {{"Content-Type", "image/png"}}, .body = PNG(4, 4)},
        });
        CQuickerGrabber* window = Open(peer.Url("/"), c.media);
        mSpawned.clear();
        Click(*window, kDown);
        Click(*window, kGrab);
        ASSERT_TRUE(RunEvents([&] { return window->GetState() == kWindowDone && !window->IsCrawling(); }));
        Click(*window, kDown);
        ASSERT_EQ(mSpawned.size(), 2u);
        for (const auto& opened : mSpawned) EXPECT_TRUE(std::filesystem::equivalent(opened.back(), Downloads()));
        const std::string site = "127.0.0.1/" + std::to_string(peer.Port()) + "/";
        EXPECT_TRUE(crawltest::ReadTree(Downloads()).contains(site + "p.png"));
        EXPECT_TRUE(crawltest::ReadTree(Root() + "/preferred").empty());
        for (const auto& request : peer.Requests())
            EXPECT_FALSE(request.Header("Authorization").has_value()) << request.target;
        delete window;
    }
}

TEST_F(QuickerGrabber, TheSlideShowShowsEachGrabbedImage)
{
    HttpPeer peer({
        {.path = "/", .body = Page("<img src=\"/wide.png\"> <img src=\"/broken.png\">")},
        {.path = "/wide.png", .headers = {{"Content-Type", "image/png"}}, .body = PNG(64, 32)},
        // Held back, so the first image is on show for a while before
        // this one replaces it, however busy the machine.
        {.path = "/broken.png",
         .headers = {{"Content-Type", "image/png"}},
         .body = "not a picture",
         .stallSeconds = 3},
    });
    CQuickerGrabber* window = Open(peer.Url("/"), true);
    ASSERT_TRUE(window->IsMediaGrabber());
    auto* view = window->FindPaneAs<CQuickTimeViewPane>(kImage)->View();
    ASSERT_NE(view->Image(), nullptr);
    EXPECT_EQ(view->Image()->NaturalSize(), QSize(240, 300)) << "the framed picture before any image";
    EXPECT_TRUE(window->IsFlattenWhenSaving());
    window->FindPaneByID(kMedia)->SetValue(2);  // movies: no slide show
    EXPECT_FALSE(IsShown(*window, kImage));
    EXPECT_FALSE(IsShown(*window, kSlide));
    window->FindPaneByID(kMedia)->SetValue(1);
    EXPECT_TRUE(IsShown(*window, kImage));
    EXPECT_EQ(window->GetMediaType(), 1);

    std::vector<QSize> shown;
    Click(*window, kGrab);
    ASSERT_TRUE(RunEvents([&] {
        const CImageImporter* image = view->Image();
        if (image != nullptr && (shown.empty() || shown.back() != image->NaturalSize()))
            shown.push_back(image->NaturalSize());
        return window->GetState() == kWindowDone && !window->IsCrawling();
    }));
    EXPECT_TRUE(std::find(shown.begin(), shown.end(), QSize(64, 32)) != shown.end());
    Screenshot(*window, "media-grabber-done");
    // The last image did not decode: only the empty well is drawn.
    ASSERT_NE(view->Image(), nullptr);
    EXPECT_FALSE(view->Image()->IsOK());
    EXPECT_TRUE(Requested(peer, "/broken.png"));
}

// Two windows show the one list of recent URLs: whatever changes it in one
// window, the other's popup shows the change, and an item chosen there puts
// that item's own text into its URL field.
TEST_F(QuickerGrabber, EveryWindowsRecentItemsFollowTheList)
{
    HttpPeer peer({{.path = "/", .body = Page("home")}});
    const std::string grabbed = peer.Url("/");
    const std::string typed = "http://typed.example/";
    enum class EAction { kGrab, kClearMenu };
    const struct {
        const char* name;
        EAction action;  // in the newer window
        int chosen;      // then this item in the older one
        std::vector<std::string> items;
        std::string field;  // the older window's URL field afterwards
    } cases[] = {
        {"a grab elsewhere, then an older entry", EAction::kGrab, 4,
         {"Clear Menu", "-", grabbed, "http://one/", "http://two/"}, "http://one/"},
        {"a grab elsewhere, then its entry", EAction::kGrab, 3,
         {"Clear Menu", "-", grabbed, "http://one/", "http://two/"}, grabbed},
        {"Clear Menu elsewhere, then the emptied popup", EAction::kClearMenu, 1, {"(No Recent Items"}, typed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(RemovePreference(CAppSettings::kRecentItemsKey));
        gAppSettings->mRecentItems =
            std::make_shared<CRecentItems>(CAppSettings::kRecentItemsKey, CAppSettings::kRecentItemsCapacity);
        for (const char* url : {"http://two/", "http://one/"}) gAppSettings->mRecentItems->AddItem(url);
        CQuickerGrabber* older = Open(typed);
        CQuickerGrabber* newer = Open(grabbed);
        if (c.action == EAction::kGrab) {
            Click(*newer, kGrab);
            ASSERT_TRUE(RunEvents([&] { return newer->GetState() == kWindowDone && !newer->IsCrawling(); }));
        } else {
            Choose(*newer, kRecent, 1);
        }
        EXPECT_EQ(MenuItems(*older, kRecent), c.items);
        EXPECT_EQ(MenuItems(*newer, kRecent), c.items);
        ScreenshotMenu(*older, kRecent, c.action == EAction::kGrab ? "recent-items-menu" : "recent-items-menu-cleared");
        Choose(*older, kRecent, c.chosen);
        EXPECT_EQ(Text(*older, kURL), c.field);
        delete newer;
        delete older;
    }
    gAppSettings->mRecentItems.reset();
}

// The media grabber's third type grabs PDF documents, and each item of the
// popup names what the grab then saves.
TEST_F(QuickerGrabber, EachMediaTypeSavesWhatItsItemNames)
{
    const struct {
        int item;
        const char* text;
        const char* saved;  // the one linked file saved besides the page
    } cases[] = {
        {1, "Images", "p.png"},
        {2, "Movies", "m.mp4"},
        {3, "PDF Documents", "d.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        HttpPeer peer({
            {.path = "/", .body = Page("<img src=\"p.png\"> <a href=\"m.mp4\">m</a> <a href=\"d.pdf\">d</a> "
                                       "<a href=\"s.mp3\">s</a>")},
            {.path = "/p.png", .headers = {{"Content-Type", "image/png"}}, .body = PNG(2, 2)},
            {.path = "/m.mp4", .headers = {{"Content-Type", "video/mp4"}}, .body = "movie"},
            {.path = "/d.pdf", .headers = {{"Content-Type", "application/pdf"}}, .body = "%PDF-1.4"},
            {.path = "/s.mp3", .headers = {{"Content-Type", "audio/mpeg"}}, .body = "sound"},
        });
        CQuickerGrabber* window = Open(peer.Url("/"), true);
        Choose(*window, kMedia, c.item);
        EXPECT_EQ(window->FindPaneByID(kMedia)->GetDescriptor(), c.text);
        EXPECT_EQ(window->GetMediaType(), c.item);
        if (c.item == 3) {
            Screenshot(*window, "media-grabber-pdf");
            ScreenshotMenu(*window, kMedia, "media-type-menu");
        }
        Click(*window, kGrab);
        ASSERT_TRUE(RunEvents([&] { return window->GetState() == kWindowDone && !window->IsCrawling(); }));
        const std::string site = "127.0.0.1/" + std::to_string(peer.Port()) + "/";
        std::set<std::string> saved;
        for (const auto& [path, bytes] : crawltest::ReadTree(Downloads()))
            if (path.rfind(site, 0) == 0) saved.insert(path.substr(site.size()));
        EXPECT_EQ(saved, (std::set<std::string>{"Index.html", c.saved}));
        delete window;
    }
}

// Whether the closed popup shows `text` whole: its text area holds it.
bool ShowsWhole(const QComboBox& popup, const std::string& text)
{
    QStyleOptionComboBox option;
    option.initFrom(&popup);
    option.currentText = QString::fromStdString(text);
    const QRect field = popup.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &popup);
    return popup.fontMetrics().horizontalAdvance(option.currentText) <= field.width();
}

// Each layout drawn, every item of its popups shown whole at the window's
// first size; with TIDEWELL_SCREENSHOT_DIR set they are saved there for a
// person to look at.
TEST_F(QuickerGrabber, EveryLayoutDraws)
{
    gAppSettings->mRecentItems = std::make_shared<CRecentItems>("Recent Items Drawn", 10);
    gAppSettings->mRecentItems->Clear();
    const struct {
        const char* name;
        bool media, onePage;
        const char* title;
        std::vector<PaneIDT> popups;
    } layouts[] = {
        {"quicker-grabber", false, false, "Quicker Grabber", {kRecent}},
        {"download-one-page", false, true, "Download One Page", {kRecent}},
        {"media-grabber", true, false, "Media Grabber", {kRecent, kMedia, kOnly}},
    };
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.name);
        CQuickerGrabber* window = Open("http://www.example.com/", layout.media, layout.onePage);
        EXPECT_EQ(window->GetTitle(), layout.title);
        EXPECT_GT(Screenshot(*window, layout.name).width(), 300);
        for (PaneIDT id : layout.popups) {
            const auto* popup = qobject_cast<const QComboBox*>(window->FindPaneByID(id)->GetWidget());
            ASSERT_NE(popup, nullptr);
            for (const std::string& item : MenuItems(*window, id)) EXPECT_TRUE(ShowsWhole(*popup, item)) << item;
        }
        delete window;
    }
    EXPECT_EQ(MenuItems(*Open(""), kRecent), std::vector<std::string>{"(No Recent Items"});
    gAppSettings->mRecentItems.reset();
}

}  // namespace
