// CSiteIterator: the crawl driver. One object per running grab, made and
// owned by the crawl thread (site_iterator_thread.h); it holds every piece of
// state of one crawl and runs it breadth first, level by level, telling one
// listener (crawl_listener.h) what happens. It is the owner its own
// requests ask for the configuration, the cookies and the start host.
//
// Its work is split over the files named after each part:
//   site_iterator_setup.cpp      construction, set-up, Crawl and Stop
//   site_iterator_levels.cpp     the level loop, the pause between URLs
//   site_iterator_onsite.cpp     the on-site test and the visited set
//   site_iterator_process.cpp    the treatment of one URL
//   site_iterator_retry.cpp      fetching with retries, saved copies, dates
//   site_iterator_response.cpp   META refresh, redirects, authorization
//   site_iterator_links.cpp      the links of a page: next level, link paths
//   site_iterator_rewrite.cpp    the page's scripts and links before saving
//   site_iterator_progress.cpp   status texts, log lines, counters, progress
//
// Four jobs are classes of their own, one member each: the level lists and
// the queueing of links (crawl_levels.h), the names and the saving of files
// in the mirror (crawl_saving.h), the reports (crawl_reports.h) and the
// relinking of saved pages (crawl_relinking.h).
//
// Performance: the crawl is sequential; look-ups of URLs (visited, queued,
// linked) are one hash look-up in the site index; the lists that reports
// need in order have hash sets beside them; each page is read and rewritten
// in single linear passes; the preferences are read once per crawl.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/cookies/cookie_store.h"
#include "engine/crawl/crawl_preferences.h"
#include "engine/crawl/crawl_collaborators.h"
#include "engine/crawl/crawl_levels.h"
#include "engine/crawl/crawl_options.h"
#include "engine/crawl/crawl_relinking.h"
#include "engine/crawl/crawl_reports.h"
#include "engine/crawl/crawl_saving.h"
#include "engine/crawl/site_index.h"
#include "engine/html/link_record.h"
#include "engine/html/mirror_links.h"
#include "engine/html/page_context.h"
#include "engine/html/text_hash.h"
#include "engine/owner/crawl_listener.h"
#include "engine/url/url_record.h"
#include "foundation/errors/status.h"
#include "foundation/files/file_ref.h"
#include "foundation/messaging/broadcaster.h"

class CConfiguration;
class CHTMLPage;
class CProgressMailTimer;
class CThread;

class CSiteIterator : public CPageContext, public CListener, public CCrawlOwner {
public:
    // The listener must outlive the driver.
    CSiteIterator(CCrawlListener& listener, const SCrawlOptions& options, CConfiguration* configuration,
                  const CURL& startURL, CCrawlCollaborators collaborators);
    ~CSiteIterator() override;
    CSiteIterator(const CSiteIterator&) = delete;
    CSiteIterator& operator=(const CSiteIterator&) = delete;

    // Set-up and the level loop -----------------------------------------------
    // The set-up that may use the network (a HEAD of the start URL). The
    // constructors leave it to the caller, so that the crawl thread holds
    // the driver, and can pass a stop to it, before any request is made.
    void Init(CConfiguration* configuration, const CURL& startURL);
    // The whole crawl. A stop requested through Stop ends it early with its
    // summary and reports; a stop of the thread itself (quitting) and the
    // transfer layer's errors pass through.
    void Crawl();
    void CrawlLevels(CURL& startURL);
    [[nodiscard]] bool IsOnSite(const CURL& url);
    // The URL's host is the start host, or belongs to the start site
    // (hosts compared in their identity form).
    [[nodiscard]] bool IsStartHost(const CURL& url);
    [[nodiscard]] bool IsStartSite(const CURL& url);
    // Both the preference and the configuration allow off-site URLs.
    [[nodiscard]] bool GrabsOffsiteURLs() const;
    [[nodiscard]] bool IsVisited(std::string_view url) const { return mSiteIndex.IsVisited(url); }
    void MarkVisited(const CURL& url);
    void Pause(std::int32_t seconds);
    void ShowProgress();
    // Sets the stop request (and the aborted-by-error flag when `byError`),
    // aborts the transfer in progress and ends any wait of the crawl. Safe
    // at any moment, from the side that shows the crawl.
    void Stop(bool byError);

