// CCrawlReports: what a crawl gathers only to report it (harvested e-mail
// addresses, error, unauthorized and offsite URLs) and the report files
// written from it in the configuration's log folder, each named after the
// start host: the site map, the addresses, the error and offsite lists, the
// cookie file read before the crawl and written after it, and the summary
// lines of the log. The crawl hands it what it reads (site index, options,
// cookie store) at each call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/crawl/crawl_counters.h"
#include "engine/html/text_hash.h"
#include "foundation/errors/status.h"

class CCookieStore;
class CCrawlListener;
class CSiteIndex;
struct CMiscOptions;
struct SCrawlOptions;

class CCrawlReports {
public:
    // Both must outlive the reports; `startHost` names the report files and
    // may change until the first report is written.
    CCrawlReports(CCrawlListener& listener, const std::string& startHost);
    CCrawlReports(const CCrawlReports&) = delete;
    CCrawlReports& operator=(const CCrawlReports&) = delete;

    // What the crawl meets -----------------------------------------------------
    // An address met again keeps its place and takes the newest anchor text.
    void AddEmailAddress(const std::string& address, const std::string& anchorText);
    [[nodiscard]] std::size_t EmailCount() const { return mEmailAddresses.size(); }
    // Each list keeps the order of first meeting and lists a URL once
    // (errors excepted: every failure with its referrer).
    void AddOffsiteURL(const std::string& url)
    {
        if (mOffsiteIndex.insert(url).second) mOffsiteURLs.push_back(url);
    }
    void AddErrorURL(const std::string& url, const std::string& referrer) { mErrorURLs.emplace_back(url, referrer); }
    void AddUnauthorizedURL(const std::string& url)
    {
        if (mUnauthorizedIndex.insert(url).second) mUnauthorizedURLs.push_back(url);
    }

    // The report files ---------------------------------------------------------
    // The saved URLs of the index as a tree of folders, in ".sitemap.html".
    void GenerateSiteMap(const CSiteIndex& index, const CMiscOptions& misc, bool openAfterwards);
    void SaveEmailAddresses(const std::string& folder);
    void WriteErrorReport(const std::string& folder);
    void WriteOffsiteReport(const std::string& folder);
    void SaveCookies(const std::string& folder, const CCookieStore& cookies);
    // Adds the last session's cookies to `cookies`; the file's status.
    CStatus LoadCookies(const std::string& folder, CCookieStore& cookies);
    // The end of the crawl: the summary lines of a detailed log (`failure`
    // empty for a grab that worked) and the link reports the options ask for.
    void WriteSummary(const SCrawlOptions& options, const CMiscOptions& misc, const std::string& failure,
                      const CCrawlCounters& counters, std::int64_t elapsedSeconds);
    // "<folder>/<start host with ':' as '-'><suffix>"; empty without a folder.
    std::string ReportPath(const std::string& folder, const char* suffix) const;

private:
    // Writes a report file; a failure is logged.
    void WriteReport(const std::string& path, std::string_view text);
    void ReportWriteOutcome(const std::string& path, const CStatus& status);
    void ShowStatus(const std::string& text);
    void LogLine(const std::string& text);

    CCrawlListener& mListener;
    const std::string& mStartHost;
    std::vector<std::pair<std::string, std::string>> mEmailAddresses;  // address, anchor text
    TextMap<std::size_t> mEmailIndex;  // address -> its place in mEmailAddresses
    std::vector<std::string> mOffsiteURLs;
    TextSet mOffsiteIndex;
    std::vector<std::pair<std::string, std::string>> mErrorURLs;  // URL, referrer
    std::vector<std::string> mUnauthorizedURLs;
    TextSet mUnauthorizedIndex;
};
