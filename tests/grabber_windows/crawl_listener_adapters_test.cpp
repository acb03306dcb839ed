// The grab windows' adapters: what each turns the crawl's events into,
// against recording views of the two windows.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/windows/grab_start/grab_window_parts.h"
#include "app/windows/grabber/grabber_crawl_listener.h"
#include "app/windows/grabber/grabber_layout.h"
#include "app/windows/quicker_grabber/quicker_crawl_listener.h"
#include "app/windows/quicker_grabber/quicker_grabber_layout.h"
#include "engine/crawl/elapsed_time.h"

namespace {

// Every pane's texts and values in order; bars range over 0...1000.
class RecordingGrabberView : public CGrabberCrawlView {
public:
    void SetPaneText(PaneIDT pane, std::string_view text) override { texts[pane].emplace_back(text); }
    void SetPaneValue(PaneIDT pane, std::int32_t value) override { values[pane].push_back(value); }
    void EnablePane(PaneIDT pane, bool enabled) override { enabled_[pane] = enabled; }
    std::int32_t GetPaneMinValue(PaneIDT) const override { return 0; }
    std::int32_t GetPaneMaxValue(PaneIDT) const override { return 1000; }
    std::int32_t GetProgressValue() const override
    {
        const auto found = values.find(grabber::kFileProgress);
        return found == values.end() || found->second.empty() ? 0 : found->second.back();
    }
    void LogText(const std::string& text) override { log.push_back(text); }
    void LogError(const std::string& text) override { errors.push_back(text); }
    void AppendToLogFile(const std::string& text) override { logFile += text; }
    void StopSpinner() override { ++spinnerStops; }
    void SetCrawlState(std::int32_t value) override { state = value; }
    void CrawlThreadEnded(CSiteIteratorThread*) override { ++threadEndings; }
    void SetFirstFile(const CFileRef&) override {}
    void EnableFileButtons(bool) override {}
    void AppendToTitle(const std::string& text) override { title += text; }
    void NoteNotificationRequest() override {}

    std::vector<std::string> Texts(PaneIDT pane) { return texts[pane]; }
    std::vector<std::int32_t> Values(PaneIDT pane) { return values[pane]; }

