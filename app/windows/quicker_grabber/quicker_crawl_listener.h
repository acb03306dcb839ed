// What the quicker grabber window shows of its crawl: the task line, the
// message line, the byte progress of the transfer, the level progress and
// the crawl's position, the slide show of the media grabber, and its end.
#pragma once

#include <cstdint>
#include <string>

#include "app/framework/framework_codes.h"
#include "engine/owner/crawl_listener.h"

// What the adapter changes in the quicker grabber window (the window
// implements it).
class CQuickerCrawlView {
public:
    virtual ~CQuickerCrawlView() = default;
    // The task and message lines, each also a line of the log file.
    virtual void SetTaskText(const std::string& text) = 0;
    virtual void SetMessageText(const std::string& text) = 0;
    virtual void AppendToLogFile(const std::string& text) = 0;
    // Any OS thread.
    virtual void PostProgress(std::int64_t bytes, std::int64_t size, std::int64_t rate) = 0;
    virtual void ShowLevelProgress() = 0;
    virtual void HideLevelProgress() = 0;
    virtual void SetProgressRange(std::int32_t minimum, std::int32_t maximum) = 0;
    virtual void SetLevelProgress(std::int32_t level, std::int32_t value) = 0;
    virtual void SetProgressText(const std::string& text) = 0;
    virtual void HideProgressText() = 0;
    virtual void HidePauseButton() = 0;
    virtual void EnablePane(PaneIDT pane, bool enabled) = 0;
    virtual void SetGrabButtonDone() = 0;
    virtual bool IsDownloadOnePage() const = 0;
    virtual void StopSpinner() = 0;
    virtual void SetCrawlState(std::int32_t state) = 0;
    virtual void CrawlThreadEnded(CSiteIteratorThread* thread) = 0;
    virtual void SetFirstFile(const CFileRef& file) = 0;
    virtual void EnableFileButtons(bool withSiteMap) = 0;
    virtual void AppendToTitle(const std::string& text) = 0;
    virtual void ShowMediaURL(const std::string& url) = 0;
};

class CQuickerCrawlListener : public CCrawlListener {
public:
    explicit CQuickerCrawlListener(CQuickerCrawlView& window) : mWindow(window) {}

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
    CQuickerCrawlView& mWindow;
};
