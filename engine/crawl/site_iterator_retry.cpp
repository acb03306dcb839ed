// Fetching one URL: the checks before the fetch, the attempts, the counters
// and the verdict; saved copies standing in for a fetch; the date check.
#include "engine/config/configuration.h"
#include "engine/crawl/site_iterator.h"
#include "engine/crawl/start_answer.h"
#include "engine/owner/crawl_listener.h"
#include "engine/url/url_type_extension.h"
#include "foundation/files/file.h"
#include "foundation/system/file_name_mappings.h"
#include "foundation/system/internet_config.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"
#include "foundation/threads/wait_seconds.h"

namespace {

// A saved page holds links rewritten for the mirror, some of them waiting
// for a correction that only the end of its crawl makes: it cannot stand in
// for the server's page, whose links a crawl follows and corrects (so a
// crawl that was cut short is repaired by the next one).
bool IsSavedPage(const CFileRef& file)
{
    const FileNameMapping* mapping = FindFileNameMappingForName(file.Name());
    return mapping != nullptr && BeginsWithNoCase(mapping->mimeType, "text/html");
}

// The folder `directory` is `top` or lies below it (case ignored).
bool IsDirectoryWithin(std::string_view directory, std::string_view top)
{
    if (!BeginsWithNoCase(directory, top)) return false;
    return directory.size() == top.size() || directory[top.size()] == '/';
}

// Listens to the user's Skip while a URL is fetched.
class CSkipButtonListening {
public:
    CSkipButtonListening(CBroadcaster* button, CListener* listener) : mButton(button), mListener(listener)
    {
        if (mButton != nullptr) mButton->AddListener(mListener);
    }
    ~CSkipButtonListening()
    {
        if (mButton != nullptr) mButton->RemoveListener(mListener);
    }
    CSkipButtonListening(const CSkipButtonListening&) = delete;
    CSkipButtonListening& operator=(const CSkipButtonListening&) = delete;

private:
    CBroadcaster* mButton;
    CListener* mListener;
};

}  // namespace

bool CSiteIterator::GrabWithRetry(CURL& url)
{
    const CGeneralOptions& general = mConfiguration->mGeneralOptions;
    mRedirectCount = 0;
    mListener.URLFetching(url.mURL);

    if (mOptions.StaysInFolder() && !mStartURL.mDirectory.empty()) {
        if (url.mDirectory.empty() || !IsDirectoryWithin(url.mDirectory, mStartURL.mDirectory)) {
            mListener.URLSkipped("Skipping URL outside starting folder");
            return false;
        }
    }
    if (!url.IsSameURL(mStartURL) && !mConfiguration->mGrabFilters.Evaluate(url)) return false;
    if (static_cast<std::int64_t>(url.mDirectoryComponents.size()) > general.directoryDepth) return false;
    if (general.saveAction < 0 || general.saveAction > 2) return false;

    ShowStatus("Grab content");
    CSkipButtonListening skip(mOptions.skipBroadcaster, this);
    const std::int32_t retries = mPreferences.messageRetries;
    const std::int32_t interval = mPreferences.retryInterval;
    bool ok = false;
    bool aborted = false;
    // A start URL the start check found silent has had its first attempt.
    const bool startUnanswered =
        url.mURL == mStartURL.mURL && TakeUnansweredStart(mCollaborators.startAnswer, url.mURL);
    for (std::int32_t attempt = 0; attempt <= retries; ++attempt) {
        if (attempt == 0 && startUnanswered) {
            LogLine("No answer from " + url.mURL + " within the time-out.");
            continue;
        }
        if (attempt > 0) {
            ShowStatus("The URL could not be grabbed. Retrying...");
            LogLine("The URL could not be grabbed. Will retry in " + std::to_string(interval) + " seconds. " +
                    (attempt == retries ? std::string("(Last attempt)")
                                        : "(Attempt " + std::to_string(attempt + 1) + ")"));
            WaitSeconds(static_cast<std::uint32_t>(interval));
            if (IsStopOrSkip()) {
                aborted = true;
                break;
            }
        }
        ok = FetchOnce(url);
        if (ok) break;
        // A transfer given up by the user is not tried again.
        if (IsStopOrSkip()) {
            aborted = true;
            break;
        }
    }
    return FinishFetch(url, ok, aborted);
}

// One attempt: a saved copy, or the network. A server error (5xx) counts as
// a failed attempt, so it is tried again.
bool CSiteIterator::FetchOnce(CURL& url)
{
    CFileRef file;
    if (LookForDiskFile(url, file) && !IsSavedPage(file)) return url.LoadFromFile(file) != 0;
    if (url.mURL == mStartURL.mURL && url.mPostBody.IsEmpty() && TakeStartAnswer(url)) return true;
    const char* userAgent = mConfiguration->mMiscOptions.userAgent.c_str();
    (void)FetchWithOwner(url, userAgent);
    return url.mFetchedOK != 0 && !(url.mStatusCode >= 500 && url.mStatusCode < 600);
}