    std::map<PaneIDT, std::vector<std::string>> texts;
    std::map<PaneIDT, std::vector<std::int32_t>> values;
    std::map<PaneIDT, bool> enabled_;
    std::vector<std::string> log;
    std::vector<std::string> errors;
    std::string logFile;
    std::string title;
    int spinnerStops = 0;
    int threadEndings = 0;
    std::int32_t state = kWindowNeverStarted;
};

TEST(GrabberCrawlListener, TransferCaptionsChangeOnlyWhenTheyDifferAndTheBarMovesForwardOnly)
{
    using namespace grabber;
    struct Step {
        bool begins;
        const char* name;
        std::uint64_t size;
        std::uint64_t received;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<std::string> names;
        std::vector<std::string> sizes;
        std::vector<std::string> received;
        std::vector<std::int32_t> bar;
    };
    const std::vector<Case> cases = {
        {"forward only", {{true, "", 0, 0}, {false, "a", 100, 50}, {false, "a", 100, 30}, {false, "a", 100, 100}},
         {"a"}, {"100"}, {"50", "30", "100"}, {0, 500, 1000}},
        {"a new transfer tells its captions again", {{true, "", 0, 0}, {false, "a", 10, 5}, {true, "", 0, 0},
                                                     {false, "a", 10, 5}},
         {"a", "a"}, {"10", "10"}, {"5", "5"}, {0, 500, 0, 500}},
        {"unknown size and nothing yet", {{true, "", 0, 0}, {false, "", 0, 0}, {false, "", 0, 7}},
         {}, {"0"}, {"7"}, {0}},
        {"more than announced fills the bar", {{true, "", 0, 0}, {false, "b", 4, 9}}, {"b"}, {"4"}, {"9"}, {0, 1000}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        RecordingGrabberView view;
        CGrabberCrawlListener listener(view);
        for (const Step& step : test.steps) {
            if (step.begins) {
                listener.TransferBegins();
                continue;
            }
            STransferProgress progress;
            progress.name = step.name;
            progress.size = step.size;
            progress.received = step.received;
            listener.TransferProgress(progress);
        }
        EXPECT_EQ(view.Texts(kFileName), test.names);
        EXPECT_EQ(view.Texts(kFileSize), test.sizes);
        EXPECT_EQ(view.Texts(kFileReceived), test.received);
        EXPECT_EQ(view.Values(kFileProgress), test.bar);
    }
}

TEST(GrabberCrawlListener, CountersLevelsAndTheEndOfTheLevels)
{
    using namespace grabber;
    struct Case {
        const char* name;
        bool countsMails;
        bool stopped;
        std::int32_t index;
        std::int32_t levelBar;
    };
    for (const Case& test : {Case{"counted and finished", true, false, 1, 250},
                             Case{"stopped keeps the level panes", false, true, 4, 1000}}) {
        SCOPED_TRACE(test.name);
        RecordingGrabberView view;
        CGrabberCrawlListener listener(view);
        SCrawlProgress progress;
        progress.startSeconds = 1000;
        progress.nowSeconds = 1003;
        progress.errors = 2;
        progress.requests = 7;
        progress.countsMails = test.countsMails;
        progress.mails = 3;
        progress.level = 1;
        progress.index = test.index;
        progress.levelSize = 4;
        progress.nextLevelSize = 9;
        listener.CrawlProgress(progress);
        EXPECT_EQ(view.Texts(kElapsedTime), std::vector<std::string>{ElapsedTimeText(3)});
        EXPECT_EQ(view.Texts(kErrors), std::vector<std::string>{"2"});
        EXPECT_EQ(view.Texts(kRequests), std::vector<std::string>{"7"});
        EXPECT_EQ(view.Texts(kMails).size(), test.countsMails ? 1u : 0u);
        EXPECT_TRUE(view.Texts(kCookies).empty());
        EXPECT_EQ(view.Texts(kLevel), std::vector<std::string>{"2"}) << "the start URL is level 1";
        EXPECT_EQ(view.Texts(kNextLevel), std::vector<std::string>{"9"});
        EXPECT_EQ(view.Values(kLevelProgress), std::vector<std::int32_t>{test.levelBar});

        listener.LevelsEnd(test.stopped);
        EXPECT_EQ(view.Texts(kLevel).back(), test.stopped ? "2" : "");
        EXPECT_EQ(view.Values(kLevelProgress).back(), test.stopped ? test.levelBar : 0);
        EXPECT_EQ(view.Texts(kTask), std::vector<std::string>{" "});
        EXPECT_EQ(view.spinnerStops, 1);
    }
}

TEST(GrabberCrawlListener, ANumberIsSetAgainOnlyWhenItChangedOrTheLevelsBeganAnew)
{
    using namespace grabber;
    struct Case {
        const char* name;
        void (*between)(CGrabberCrawlListener&);
        void (*change)(SCrawlProgress&);
        std::size_t requestTexts;
        std::size_t levelTexts;
        std::size_t elapsedTexts;
        std::size_t levelBarValues;
        std::size_t mailTexts;
    };
    const std::vector<Case> cases = {
        {"the same report twice", [](CGrabberCrawlListener&) {}, [](SCrawlProgress&) {}, 1, 1, 1, 1, 0},
        {"one more request", [](CGrabberCrawlListener&) {}, [](SCrawlProgress& p) { ++p.requests; }, 2, 1, 1, 1, 0},
        {"a second later", [](CGrabberCrawlListener&) {}, [](SCrawlProgress& p) { ++p.nowSeconds; }, 1, 1, 2, 1, 0},
        {"the next URL of the level", [](CGrabberCrawlListener&) {}, [](SCrawlProgress& p) { ++p.index; }, 1, 1, 1, 2,
         0},
        {"mails counted from now on", [](CGrabberCrawlListener&) {}, [](SCrawlProgress& p) { p.countsMails = true; },
         1, 1, 1, 1, 1},
        {"the levels began again", [](CGrabberCrawlListener& l) { l.LevelsBegin(); }, [](SCrawlProgress&) {}, 2, 2, 2,
         2, 0},
        {"after the end of the levels", [](CGrabberCrawlListener& l) { l.LevelsEnd(false); }, [](SCrawlProgress&) {},
         2, 3, 2, 3, 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        RecordingGrabberView view;
        CGrabberCrawlListener listener(view);
        SCrawlProgress progress;
        progress.startSeconds = 1000;
        progress.nowSeconds = 1001;
        progress.requests = 7;
        progress.mails = 3;
        progress.level = 2;
        progress.index = 1;
        progress.levelSize = 4;
        listener.CrawlProgress(progress);
        test.between(listener);
        test.change(progress);
        listener.CrawlProgress(progress);
        EXPECT_EQ(view.Texts(kRequests).size(), test.requestTexts);
        EXPECT_EQ(view.Texts(kLevel).size(), test.levelTexts);
        EXPECT_EQ(view.Texts(kElapsedTime).size(), test.elapsedTexts);
        EXPECT_EQ(view.Values(kLevelProgress).size(), test.levelBarValues);
        EXPECT_EQ(view.Texts(kMails).size(), test.mailTexts);
        // Whatever was set last is the newest report.
        EXPECT_EQ(view.Texts(kRequests).back(), std::to_string(progress.requests));
        EXPECT_EQ(view.Texts(kLevel).back(), "3");
        EXPECT_EQ(view.Values(kLevelProgress).back(), 1000 * progress.index / 4);
    }
}

TEST(GrabberCrawlListener, StatesSetTheButtonsAndLogKindsTheirStyle)
{
    using namespace grabber;
    RecordingGrabberView view;
    CGrabberCrawlListener listener(view);
    listener.CrawlStateChanged(ECrawlState::kRunning, 0);
    EXPECT_EQ(view.state, kWindowRunning);
    listener.CrawlStatus("Grab content");
    listener.TransferStatus("Data available...");
    listener.URLSkipped("Skipping URL outside starting folder");
    listener.CrawlLog("Redirected to: x", ELogLine::kNotice);
    listener.CrawlLog("Done", ELogLine::kTrace);
    listener.CrawlLog("The start URL gave nothing", ELogLine::kFailure);
    listener.CrawlWaiting("Pausing 2 seconds.");
    listener.CrawlStateChanged(ECrawlState::kDone, 0);
    EXPECT_EQ(view.state, kWindowDone);
    EXPECT_EQ(view.Texts(kCancel), (std::vector<std::string>{"Stop", "Done"}));
    EXPECT_EQ(view.Texts(kStart), (std::vector<std::string>{"Pause", "Start"}));
    EXPECT_EQ(view.Texts(kTask), (std::vector<std::string>{" Grab content", "Data available...",
                                                          " Skipping URL outside starting folder", "Idle"}));
    EXPECT_EQ(view.log, (std::vector<std::string>{"Redirected to: x", "Done", "Pausing 2 seconds."}));
    EXPECT_EQ(view.errors, std::vector<std::string>{"The start URL gave nothing"});
    EXPECT_EQ(view.Texts(kFinishTime).size(), 1u);
}

// The quicker window's task, message and progress lines, as text.
class RecordingQuickerView : public CQuickerCrawlView {
public:
    void SetTaskText(const std::string& text) override { tasks.push_back(text); }
    void SetMessageText(const std::string& text) override { messages.push_back(text); }
    void AppendToLogFile(const std::string& text) override { logFile += text; }
    void PostProgress(std::int64_t, std::int64_t, std::int64_t) override {}
    void ShowLevelProgress() override { levelShown = true; }
    void HideLevelProgress() override { levelShown = false; }
    void SetProgressRange(std::int32_t, std::int32_t maximum) override { range = maximum; }
    void SetLevelProgress(std::int32_t, std::int32_t) override {}
    void SetProgressText(const std::string& text) override { progressTexts.push_back(text); }
    void HideProgressText() override {}
    void HidePauseButton() override { pauseHidden = true; }
    void EnablePane(PaneIDT pane, bool enabled) override { enabled_[pane] = enabled; }
    void SetGrabButtonDone() override { grabDone = true; }
    bool IsDownloadOnePage() const override { return onePage; }
    void StopSpinner() override {}
    void SetCrawlState(std::int32_t value) override { state = value; }
    void CrawlThreadEnded(CSiteIteratorThread*) override { ++threadEndings; }
    void SetFirstFile(const CFileRef&) override {}
    void EnableFileButtons(bool) override {}
    void AppendToTitle(const std::string&) override {}
    void ShowMediaURL(const std::string&) override {}

    std::vector<std::string> tasks;
    std::vector<std::string> messages;
    std::vector<std::string> progressTexts;
    std::string logFile;
    std::map<PaneIDT, bool> enabled_;
    std::int32_t range = 0;
    std::int32_t state = kWindowRunning;
    bool levelShown = false;
    bool pauseHidden = false;
    bool grabDone = false;
    bool onePage = false;
    int threadEndings = 0;
};

TEST(QuickerCrawlListener, TheLastMessageSaysHowTheGrabEnded)
{
    struct Case {
        const char* name;
        SCrawlOutcome outcome;
        std::optional<std::string> message;
    };
    const auto outcome = [](std::string failure, bool stopped, bool byError, std::int64_t elapsed) {
        SCrawlOutcome told;
        told.began = true;
        told.failure = std::move(failure);
        told.stoppedByUser = stopped;
        told.abortedByError = byError;
        told.elapsedSeconds = elapsed;
        return told;
    };
    const std::vector<Case> cases = {
        {"done", outcome("", false, false, 62), "Done. Elapsed time = " + ElapsedTimeText(62)},
        {"stopped", outcome("", true, false, 5), "Aborted. Elapsed time = " + ElapsedTimeText(5)},
        {"failed", outcome("The start URL gave nothing", true, false, 0), "The start URL gave nothing"},
        {"aborted by an error", outcome("x", false, true, 0),
         "The download was aborted because an error occurred. Please check you network connectivity."},
        {"never began", SCrawlOutcome{}, std::nullopt},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        RecordingQuickerView view;
        CQuickerCrawlListener listener(view);
        listener.LevelsBegin();
        listener.CrawlEnded(nullptr, test.outcome);
        if (test.message) EXPECT_EQ(view.messages, std::vector<std::string>{*test.message});
        else EXPECT_TRUE(view.messages.empty());
        EXPECT_EQ(view.levelShown, !test.message.has_value());
        EXPECT_EQ(view.pauseHidden, test.message.has_value());
        EXPECT_EQ(view.threadEndings, 1);
    }
}

TEST(QuickerCrawlListener, ThePositionLineCountsTheNextLevelUntilTheLast)
{
    struct Case {
        std::int32_t level;
        std::int32_t next;
        const char* text;
    };
    for (const Case& test : {Case{0, 1, "1 of 3 (1 URL on next level)"}, Case{1, 2, "1 of 3 (2 URLs on next level)"},
                             Case{2, 5, "1 of 3"}}) {
        RecordingQuickerView view;
        CQuickerCrawlListener listener(view);
        SCrawlProgress progress;
        progress.level = test.level;
        progress.index = 1;
        progress.levelSize = 3;
        progress.nextLevelSize = test.next;
        progress.linkDepth = 3;
        listener.CrawlProgress(progress);
        EXPECT_EQ(view.progressTexts, std::vector<std::string>{test.text});
    }
}

TEST(QuickerCrawlListener, TheDetailedRecordStaysOutOfTheMessageLine)
{
    for (bool onePage : {false, true}) {
        RecordingQuickerView view;
        view.onePage = onePage;
        CQuickerCrawlListener listener(view);
        listener.URLFetching("http://h/a.html");
        listener.CrawlLog("Redirected to: x", ELogLine::kNotice);
        listener.CrawlLog("\rURL: http://h/a.html", ELogLine::kTrace);
        listener.CrawlLog("The start URL gave nothing", ELogLine::kFailure);
        listener.URLSkipped("Skipping URL outside starting folder");
        listener.CrawlWaiting("Pausing 1 second.");
        listener.RetryingWithLogin("http://h/a.html");
        listener.CrawlLogFileText("links\r");
        listener.CrawlStateChanged(ECrawlState::kRunning, 0);
        EXPECT_EQ(view.state, kWindowRunning) << "the window's own state while it runs";
        listener.CrawlStateChanged(ECrawlState::kDone, 0);
        EXPECT_EQ(view.messages, (std::vector<std::string>{"http://h/a.html", "Redirected to: x",
                                                           "Skipping URL outside starting folder"}));
        EXPECT_EQ(view.tasks, (std::vector<std::string>{"Pausing 1 second.", "Grab unauthorized"}));
        EXPECT_EQ(view.logFile, "links\r");
        EXPECT_EQ(view.state, kWindowDone);
        EXPECT_TRUE(view.grabDone);
        EXPECT_EQ(view.enabled_.contains(quickergrabber::kDown), onePage);
    }
}

}  // namespace
