// What a crawl needs from outside and what it tells.
//
// CCrawlOwner answers what a fetch asks of the grab it serves (the
// configuration, the cookie store, the start host). CCrawlListener hears
// what happens, in the crawl's own terms: texts, counters, transfers, the
// first file, the end. It has no default bodies, so whoever shows a crawl
// decides about every event: a new event that a window forgets to handle
// does not compile. Each grab window family turns these events into its
// panes through a small adapter of its own; tests record them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CBroadcaster;
class CConfiguration;
class CCookieStore;
class CFileRef;
class CSiteIteratorThread;

// What a fetch needs from the grab it serves.
class CCrawlOwner {
public:
    virtual ~CCrawlOwner() = default;
    // The configuration of the grab (site login, useCookies, time-out).
    virtual const CConfiguration* GetConfiguration() const = 0;
    // The cookie store of the running crawl; null when no crawl runs or the
    // crawl's configuration has useCookies off, so a null store means
    // "neither send nor keep cookies".
    virtual CCookieStore* GetRunningCookieStore() = 0;
    // The host of the running crawl's start URL ("" when no crawl runs).
    virtual std::string GetStartHost() const = 0;
    // Broadcasts kMsgSkip when the user skips the transfer in progress;
    // null when the grab offers no skipping.
    virtual CBroadcaster* GetSkipBroadcaster() = 0;
};

enum class ECrawlState : std::int32_t { kRunning, kDone };

// Where a crawl stands, as the counters of a grab show it. Times are clock
// seconds since 1970.
struct SCrawlProgress {
    std::int64_t startSeconds = 0;
    std::int64_t nowSeconds = 0;
    std::uint32_t unauthorized = 0;
    std::uint32_t errors = 0;
    std::uint32_t requests = 0;
    std::uint64_t bytes = 0;
    // Counted only when the configuration collects them.
    bool countsMails = false;
    std::uint64_t mails = 0;
    bool countsCookies = false;
    std::uint64_t cookies = 0;
    std::int32_t level = 0;  // 0 for the start URL's level
    std::int32_t index = 0;  // of the URL on its level, from 1
    std::int32_t levelSize = 0;
    std::int32_t nextLevelSize = 0;
    std::int32_t linkDepth = 1;
};

// The transfer in progress. `size` 0 when unknown; the name only where the
// transfer tells one.
struct STransferProgress {
    std::string_view name;
    std::uint64_t size = 0;
    std::uint64_t received = 0;
    std::uint64_t bytesPerSecond = 0;
    bool finished = false;
};

// How a crawl ended, told once, as the crawl thread goes.
struct SCrawlOutcome {
    // False when the crawl was stopped before it began and nothing failed.
    bool began = false;
    std::uint32_t filesSaved = 0;
    // Why the grab failed; empty when it did not.
    std::string failure;
    bool stoppedByUser = false;
    // A transfer error ended the grab.
    bool abortedByError = false;
    std::int64_t elapsedSeconds = 0;
};

enum class ELogLine : std::int32_t {
    kNotice,   // what the user should see of the crawl's course
    kTrace,    // the detailed record: URLs, requests, responses, the summary
    kFailure,  // why the grab failed
};

class CCrawlListener {
public:
    virtual ~CCrawlListener() = default;

    // The crawl's current task ("Grab content").
    virtual void CrawlStatus(const std::string& text) = 0;
    // A line of the crawl's log. Yields.
    virtual void CrawlLog(const std::string& text, ELogLine kind) = 0;
    // Text for the log file only (the links found on a page).
    virtual void CrawlLogFileText(const std::string& text) = 0;
    // The crawl waits between two URLs; the text says how long.
    virtual void CrawlWaiting(const std::string& text) = 0;
    // A URL is about to be fetched.
    virtual void URLFetching(const std::string& url) = 0;
    // A URL is not fetched, and why.
    virtual void URLSkipped(const std::string& reason) = 0;
    // The server asked for a login, and the crawl tries the site login.
    virtual void RetryingWithLogin(const std::string& url) = 0;
    // The counters, before each URL of a level and when a URL's copy is
    // found up to date.
    virtual void CrawlProgress(const SCrawlProgress& progress) = 0;
    // The level loop begins; a level begins with `count` URLs; `done` URLs
    // of the level are through.
    virtual void LevelsBegin() = 0;
    virtual void LevelBegins(std::int32_t level, std::int32_t count) = 0;
    virtual void LevelURLDone(std::int32_t level, std::int32_t done) = 0;
    // The level loop is over (`stopped` by a stop request).
    virtual void LevelsEnd(bool stopped) = 0;

    // A transfer begins, and may be skipped until TransferSkippable(false).
    virtual void TransferBegins() = 0;
    virtual void TransferSkippable(bool skippable) = 0;
    // What the transfer itself reports ("Data available...").
    virtual void TransferStatus(const std::string& text) = 0;
    // On the crawl's thread.
    virtual void TransferProgress(const STransferProgress& progress) = 0;
    // On the transfer's own OS thread: an implementation queues what it shows.
    virtual void PostTransferProgress(const STransferProgress& progress) = 0;

    // The first file the crawl saved; `startHost` names the grab,
    // `withSiteMap` when the configuration generates a site map.
    virtual void FirstFileSaved(const CFileRef& file, const std::string& startHost, bool withSiteMap) = 0;
    // An image the media grabber grabbed.
    virtual void ImageGrabbed(const std::string& url) = 0;
    // The start or finish notification mail with its body is sent.
    virtual void NotificationMail(const std::string& body) = 0;
    // The crawl began running, or is done (at `clockSeconds`).
    virtual void CrawlStateChanged(ECrawlState state, std::int64_t clockSeconds) = 0;
    // The crawl thread is going away; last event of a crawl.
    virtual void CrawlEnded(CSiteIteratorThread* thread, const SCrawlOutcome& outcome) = 0;
};
