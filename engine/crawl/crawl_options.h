// How one crawl runs beyond its configuration: chosen by whoever starts it
// and handed to the crawl at start, read once (but for the stay-in-folder flag).
#pragma once

#include <cstdint>

class CBroadcaster;

// How the crawl's own requests run and report.
enum class ECrawlTransfer : std::int32_t {
    // A grab thread on the crawl's side: name, size and bytes as they come,
    // skippable, the response header counted with the bytes.
    kGrabThread,
    // A request whose progress (bytes, rate) is posted from its OS thread.
    kPostedProgress,
};

struct SCrawlOptions {
    ECrawlTransfer transfer = ECrawlTransfer::kGrabThread;
    // The detailed record in the log: the start URL, each URL and its
    // request and response, URLs met again, the summary.
    bool detailedLog = true;
    // The error and off-site link reports at the end.
    bool linkReports = true;
    // The start and finish notification mails, when the configuration asks.
    bool notificationMails = true;
    // The links found on each page, in the log file.
    bool listExtractedURLs = false;
    // Only URLs below the start URL's folder are grabbed while the flag it
    // points to is set. Asked at every URL, since a window's check box may
    // change while its crawl runs; the flag outlives the crawl. Null: off.
    const bool* stayInFolder = nullptr;
    // "Download One Page": the start page and what it contains.
    bool onePage = false;
    // Media only: `mediaLevels` deep (1, 2, or 3 for all), keeping
    // `mediaType` (1 images) only, off-site too, with a slide show of the
    // images (ImageGrabbed).
    bool mediaMode = false;
    std::int32_t mediaLevels = 1;
    std::int32_t mediaType = 1;
    // "Flatten When Saving": no folder per host.
    bool flatten = false;
    // Broadcasts kMsgSkip to skip the transfer in progress; may be null.
    CBroadcaster* skipBroadcaster = nullptr;

    [[nodiscard]] bool StaysInFolder() const { return stayInFolder != nullptr && *stayInFolder; }
};

// A crawl told in full: the grab thread's transfers, the detailed log, the
// link reports and the notification mails (the defaults).
inline SCrawlOptions DetailedCrawlOptions() { return {}; }

// A crawl told in brief: requests that post their progress, no detailed
// log, reports or notification mails, the links found listed in the log file.
inline SCrawlOptions BriefCrawlOptions()
{
    SCrawlOptions options;
    options.transfer = ECrawlTransfer::kPostedProgress;
    options.detailedLog = false;
    options.linkReports = false;
    options.notificationMails = false;
    options.listExtractedURLs = true;
    return options;
}
