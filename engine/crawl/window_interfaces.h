// What the engine may ask of the window that started a crawl or a fetch.
//
// The engine never includes the windows: the grabber window and the quicker
// grabber window implement these interfaces, and tests use recording
// implementations. Exactly one of a crawl's two window pointers is set; a
// report meant for the absent kind is skipped.
#pragma once

#include <cstdint>
#include <string>

class CBroadcaster;
class CConfiguration;
class CCookieStore;

// What a fetch needs from the window whose crawl it serves.
class CCrawlOwner {
public:
    virtual ~CCrawlOwner() = default;
    // The configuration of the window's grab (site login, useCookies, time-out).
    virtual const CConfiguration* GetConfiguration() const = 0;
    // The cookie store of the running crawl; null when no crawl runs or the
    // crawl's configuration has useCookies off, so a null store means
    // "neither send nor keep cookies".
    virtual CCookieStore* GetRunningCookieStore() = 0;
    // The host of the running crawl's start URL ("" when no crawl runs).
    virtual std::string GetStartHost() const = 0;
};

// The full grabber window: status pane, transfer captions and progress bar,
// the Skip button, the log pane.
class CGrabberInterface : public CCrawlOwner {
public:
    // The 'TASK' status caption (crawl texts carry one leading blank).
    virtual void SetStatusText(const std::string& text) = 0;
    // Transfer captions: resource name, total size, bytes received.
    virtual void SetTransferName(const std::string& text) = 0;
    virtual void SetTransferSize(const std::string& text) = 0;
    virtual void SetTransferReceived(const std::string& text) = 0;
    virtual std::int32_t GetProgressMin() const = 0;
    virtual std::int32_t GetProgressMax() const = 0;
    virtual std::int32_t GetProgressValue() const = 0;
    virtual void SetProgressValue(std::int32_t value) = 0;
    // The 'SKIP' button: a broadcaster of kMsgSkip while enabled.
    virtual CBroadcaster* GetSkipButton() = 0;
    virtual void EnableSkipButton(bool enabled) = 0;
    // A line in the log pane (and the window's log file).
    virtual void LogText(const std::string& text) = 0;
    // A network error code reported by a transfer.
    virtual void SetNetworkError(std::int32_t code) = 0;
};

// The quicker grabber window: task text, message text and progress line.
class CQuickerGrabberInterface : public CCrawlOwner {
public:
    virtual void SetTaskText(const std::string& text) = 0;
    virtual void SetMessageText(const std::string& text) = 0;
    // Byte progress of the current transfer; `expected` 0 when unknown.
    // Called from a transfer's own OS thread: implementations queue it.
    virtual void PostTransferProgress(std::uint64_t received, std::uint64_t expected,
                                      std::uint64_t bytesPerSecond, bool finished) = 0;
};
