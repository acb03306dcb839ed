// What a crawl told its listener, event by event, for the tests of the
// crawl and of the transfers; and an owner whose answers a test sets.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/cookies/cookie_store.h"
#include "engine/owner/crawl_listener.h"
#include "foundation/files/file_ref.h"
#include "foundation/messaging/broadcaster.h"

namespace testsupport {

class CRecordingListener : public CCrawlListener {
public:
    struct STransfer {
        std::string name;
        std::uint64_t size = 0;
        std::uint64_t received = 0;
        std::uint64_t bytesPerSecond = 0;
        bool finished = false;
    };

    void CrawlStatus(const std::string& text) override { statuses.push_back(text); }
    void CrawlLog(const std::string& text, ELogLine kind) override
    {
        log.push_back(text);
        if (kind == ELogLine::kNotice) notices.push_back(text);
        if (kind == ELogLine::kFailure) failures.push_back(text);
    }
    void CrawlLogFileText(const std::string& text) override { logFileText += text; }
    // In the log, where it came.
    void CrawlWaiting(const std::string& text) override
    {
        waits.push_back(text);
        log.push_back(text);
    }
    void URLFetching(const std::string& url) override { fetching.push_back(url); }
    void URLSkipped(const std::string& reason) override { skipped.push_back(reason); }
    void RetryingWithLogin(const std::string& url) override { loginRetries.push_back(url); }
    void CrawlProgress(const SCrawlProgress& shown) override
    {
        progress = shown;
        ++progressReports;
    }
    void LevelsBegin() override { levelSteps.emplace_back(0, 0); }
    void LevelBegins(std::int32_t level, std::int32_t count) override
    {
        levelSizes.push_back(count);
        levelSteps.emplace_back(level, 0);
    }
    void LevelURLDone(std::int32_t level, std::int32_t done) override { levelSteps.emplace_back(level, done); }
    void LevelsEnd(bool stopped) override
    {
        ++levelsEnded;
        levelsStopped = stopped;
    }
    void TransferBegins() override { ++transfersBegun; }
    void TransferSkippable(bool skippable) override { skippableChanges.push_back(skippable); }
    void TransferStatus(const std::string& text) override { transferStatuses.push_back(text); }
    void TransferProgress(const STransferProgress& shown) override
    {
        transfers.push_back({std::string(shown.name), shown.size, shown.received, shown.bytesPerSecond,
                             shown.finished});
    }
    // Any OS thread.
    void PostTransferProgress(const STransferProgress& shown) override
    {
        std::lock_guard<std::mutex> lock(mPostedMutex);
        mPosted.push_back({std::string(shown.name), shown.size, shown.received, shown.bytesPerSecond,
                           shown.finished});
    }
    void FirstFileSaved(const CFileRef& file, const std::string& startHost, bool withSiteMap) override
    {
        firstFile = file.Path();
        firstFileHost = startHost;
        fileButtons = withSiteMap ? 2 : 1;
        ++firstFileReports;
    }
    void ImageGrabbed(const std::string& url) override { images.push_back(url); }
    void NotificationMail(const std::string& body) override { notificationMails.push_back(body); }
    void CrawlStateChanged(ECrawlState state, std::int64_t clockSeconds) override
    {
        states.push_back(state);
        stateTimes.push_back(clockSeconds);
    }
    void CrawlEnded(CSiteIteratorThread* thread, const SCrawlOutcome& told) override
    {
        endedThread = thread;
        outcome = told;
        ++endings;
    }

    bool Ended() const { return endings > 0; }
    // Every log line joined, each followed by "\n".
    std::string LogTranscript() const
    {
        std::string text;
        for (const std::string& line : log) text += line + "\n";
        return text;
    }
    bool Logged(const std::string& text) const { return Contains(log, text); }
    bool ShowedStatus(const std::string& text) const { return Contains(statuses, text); }
    std::vector<STransfer> Posted() const
    {
        std::lock_guard<std::mutex> lock(mPostedMutex);
        return mPosted;
    }

    std::vector<std::string> statuses;
    std::vector<std::string> log;
    std::vector<std::string> notices;
    std::vector<std::string> failures;
    std::vector<std::string> waits;
    std::string logFileText;
    std::vector<std::string> fetching;
    std::vector<std::string> skipped;
    std::vector<std::string> loginRetries;
    SCrawlProgress progress;  // the last one told
    int progressReports = 0;
    std::vector<std::pair<std::int32_t, std::int32_t>> levelSteps;  // level, URLs done
    std::vector<std::int32_t> levelSizes;
    int levelsEnded = 0;
    bool levelsStopped = false;
    int transfersBegun = 0;
    std::vector<bool> skippableChanges;
    std::vector<std::string> transferStatuses;
    std::vector<STransfer> transfers;
    std::string firstFile;
    std::string firstFileHost;
    int fileButtons = 0;
    int firstFileReports = 0;
    std::vector<std::string> images;
    std::vector<std::string> notificationMails;
    std::vector<ECrawlState> states;
    std::vector<std::int64_t> stateTimes;
    std::optional<SCrawlOutcome> outcome;
    CSiteIteratorThread* endedThread = nullptr;
    int endings = 0;

private:
    static bool Contains(const std::vector<std::string>& lines, const std::string& text)
    {
        for (const std::string& line : lines)
            if (line == text) return true;
        return false;
    }

    mutable std::mutex mPostedMutex;
    std::vector<STransfer> mPosted;
};

// The grab a fetch serves, as a test sets it: its configuration, the cookie
// store while its "crawl runs", its start host and its Skip.
class CTestCrawlOwner : public CCrawlOwner {
public:
    const CConfiguration* GetConfiguration() const override { return configuration; }
    CCookieStore* GetRunningCookieStore() override { return crawlRunning ? &cookies : nullptr; }
    std::string GetStartHost() const override { return crawlRunning ? startHost : std::string(); }
    CBroadcaster* GetSkipBroadcaster() override { return &skipButton; }

    const CConfiguration* configuration = nullptr;
    CCookieStore cookies;
    bool crawlRunning = true;
    std::string startHost = "start.example";
    CBroadcaster skipButton;
};

}  // namespace testsupport
