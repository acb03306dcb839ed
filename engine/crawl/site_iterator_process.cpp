// What the crawl does with one URL of a level.
#include <cstring>
#include <memory>

#include "engine/config/configuration.h"
#include "engine/crawl/form_submission.h"
#include "engine/crawl/grab_failure.h"
#include "engine/crawl/site_iterator.h"
#include "engine/owner/crawl_listener.h"
#include "engine/html/html_page.h"
#include "engine/html/page_kind.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

// The page context of a page whose links are rewritten but not followed
// (the last level): it harvests no addresses.
class CLastLevelContext : public CPageContext {
public:
    explicit CLastLevelContext(CPageContext& crawl) : mCrawl(crawl) {}
    const CConfiguration& Configuration() const override { return mCrawl.Configuration(); }
    bool IsStopRequested() const override { return mCrawl.IsStopRequested(); }
    void ShowStatus(const std::string& text) override { mCrawl.ShowStatus(text); }
    void AddEmailAddress(const std::string&, const std::string&) override {}
    bool IsMediaMode() const override { return mCrawl.IsMediaMode(); }
    void Yield() override { mCrawl.Yield(); }

private:
    CPageContext& mCrawl;
};

// The media type's Content-Type prefix (1 images, 2 movies, 3 PDF).
const char* MediaContentPrefix(std::int32_t mediaType)
{
    switch (mediaType) {
    case 1: return "image";
    case 2: return "video";
    case 3: return "application/pdf";
    default: return nullptr;
    }
}

}  // namespace

bool CSiteIterator::HasStartForm() const
{
    const CFormOptions& form = mConfiguration->mFormOptions;
    return !form.inputItemList.IsEmpty() && (!form.formActionURL.IsEmpty() || !form.formURL.IsEmpty());
}

