// What the crawl tests share: a private environment per test (home, XDG
// folders, the settings object), crawls recorded with the options of either
// kind of window, running a
// crawl thread to its end, and reading a mirror back (its files, and whether
// every link of its pages opens a saved file from disk).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/config/configuration.h"
#include "engine/crawl/site_iterator_thread.h"
#include "engine/crawl/crawl_options.h"
#include "engine/owner/crawl_listener.h"
#include "foundation/files/file_ref.h"
#include "foundation/messaging/broadcaster.h"
#include "foundation/settings/app_settings.h"
#include "tests/support/recording_listener.h"
#include "tests/support/temp_dir.h"

namespace crawltest {

// Every test runs with its own home and XDG folders below a temporary
// folder, a fresh settings object, and a download folder "mirror" there.
class CrawlEnvironment : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sets a preference of the test's own store.
    void SetPreference(const char* key, const char* value);
    // Rebuilds the settings object (after changing the preferences it reads
    // at construction).
    void ReloadSettings();
    // A configuration whose mirror and reports go to the download folder.
    CConfiguration MakeConfiguration() const;

    std::string Mirror() const { return mRoot.File("mirror"); }
    std::string Root() const { return mRoot.Path(); }

    testsupport::TempDir mRoot;

private:
    void Override(const char* name, const std::optional<std::string>& value);

    std::vector<std::pair<std::string, std::optional<std::string>>> mSavedVariables;
    std::unique_ptr<CAppSettings> mSettings;
    CAppSettings* mSavedSettings = nullptr;
};

// A crawl recorded with the options of one kind of window (which a test
// may change before the grab).
class RecordedCrawl : public testsupport::CRecordingListener {
public:
    explicit RecordedCrawl(SCrawlOptions crawlOptions) : options(crawlOptions) {}

    SCrawlOptions options;
    CBroadcaster skipButton;
};

// As the grabber window and the quicker grabber window run a crawl.
class RecordingGrabber : public RecordedCrawl {
public:
    explicit RecordingGrabber(CConfiguration&) : RecordedCrawl(DetailedCrawlOptions()) { options.skipBroadcaster = &skipButton; }
};

class RecordingQuickGrabber : public RecordedCrawl {
public:
    explicit RecordingQuickGrabber(CConfiguration&) : RecordedCrawl(BriefCrawlOptions()) {}
};

// Starts a crawl thread for the window and runs the scheduler until the
// thread has ended (false when it did not end in time). Without
// collaborators, the program's own and no progress tile.
bool RunGrab(RecordedCrawl& window, CConfiguration& configuration, const std::string& url,
             std::chrono::seconds limit = std::chrono::seconds(30));
bool RunGrab(RecordedCrawl& window, CConfiguration& configuration, const std::string& url,
             CCrawlCollaborators collaborators, std::chrono::seconds limit = std::chrono::seconds(30));
bool RunQuickGrab(RecordedCrawl& window, CConfiguration& configuration, const std::string& url,
                  std::chrono::seconds limit = std::chrono::seconds(30));
bool RunQuickGrab(RecordedCrawl& window, CConfiguration& configuration, const std::string& url,
                  CCrawlCollaborators collaborators, std::chrono::seconds limit = std::chrono::seconds(30));
// A crawl thread for the window, made and not started.
CSiteIteratorThread* NewCrawlThread(RecordedCrawl& window, CConfiguration& configuration, const std::string& url,
                                    CCrawlCollaborators collaborators = StandardCrawlCollaborators({}));
// Runs the scheduler until `done` or the time limit.
bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// Every file below `folder`: path relative to it -> bytes.
std::map<std::string, std::string> ReadTree(const std::string& folder);
// Every file and folder below `folder` (relative paths, folders ending in "/").
std::set<std::string> ListTree(const std::string& folder);

// The links of the saved pages (*.html) below `mirror`, as a page's href,
// src and background attributes write them.
struct MirrorLinks {
    int pages = 0;
    int local = 0;                         // relative links that open a saved file
    std::vector<std::string> broken;       // "page: link" for relative links that open nothing
    std::vector<std::string> absolute;     // "page: link" for http(s) links and "//" links
};
MirrorLinks CheckMirrorLinks(const std::string& mirror);
// Success when no relative link is broken and none leads off the mirror;
// the failure lists the links that do.
::testing::AssertionResult AllLinksLocal(const MirrorLinks& links);

// The bytes of a file; empty when it is missing.
std::string FileText(const std::string& path);

// A small HTML page with a title.
std::string Page(const std::string& title, const std::string& body);

}  // namespace crawltest
