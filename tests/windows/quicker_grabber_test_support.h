// What the quicker grabber tests share: the private environment of the crawl
// tests (home, XDG folders, settings), the framework's classes and the
// scheduler driven by the Qt event loop, opening a window for a URL, pressing
// its buttons and keys, and running the loop until something happens.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <QImage>

#include "app/windows/quicker_grabber/quicker_grabber.h"
#include "tests/crawl/crawl_test_support.h"
#include "tests/support/http_peer.h"

namespace qgtest {

class QuickerGrabberTest : public crawltest::CrawlEnvironment {
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
    static std::string Text(CQuickerGrabber& window, PaneIDT pane);
    static bool IsShown(CQuickerGrabber& window, PaneIDT pane);
    static bool IsEnabled(CQuickerGrabber& window, PaneIDT pane);
    // Draws the window; saved as "<name>.png" in $TIDEWELL_SCREENSHOT_DIR when
    // that is set, for a person to look at.
    static QImage Screenshot(CQuickerGrabber& window, const char* name);
    // The user's download folder, which the built-in configuration mirrors into.
    std::string Downloads() const { return Root() + "/home/Downloads"; }

    // Every program the windows asked the desktop to open with.
    std::vector<std::vector<std::string>> mSpawned;
};

// True when the peer received a request for `target` (path and query).
bool Requested(const testsupport::HttpPeer& peer, const std::string& target);

}  // namespace qgtest