void CSiteIterator::ProcessURL(CURL& url, std::int32_t level, std::int32_t index)
{
    const CGeneralOptions& general = mConfiguration->mGeneralOptions;
    const bool isStart = level == 0 && index == 0;
    mSkipRequested = false;
    mBodyUnreadable = false;
    mRedirectChain.clear();
    mRedirectChain.push_back(url.mURL);
    mRedirectTarget.clear();
    mRelinking.BeginURL();

    // 1. The date check: a saved copy that is not a page is asked for only
    // when the server has a newer one (pages are always fetched, for their
    // links).
    CFileRef conditionalCopy;
    url.mIfModifiedSince = 0;
    if (general.checkFileModificationDates == 1 && !(isStart && HasStartForm()))
        FindConditionalCopy(url, conditionalCopy, url.mIfModifiedSince);

    // 2. Fetch, or submit the configuration's form in place of the start URL.
    // A guess of the dotted-link scan that the server does not have is
    // neither an error nor a page: it is dropped, never to be asked again.
    mFetchingGuess = !isStart && mLevels.TakeGuess(url.mURL);
    bool ok = isStart && HasStartForm() ? SubmitStartForm(url) : GrabWithRetry(url);
    const bool upToDate = url.mFetchedOK && url.IsUnchangedAnswer();
    url.mIfModifiedSince = 0;
    if (upToDate) {
        KeepUpToDateCopy(url, conditionalCopy);
        return;
    }
    // A start URL that was asked for and gave nothing fails the grab; one
    // the user gave up on does not.
    if (isStart && !ok && !IsStopOrSkip() && (url.mStatusCode != 0 || !url.mFailureText.empty()))
        mFailure = StartURLFailureText(url);
    const bool missingGuess = mFetchingGuess && !ok && IsMissingGuessAnswer(url.mStatusCode);
    mFetchingGuess = false;
    if (missingGuess) {
        if (mRedirectChain.back() != url.mURL) mRedirectChain.push_back(url.mURL);
        mRelinking.NoteNotSaved(mRedirectChain);
        for (const std::string& chained : mRedirectChain)
            mSiteIndex.FindOrAdd(chained).second.linkKind = ELinkSite::kDropped;
        ShowProgress();
        return;
    }

    CFileRef savedFile;
    bool saved = false;
    const bool redirected = url.mStatusCode >= 300 && url.mStatusCode < 400;
    if (ok && url.mFetchedOK && !redirected) {
        // 4. The slide show of the media grabber.
        if (mOptions.mediaMode && mOptions.mediaType == 1 && BeginsWithNoCase(url.mContentType, "image"))
            mListener.ImageGrabbed(url.mURL);

        // 5. Whether the page's links are followed.
        Yield();
        const bool crawl = mConfiguration->mCrawlFilters.Evaluate(url);
        bool extract = crawl && IsStartSite(url) && (IsStartHost(url) || general.crawlSecondaryDomains);
        // A page is read whole to find its links: one over the cap is saved
        // as it came, so memory stays bounded whatever the pages.
        if (extract && url.mBody.Length() > mPreferences.maxPageBytesForLinks) {
            extract = false;
            LogLine("Saved without looking for links (larger than " +
                    std::to_string(mPreferences.maxPageBytesForLinks >> 20) + " MB): " + url.mURL);
        }
        const bool lastLevel = level >= general.linkDepth - 1;
        const bool relink = general.relinkURLs && !mOptions.mediaMode;
        const bool remap = general.remapURLs != 0;
        const bool remapHosts = general.remapSecondaryDomains && !mOptions.mediaMode &&
                                (mPreferences.allowSecondaryDomains || GrabsOffsiteURLs());
        // Only pages and style sheets are rewritten for the mirror.
        const EPageKind kind = PageKindOf(url.mContentType, url.mFileName);
        const bool rewritable = kind == EPageKind::kPage || kind == EPageKind::kStyleSheet;
        const bool rewrite =
            !url.mHasData && rewritable && (relink || remap || remapHosts || general.removeJavaScript);

        // 6. Links: the next level (not from the last level, whose pages are
        // still rewritten so that their links work from disk too).
        std::unique_ptr<CHTMLPage> page;
        mPageLinkItems.clear();
        CLastLevelContext lastLevelContext(*this);
        bool unreadable = mBodyUnreadable;
        if (!unreadable && extract && (!lastLevel || rewrite)) {
            page = std::make_unique<CHTMLPage>(mConfiguration->mDelimiters, url, mOptions.onePage,
                                               lastLevel ? static_cast<CPageContext*>(&lastLevelContext) : this);
            unreadable = !page->BodyWasRead();
        }
        if (page && !unreadable) {
            if (!lastLevel) {
                ShowStatus("Extracting url's");
                // A saved copy holds the links as this program wrote them.
                if (url.mHasData) ExamineExtractedURLs(url, LinksOfSavedCopy(url, page->LinkRecords()));
                else ExamineExtractedURLs(url, page->LinkRecords(), &mPageLinkItems);
                if (mOptions.listExtractedURLs) {
                    static constexpr const char* kRule = "\r_________________________________\r";
                    std::string list = "The following URLs have been extracted from " + url.mURL + kRule;
                    for (const CLinkRecord& link : page->LinkRecords()) list += link.mLink + "\r";
                    list += kRule;
                    mListener.CrawlLogFileText(list);
                }
            }
            ShowStatus("Postprocessing url");
            if (rewrite) PostProcessPage(url, *page, relink, remap, remapHosts);
        }

        // 7. and 8. Saving; a copy loaded from disk is already saved. A body
        // that cannot be read back is neither saved nor taken for an empty one.
        if (unreadable) {
            ReportUnreadableBody(url);
        } else if (url.mHasData) {
            saved = mSaving.FindSavedFile(url, savedFile);
        } else {
            bool save = isStart;
            if (!save) {
                const char* media = mOptions.mediaMode ? MediaContentPrefix(mOptions.mediaType) : nullptr;
                save = (media == nullptr || BeginsWithNoCase(url.mContentType, media)) &&
                       mConfiguration->mSaveFilters.Evaluate(url);
            }
            // With saving off a page is fetched and read but never saved,
            // which is no failure.
            if (general.saveAction != 1 && general.saveAction != 2) save = false;
            if (save) {
                saved = mSaving.FindSameFolderPage(url, savedFile);
                if (!saved) {
                    const CStatus status = mSaving.SaveURL(url, savedFile);
                    saved = status.Ok();
                    if (!saved) ReportSaveFailure(url, status);
                }
            }
        }
        page.reset();
    }

    // 9. The visited set, and where links to these URLs lead now.
    ShowStatus("Updating site map");
    if (!url.mURL.empty() && mRedirectChain.back() != url.mURL) mRedirectChain.push_back(url.mURL);
    if (saved) {
        // The page just saved may link to places whose files are not there yet.
        if (mRelinking.HasPendingTargets())
            mRelinking.RegisterSavedPage(savedFile.Path(), mSaving.Mirror().PathFromRoot(savedFile));
        NoteSaved(savedFile);
    } else if (const CSiteIndex::Item* target = mRedirectTarget.empty() ? nullptr : mSiteIndex.Find(mRedirectTarget);
               target != nullptr && target->second.state == ETargetState::kSaved) {
        // A redirect to a page saved before: links to these URLs open it.
        const std::string path = target->second.localPath;
        for (const std::string& chained : mRedirectChain)
            mRelinking.SettleEntry(mSiteIndex.FindOrAdd(chained), &path);
    } else {
        mRelinking.NoteNotSaved(mRedirectChain);
    }
    mRelinking.BeginURL();
    for (const std::string& chained : mRedirectChain) {
        if (chained == url.mURL) continue;
        CURL passed(chained);
        mSiteIndex.MarkVisited(chained, passed.mDirectoryComponents, url.mTitle);
    }
    MarkVisited(url);
    ShowProgress();
}

