// What the crawl tests share: a private environment per test (home, XDG
// folders, the settings object), recording windows of both kinds, running a
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
#include "engine/owner/window_interfaces.h"
#include "foundation/files/file_ref.h"
#include "foundation/messaging/broadcaster.h"
#include "foundation/settings/app_settings.h"
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

// A grabber window that records what the crawl tells it.
class RecordingGrabber : public CGrabberInterface {
public:
    explicit RecordingGrabber(CConfiguration& configuration) : mConfiguration(configuration) {}

    const CConfiguration* GetConfiguration() const override { return &mConfiguration; }
    CCookieStore* GetRunningCookieStore() override { return mThread ? mThread->RunningCookieStore() : nullptr; }
    std::string GetStartHost() const override { return mThread ? mThread->StartHost() : std::string(); }
    void SetStatusText(const std::string& text) override { statuses.push_back(text); }
    void SetTransferName(const std::string&) override {}
    void SetTransferSize(const std::string&) override {}
    void SetTransferReceived(const std::string&) override {}
    std::int32_t GetProgressMin() const override { return 0; }
    std::int32_t GetProgressMax() const override { return 1000; }
    std::int32_t GetProgressValue() const override { return 0; }
    void SetProgressValue(std::int32_t) override {}
    CBroadcaster* GetSkipButton() override { return &skipButton; }
    void EnableSkipButton(bool) override {}
    void LogText(const std::string& text) override { log.push_back(text); }
    void SetNetworkError(std::int32_t) override {}

    void SetCrawlState(std::int32_t state) override { states.push_back(state); }
    void StartSpinner() override { spinning = true; }
    void StopSpinner() override { spinning = false; }
    void CrawlThreadEnded(CSiteIteratorThread* thread) override;
    bool IsStayInFolder() const override { return stayInFolder; }
    void SetFirstFile(const CFileRef& file) override { firstFile = file.Path(); }
    void EnableFileButtons(bool withSiteMap) override { fileButtons = withSiteMap ? 2 : 1; }
    void AppendToTitle(const std::string& text) override { title += text; }
    void SetPaneText(PaneIDT pane, const std::string& text) override { panes[pane] = text; }
    void SetPaneValue(PaneIDT pane, std::int32_t value) override { values[pane] = value; }
    std::int32_t GetPaneMaxValue(PaneIDT) const override { return 1000; }
    void SetButtonTitle(PaneIDT pane, const std::string& text) override { buttonTitles[pane].push_back(text); }
    void SendNotificationMail(const std::string& body) override { notificationMails.push_back(body); }

    void Attach(CSiteIteratorThread* thread) { mThread = thread; }
    CSiteIteratorThread* Thread() const { return mThread; }
    bool Ended() const { return ended; }
    // Every log text joined, each followed by "\n".
    std::string LogTranscript() const;
    bool Logged(const std::string& text) const;
    bool ShowedStatus(const std::string& text) const;

    std::vector<std::string> statuses;
    std::vector<std::string> log;
    std::vector<std::int32_t> states;
    std::map<PaneIDT, std::string> panes;
    std::map<PaneIDT, std::int32_t> values;
    std::map<PaneIDT, std::vector<std::string>> buttonTitles;
    std::vector<std::string> notificationMails;
    std::string firstFile;
    std::string title = "Grabber Window";
    int fileButtons = 0;
    bool spinning = true;
    bool stayInFolder = false;
    bool ended = false;
    int threadEndings = 0;
    CBroadcaster skipButton;

private:
    CConfiguration& mConfiguration;
    CSiteIteratorThread* mThread = nullptr;
};

// A quicker grabber window that records what the crawl tells it.
class RecordingQuickGrabber : public CQuickerGrabberInterface {
public:
    explicit RecordingQuickGrabber(CConfiguration& configuration) : mConfiguration(configuration) {}

    const CConfiguration* GetConfiguration() const override { return &mConfiguration; }
    CCookieStore* GetRunningCookieStore() override { return mThread ? mThread->RunningCookieStore() : nullptr; }
    std::string GetStartHost() const override { return mThread ? mThread->StartHost() : std::string(); }
    void SetTaskText(const std::string& text) override { tasks.push_back(text); }
    void SetMessageText(const std::string& text) override { messages.push_back(text); }
    void PostTransferProgress(std::uint64_t, std::uint64_t, std::uint64_t, bool) override {}

    void SetCrawlState(std::int32_t state) override { states.push_back(state); }
    void StartSpinner() override { spinning = true; }
    void StopSpinner() override { spinning = false; }
    void CrawlThreadEnded(CSiteIteratorThread* thread) override;
    void EnableButton(PaneIDT pane) override { enabledButtons.push_back(pane); }
    void SetFirstFile(const CFileRef& file) override { firstFile = file.Path(); }
    void ShowLevelProgress() override { levelProgressShown = true; }
    void HideLevelProgress() override { levelProgressShown = false; }
    void SetLevelProgress(std::int32_t level, std::int32_t value) override { levelProgress.emplace_back(level, value); }
    void SetProgressText(const std::string& text) override { progressTexts.push_back(text); }
    void HideProgressText() override { progressTextHidden = true; }
    void HidePauseButton() override { pauseHidden = true; }
    void SetGrabButtonDone() override { grabDone = true; }
    void AppendToLogFile(const std::string& text) override { logFile += text; }
    bool IsDownloadOnePage() const override { return onePage; }
    bool IsFlattenWhenSaving() const override { return flatten; }

    void Attach(CSiteIteratorThread* thread) { mThread = thread; }
    bool Ended() const { return ended; }

    std::vector<std::string> tasks;
    std::vector<std::string> messages;
    std::vector<std::int32_t> states;
    std::vector<PaneIDT> enabledButtons;
    std::vector<std::pair<std::int32_t, std::int32_t>> levelProgress;
    std::vector<std::string> progressTexts;
    std::string logFile;
    std::string firstFile;
    bool spinning = false;
    bool levelProgressShown = false;
    bool progressTextHidden = false;
    bool pauseHidden = false;
    bool grabDone = false;
    bool onePage = false;
    bool flatten = false;
    bool ended = false;
    int threadEndings = 0;

private:
    CConfiguration& mConfiguration;
    CSiteIteratorThread* mThread = nullptr;
};

// Starts a crawl thread for the window and runs the scheduler until the
// thread has ended (false when it did not end in time). Without
// collaborators, the program's own and no progress tile.
bool RunGrab(RecordingGrabber& window, CConfiguration& configuration, const std::string& url,
             std::chrono::seconds limit = std::chrono::seconds(30));
bool RunGrab(RecordingGrabber& window, CConfiguration& configuration, const std::string& url,
             CCrawlCollaborators collaborators, std::chrono::seconds limit = std::chrono::seconds(30));
bool RunQuickGrab(RecordingQuickGrabber& window, CConfiguration& configuration, const std::string& url,
                  std::chrono::seconds limit = std::chrono::seconds(30));
bool RunQuickGrab(RecordingQuickGrabber& window, CConfiguration& configuration, const std::string& url,
                  CCrawlCollaborators collaborators, std::chrono::seconds limit = std::chrono::seconds(30));
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