// The counters, the response and the verdict. A transfer the user aborted
// is neither an error nor a success.
bool CSiteIterator::FinishFetch(CURL& url, bool ok, bool aborted)
{
    // The saved copy is current: neither a file grabbed nor an error.
    if (!aborted && ok && url.IsUnchangedAnswer()) return false;
    // A guess the server does not have is neither counted nor listed.
    if (mFetchingGuess && !aborted && IsMissingGuessAnswer(url.mStatusCode)) return false;
    ++mCounters.files;
    mCounters.bytes += url.mBody.Length();
    if (mOptions.transfer == ECrawlTransfer::kGrabThread)
        mCounters.bytes += static_cast<std::uint64_t>(url.mRawHeader.Length());
    if (aborted) return false;

    ProcessResponse(url, ok);
    const std::int32_t status = url.mStatusCode;
    if (ok && status == 200 && url.mURL == mStartURL.mURL) NoteStartTypeExtension(url);
    if (ok && (status == 200 || status == 301 || status == 302)) {
        if (mPreferences.preview && mPreferences.previewIn == 2 && BeginsWithNoCase(url.mContentType, "text")) {
            CInternetConfig internetConfig(kTidewellCreator);
            if (internetConfig.Start() == 0) {
                (void)internetConfig.LaunchURL(url.mURL);
                (void)internetConfig.Stop();
            }
        }
        return true;
    }
    ++mCounters.errors;
    if (mConfiguration->mMiscOptions.errorLinks) mReports.AddErrorURL(url.mURL, url.mParentURL);
    return false;
}

// A start URL whose file name has no extension is saved with the one its
// Content-Type calls for.
void CSiteIterator::NoteStartTypeExtension(const CURL& url)
{
    if (HasStartForm() || url.mHasData || url.mFileName.empty() || !url.mExtension.empty()) return;
    CSiteIndex::Item& item = mSiteIndex.FindOrAdd(mStartURL.mURL);
    if (item.second.pathDecided) return;
    item.second.fileName = URLDecode(url.mFileName + ExtensionForContentType(url.mContentType));
    mSaving.AssignLocalPath(item, mStartURL);
    item.second.pathDecided = true;
}

bool CSiteIterator::LookForDiskFile(const CURL& url, CFileRef& file)
{
    if (!mPreferences.loadURLsFromDisk) return false;
    ShowStatus("Looking for url disk file");
    return mSaving.FindSavedFile(url, file);
}

// A HEAD with the site login for the start host only.
bool CSiteIterator::FetchHeadQuietly(CURL& url)
{
    const CGeneralOptions& general = mConfiguration->mGeneralOptions;
    const bool startHost = EqualsNoCase(url.mHost, mStartHost);
    return url.FetchHead(mUserAgent.c_str(), startHost ? general.name.c_str() : "",
                         startHost ? general.password.c_str() : "", general.timeout) != 0;
}

bool CSiteIterator::CompareModificationDates(CURL& url)
{
    if (mSaving.IsBeforeFirstSave()) return true;
    const CGeneralOptions& general = mConfiguration->mGeneralOptions;
    CURL head(url.mURL);
    if (!FetchHeadQuietly(head)) return true;
    // Pages that will be crawled are always fetched, for their links.
    if (mConfiguration->mCrawlFilters.Evaluate(head) && SiteOf(head.mHost) == mStartSiteDomain &&
        (head.mHost == mStartHost || general.crawlSecondaryDomains))
        return true;
    ShowStatus("Comparing modification dates");
    if (general.localPath.IsEmpty()) return true;
    CFileRef file;
    if (!mSaving.FindSavedFile(url, file)) return true;
    std::int64_t seconds = 0;
    if (CFile::GetModificationSeconds(file, seconds).Failed()) return true;
    return seconds != head.mModificationSeconds;
}

bool CSiteIterator::FindConditionalCopy(const CURL& url, CFileRef& file, std::int64_t& seconds)
{
    if (mSaving.IsBeforeFirstSave() || url.mScheme == kSchemeFTP || !url.mPostBody.IsEmpty()) return false;
    if (mConfiguration->mGeneralOptions.localPath.IsEmpty()) return false;
    if (!mSaving.FindSavedFile(url, file) || IsSavedPage(file)) return false;
    std::int64_t modified = 0;
    if (CFile::GetModificationSeconds(file, modified).Failed() || modified <= 0) return false;
    seconds = modified;
    return true;
}

void CSiteIterator::KeepUpToDateCopy(CURL& url, const CFileRef& file)
{
    ShowStatus("File is up to date");
    LogTrace([] { return std::string("File is up to date"); });
    if (mRedirectChain.back() != url.mURL) mRedirectChain.push_back(url.mURL);
    NoteSaved(file);
    MarkVisited(url);
    ShowProgress();
}

// The start page as the start check read it: one request for it, not two.
// Its headers are read here, so that its cookies go to this crawl's store.
bool CSiteIterator::TakeStartAnswer(CURL& url)
{
    std::string rawHeader;
    std::string body;
    if (!TakeFetchedStart(mCollaborators.startAnswer, url.mURL, rawHeader, body)) return false;
    CLDynamicBuffer answer;
    if (!answer.AppendBytes(body.data(), body.size())) return false;
    AttachOwner(url);
    url.mBody = std::move(answer);
    url.mRawHeader.Assign(std::string_view(rawHeader));
    url.ReadResponseHeaders(rawHeader);
    url.mFetchedOK = 1;
    return url.mStatusCode == 200;
}

void CSiteIterator::AttachOwner(CURL& url)
{
    if (mOptions.transfer == ECrawlTransfer::kGrabThread) url.mGrabOwner = this;
    else url.mRequestOwner = this;
    url.mListener = &mListener;
}

// The site login goes to the start host only (the owner's rule).
bool CSiteIterator::FetchWithOwner(CURL& url, const char* userAgent)
{
    if (mOptions.transfer == ECrawlTransfer::kGrabThread) return url.GrabWithLogin(this, &mListener, userAgent) != 0;
    return url.FetchAuthorized(this, &mListener, userAgent, mConfiguration->mGeneralOptions.timeout) != 0;
}
