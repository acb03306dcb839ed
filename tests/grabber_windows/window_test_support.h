// What the window tests of this folder share: the crawl tests' private
// environment, the framework's classes, the scheduler driven by the Qt event
// loop, scripted answers, a recording program spawner, pressing buttons and
// reading panes, and screenshots.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/framework/window.h"
#include "tests/crawl/crawl_test_support.h"

namespace gwtest {

class WindowTest : public crawltest::CrawlEnvironment {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the event loop (which runs the threads) until `done`; false
    // when it did not happen within `limit` (a guard against hanging).
    static bool RunEvents(const std::function<bool()>& done,
                          std::chrono::milliseconds limit = std::chrono::seconds(60));
    static void Click(CWindow& window, PaneIDT pane);
    static std::string Text(CWindow& window, PaneIDT pane);
    static bool IsEnabled(CWindow& window, PaneIDT pane);
    // Saves the window's picture as TIDEWELL_SCREENSHOTS/<name>.png; the path.
    static std::string Screenshot(CWindow& window, const std::string& name);
    std::string Downloads() const { return Root() + "/home/Downloads"; }

    // Every program the windows asked the desktop to open with.
    std::vector<std::vector<std::string>> mSpawned;
    // Every folder a grabber's Search button asked to search.
    static std::vector<std::string>& Searched();
};

}  // namespace gwtest