bool CSiteIterator::IsMissingGuessAnswer(std::int32_t status)
{
    return status >= 400 && status != 401 && status != 407;
}

void CSiteIterator::ReportSaveFailure(const CURL& url, const CStatus& status)
{
    ++mCounters.errors;
    LogLine("The file could not be saved: " + url.mURL + " (" + status.Text() + ")");
    if (mConfiguration->mMiscOptions.errorLinks) mReports.AddErrorURL(url.mURL, url.mParentURL);
    // Every later save would fail alike: the grab ends here rather than
    // fetch a whole site to save none of it.
    const std::string folder = mConfiguration->mGeneralOptions.localPath.c_str();
    if (mFailure.empty() && IsDownloadFolderUnusable(folder, status.Code())) {
        mFailure = DownloadFolderFailureText(folder, status.Code());
        mStopRequested = true;
    }
}

void CSiteIterator::ReportUnreadableBody(const CURL& url)
{
    ++mCounters.errors;
    LogLine("The downloaded file could not be read back: " + url.mURL);
    if (mConfiguration->mMiscOptions.errorLinks) mReports.AddErrorURL(url.mURL, url.mParentURL);
}

// Where the URL in progress (and the URLs that redirected to it) is saved
// now: links to it open that file.
void CSiteIterator::NoteSaved(const CFileRef& file)
{
    mRelinking.NoteSaved(mRedirectChain, mSaving.Mirror().PathFromRoot(file));
}

bool CSiteIterator::SubmitStartForm(CURL& url)
{
    const CFormOptions& form = mConfiguration->mFormOptions;
    CTextBuffer query;
    BuildFormQuery(form.inputItemList, query);
    const std::string target = !form.formActionURL.IsEmpty() ? form.formActionURL.c_str() : form.formURL.c_str();
    const std::string parent = url.mParentURL;
    url.ResetToURL(target);
    url.mParentURL = parent;
    AttachOwner(url);
    mRedirectCount = 0;
    CTextBuffer answer;
    const bool ok =
        SubmitForm(url, query, mConfiguration->mMiscOptions.userAgent.c_str(), form.method, answer);
    if (!ok) {
        ShowStatus("The form submission failed.");
        LogLine("The form submission failed.");
    }
    return FinishFetch(url, ok, false);
}