    // One URL -------------------------------------------------------------------
    void ProcessURL(CURL& url, std::int32_t level, std::int32_t index);
    [[nodiscard]] bool GrabWithRetry(CURL& url);
    void ProcessResponse(CURL& url, bool& ok);
    // Sorts the links of a page into the next level, the link paths and the
    // offsite list.
    // `items`, when given, receives the index entry of each link, in order
    // (null for those a stop left unexamined).
    void ExamineExtractedURLs(const CURL& page, const std::vector<CLinkRecord>& links,
                              std::vector<CSiteIndex::Item*>* items = nullptr);
    // True when the URL must be fetched; false when the saved copy is up to date.
    [[nodiscard]] bool CompareModificationDates(CURL& url);
    // The date check by one conditional GET: the saved copy of the URL when
    // it may stand in for an unchanged answer (not the first URL, not a
    // page), with its date in `seconds`.
    bool FindConditionalCopy(const CURL& url, CFileRef& file, std::int64_t& seconds);
    // The saved copy answered for the URL (the server said it is unchanged).
    void KeepUpToDateCopy(CURL& url, const CFileRef& file);
    [[nodiscard]] bool LookForDiskFile(const CURL& url, CFileRef& file);
    void LogRequest(const CURL& url);

    // Page post-processing --------------------------------------------------------
    // Decides where the file of an on-site link lies in the mirror, once per
    // URL: a generated name for a dynamic URL, a type extension or a folder
    // index found by CheckLinkType.
    void RecordLinkPath(const CLinkRecord& link);
    // A HEAD for a link without an extension (checkForRedirection): true
    // when it is a folder; otherwise `typeExtension` receives the extension
    // its Content-Type maps to, when one does.
    [[nodiscard]] bool CheckLinkType(const CURL& linkURL, std::string& typeExtension);
    // Whether the crawl will GET an on-site URL it has just queued: then its
    // own response tells what a HEAD would (a folder's redirect is followed,
    // its Content-Type names the file), and no HEAD is sent.
    [[nodiscard]] bool WillFetchQueued(const CURL& url) const;
    // RemoveJavaScript, then RelinkURLs, RemapURLs and RemapSecondaryHosts as
    // one pass over the page's links.
    void PostProcessPage(CURL& url, const CHTMLPage& page, bool relink, bool remap, bool remapHosts);

    // Reports ---------------------------------------------------------------------------
    // The site map of what this crawl saved, in the configuration's log folder.
    void GenerateSiteMap(bool openAfterwards);

    // CPageContext ---------------------------------------------------------------------
    const CConfiguration& Configuration() const override { return *mConfiguration; }
    [[nodiscard]] bool IsStopRequested() const override { return mStopRequested; }
    // The listener's CrawlStatus.
    void ShowStatus(const std::string& text) override;
    void AddEmailAddress(const std::string& address, const std::string& anchorText) override
    {
        mReports.AddEmailAddress(address, anchorText);
    }
    [[nodiscard]] bool IsMediaMode() const override { return mOptions.mediaMode; }
    void Yield() override;

    // CListener: the Skip button and the URL in progress.
    void ListenToMessage(MessageT message, void* ioParam) override;

    // CCrawlOwner, for the crawl's own requests ---------------------------------------
    const CConfiguration* GetConfiguration() const override { return mConfiguration; }
    CCookieStore* GetRunningCookieStore() override { return RunningCookieStore(); }
    std::string GetStartHost() const override { return mStartHost; }
    CBroadcaster* GetSkipBroadcaster() override { return mOptions.skipBroadcaster; }

    // For the crawl thread, whoever shows the crawl, and the tests ------------------
    CCookieStore& Cookies() { return mCookies; }
    // Null unless the configuration keeps cookies.
    CCookieStore* RunningCookieStore();
    const std::string& StartHost() const { return mStartHost; }
    const CURL& StartURL() const { return mStartURL; }
    [[nodiscard]] bool IsAbortedByError() const { return mAbortedByError; }
    // Why the grab failed (the start URL gave nothing, or the mirror cannot
    // be written); empty when it did not.
    const std::string& FailureText() const { return mFailure; }
    const CCrawlCounters& Counters() const { return mCounters; }
    [[nodiscard]] std::int32_t Level() const { return mLevels.Level(); }
    [[nodiscard]] std::int32_t Index() const { return mLevels.Index(); }
    [[nodiscard]] std::int32_t LevelSize() const { return mLevels.LevelSize(); }
    [[nodiscard]] std::int32_t NextLevelSize() const { return mLevels.NextLevelSize(); }
    // The lists gathered for the reports, and the report files.
    CCrawlReports& Reports() { return mReports; }
    // The links of saved pages, and their correction at the end.
    CCrawlRelinking& Relinking() { return mRelinking; }
    CCrawlListener& Listener() const { return mListener; }
    const SCrawlOptions& Options() const { return mOptions; }
    // Where the crawl stands now.
    SCrawlProgress Progress() const;
    // The progress mail's texts and picture.
    std::string ProgressMailElapsedText() const;
    const CCrawlCollaborators& Collaborators() const { return mCollaborators; }

private:
    friend class CProgressMailTimer;

    void Construct(CConfiguration* configuration, const CURL& startURL);
    void ApplyModeOverrides();
    void StartProgressMail();
    void StopProgressMail();
    void SendCompletionMail();

