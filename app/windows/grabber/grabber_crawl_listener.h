// What the grabber window shows of its crawl: the status caption (crawl
// texts with one leading blank), the log pane, the counters and times, the
// level bar, the transfer captions, progress bar and Skip button, and the
// buttons' titles.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/framework/framework_codes.h"
#include "engine/owner/crawl_listener.h"

// What the adapter changes in the grabber window (the window implements it).
class CGrabberCrawlView {
public:
    virtual ~CGrabberCrawlView() = default;
    // Held and shown at a reader's pace.
    virtual void SetPaneText(PaneIDT pane, std::string_view text) = 0;
    virtual void SetPaneValue(PaneIDT pane, std::int32_t value) = 0;
    virtual void EnablePane(PaneIDT pane, bool enabled) = 0;
    virtual std::int32_t GetPaneMinValue(PaneIDT pane) const = 0;
    virtual std::int32_t GetPaneMaxValue(PaneIDT pane) const = 0;
    // The value a bar shows or is about to show.
    virtual std::int32_t GetProgressValue() const = 0;
    // A line in the log pane and the log file.
    virtual void LogText(const std::string& text) = 0;
    virtual void LogError(const std::string& text) = 0;
    virtual void AppendToLogFile(const std::string& text) = 0;
    virtual void StopSpinner() = 0;
    virtual void SetCrawlState(std::int32_t state) = 0;
    virtual void CrawlThreadEnded(CSiteIteratorThread* thread) = 0;
    virtual void SetFirstFile(const CFileRef& file) = 0;
    virtual void EnableFileButtons(bool withSiteMap) = 0;
    virtual void AppendToTitle(const std::string& text) = 0;
    virtual void NoteNotificationRequest() = 0;
};

class CGrabberCrawlListener : public CCrawlListener {
public:
    explicit CGrabberCrawlListener(CGrabberCrawlView& window) : mWindow(window) {}

    void CrawlStatus(const std::string& text) override;
    void CrawlLog(const std::string& text, ELogLine kind) override;
    void CrawlLogFileText(const std::string& text) override;
    void CrawlWaiting(const std::string& text) override;
    void URLFetching(const std::string& url) override;
    void URLSkipped(const std::string& reason) override;
    void RetryingWithLogin(const std::string& url) override;
    void CrawlProgress(const SCrawlProgress& progress) override;
    void LevelsBegin() override;
    void LevelBegins(std::int32_t level, std::int32_t count) override;
    void LevelURLDone(std::int32_t level, std::int32_t done) override;
    void LevelsEnd(bool stopped) override;
    void TransferBegins() override;
    void TransferSkippable(bool skippable) override;
    void TransferStatus(const std::string& text) override;
    void TransferProgress(const STransferProgress& progress) override;
    void PostTransferProgress(const STransferProgress& progress) override;
    void FirstFileSaved(const CFileRef& file, const std::string& startHost, bool withSiteMap) override;
    void ImageGrabbed(const std::string& url) override;
    void NotificationMail(const std::string& body) override;
    void CrawlStateChanged(ECrawlState state, std::int64_t clockSeconds) override;
    void CrawlEnded(CSiteIteratorThread* thread, const SCrawlOutcome& outcome) override;

private:
    void SetStatusText(std::string_view text);

    CGrabberCrawlView& mWindow;
    // The status caption being set: a crawl sets one many times a URL.
    std::string mStatus;
    // The transfer captions as shown, so an unchanged one is not set again.
    std::string mShownName;
    std::uint64_t mShownSize = 0;
    bool mSizeShown = false;
    // The crawl's numbers as last set, so unchanged ones are not set again.
    SCrawlProgress mShownProgress;
    bool mProgressShown = false;
};