    // A notice in the log.
    void LogLine(const std::string& text);
    // A line of the detailed record, made only when the log keeps one.
    template <typename MakeText>
    void LogTrace(MakeText&& makeText)
    {
        if (mOptions.detailedLog) mListener.CrawlLog(makeText(), ELogLine::kTrace);
    }
    [[nodiscard]] bool IsStopOrSkip() const { return mStopRequested || mSkipRequested; }
    const std::string& SiteOf(const std::string& hostAndPort);

    // Fetching
    // The URL's requests are this crawl's, told to its listener.
    void AttachOwner(CURL& url);
    // A GET (or POST) of the URL by the crawl's kind of transfer.
    [[nodiscard]] bool FetchWithOwner(CURL& url, const char* userAgent);
    [[nodiscard]] bool FetchOnce(CURL& url);
    [[nodiscard]] bool FinishFetch(CURL& url, bool ok, bool aborted);
    // An answer that says the server does not have a guessed URL.
    [[nodiscard]] static bool IsMissingGuessAnswer(std::int32_t status);
    // The links of a page loaded from its saved copy, as the URLs they stand
    // for: a link this program made local names a file of the mirror,
    // whose URL is given back instead of a resolution against the web.
    std::vector<CLinkRecord> LinksOfSavedCopy(const CURL& url, const std::vector<CLinkRecord>& links);
    void NoteStartTypeExtension(const CURL& url);
    [[nodiscard]] bool HasStartForm() const;
    [[nodiscard]] bool SubmitStartForm(CURL& url);
    [[nodiscard]] bool IsRedirectFollowed(const CURL& target);
    [[nodiscard]] bool FetchHeadQuietly(CURL& url);
    [[nodiscard]] bool TakeStartAnswer(CURL& url);
    void ReportSaveFailure(const CURL& url, const CStatus& status);
    // A fetched body that could not be read back from its spill file.
    void ReportUnreadableBody(const CURL& url);

    // Links
    // `parsed`, when given, is the entry's URL (item.first) already parsed.
    void DecideLinkPath(CSiteIndex::Item& item, const CURL* parsed = nullptr);
    // Where the URL in progress (and those that redirected to it) is saved.
    void NoteSaved(const CFileRef& file);

    CCrawlListener& mListener;
    const SCrawlOptions mOptions;

    CConfiguration* mConfiguration = nullptr;
    CCrawlPreferences mPreferences;
    std::string mUserAgent;

    // URLs
    CSiteIndex mSiteIndex;
    // The index entries of the links of the page being treated, for its
    // rewriting (see SPageRelinking::linkItems); empty for none.
    std::vector<CSiteIndex::Item*> mPageLinkItems;
    CCrawlLevels mLevels{mSiteIndex};

    // Every host the on-site test met, and the hosts the configuration lets
    // the crawl grab off-site.
    std::vector<std::string> mHostsSeen;
    TextSet mHostsSeenIndex;
    TextSet mAllowedOffsiteHosts;
    // host[:port] -> its site (SiteDomain), computed once per host.
    TextMap<std::string> mSiteByHost;
    CCookieStore mCookies;
    CCrawlSaving mSaving{mListener, mConfiguration, mOptions.flatten, mSiteIndex,
                         mPreferences, mCounters, mUserAgent, mStartHost};

    CCrawlRelinking mRelinking{mListener, mSiteIndex};

    // The crawl's course
    CURL mStartURL;
    std::string mStartHost;
    std::string mStartDomain;      // the start site, or the start host without secondary domains
    std::string mStartSiteDomain;  // the start site in every case
    std::string mStartHostKey;     // the start host in identity form, once computed
    std::string mStartSiteKey;     // its site
    // The URL being fetched is queued only as a guess of the dotted-link
    // scan: one the server does not have is neither an error nor a page of
    // the crawl.
    bool mFetchingGuess = false;
    // The last response's body could not be read back: the URL is neither
    // read for links nor saved.
    bool mBodyUnreadable = false;
    // The URLs the URL in progress passed through (itself first), and a
    // visited page that a redirect that was not followed pointed at.
    std::vector<std::string> mRedirectChain;
    std::string mRedirectTarget;
    std::uint16_t mRedirectCount = 0;
    bool mStopRequested = false;
    bool mAbortedByError = false;
    std::string mFailure;
    bool mSkipRequested = false;
    CURL* mURLInProgress = nullptr;
    CThread* mCrawlThread = nullptr;
    std::int64_t mStartTime = 0;
    std::int64_t mLastTime = 0;
    CCrawlCounters mCounters;
    CCrawlCollaborators mCollaborators;
    CCrawlReports mReports{mListener, mStartHost};
    std::unique_ptr<CProgressMailTimer> mProgressMail;
};
