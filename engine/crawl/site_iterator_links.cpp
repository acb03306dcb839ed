// The links of a fetched page: which go to the next level, which to the
// offsite list, and where the file of each on-site link will lie.
#include "engine/config/configuration.h"
#include "engine/crawl/generated_names.h"
#include "engine/crawl/site_iterator.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr std::size_t kLinksPerStatus = 50;

}  // namespace

void CSiteIterator::ExamineExtractedURLs(const std::vector<CLinkRecord>& links)
{
    ShowStatus("Examining extracted URLs");
    const CGeneralOptions& general = mConfiguration->mGeneralOptions;
    const bool recordPaths = general.relinkURLs || general.remapURLs;
    const std::size_t quantum = static_cast<std::size_t>(general.yieldQuantum > 0 ? general.yieldQuantum : 1);
    const std::int32_t nextLevel = mLevel + 1;
    const std::string count = std::to_string(links.size());
    const std::string* referrer = nullptr;
    const std::string* referrerText = nullptr;

    std::size_t n = 0;
    for (const CLinkRecord& link : links) {
        if (mStopRequested) break;
        ++n;
        if (n % quantum == 0) Yield();
        if (n % kLinksPerStatus == 0) ShowStatus("Examining extracted URLs (" + std::to_string(n) + " of " + count + ")");

        CSiteIndex::Item& item = mSiteIndex.FindOrAdd(link.mURL);
        CSiteEntry& entry = item.second;
        if (entry.linkKind == ELinkSite::kUnknown) {
            const CURL url(link.mURL);
            if (FindTextNoCase(url.mFileWithQuery, "javascript") != std::string::npos) entry.linkKind = ELinkSite::kDropped;
            else entry.linkKind = IsOnSite(url) ? ELinkSite::kOnSite : ELinkSite::kOffsite;
        }
        switch (entry.linkKind) {
        case ELinkSite::kOnSite:
            if (recordPaths) DecideLinkPath(item);
            if (!entry.visited && entry.queuedLevel != nextLevel) {
                entry.queuedLevel = nextLevel;
                if (entry.state == ETargetState::kKnown) entry.state = ETargetState::kExpected;
                if (referrerText == nullptr || *referrerText != link.mReferrer) {
                    referrer = &mSiteIndex.FindOrAdd(link.mReferrer).first;
                    referrerText = referrer;
                }
                mNextLevel.push_back(CQueuedURL{&item.first, referrer});
            }
            break;
        case ELinkSite::kOffsite:
            if (mConfiguration->mMiscOptions.offsiteLinks) {
                ShowStatus("Updating offsite URLs");
                if (mOffsiteIndex.insert(link.mURL).second) mOffsiteURLs.push_back(link.mURL);
            }
            break;
        default:
            break;
        }
    }
}

void CSiteIterator::RecordLinkPath(const CLinkRecord& link) { DecideLinkPath(mSiteIndex.FindOrAdd(link.mURL)); }

// Once per URL: a dynamic URL gets its generated name; with
// checkForRedirection, a file name without an extension is asked about
// (folder, or the extension of its Content-Type); the file's place in the
// mirror follows.
void CSiteIterator::DecideLinkPath(CSiteIndex::Item& item)
{
    CSiteEntry& entry = item.second;
    if (entry.pathDecided) return;
    entry.pathDecided = true;
    if (entry.state == ETargetState::kSaved && !entry.localPath.empty()) return;

    const CGeneralOptions& general = mConfiguration->mGeneralOptions;
    const CURL url(item.first);
    if (IsRemappedDynamic(url)) {
        if (entry.fileName.empty()) entry.fileName = GeneratedName(url);
    } else if (entry.fileName.empty() && general.relinkURLs && general.checkForRedirection &&
               !url.mFileName.empty() && url.mExtension.empty()) {
        std::string extension;
        if (CheckLinkType(url, extension)) {
            entry.localPath = ExpectedLocalPath(CURL(url.mURL + "/"), std::string());
            return;
        }
        if (!extension.empty()) entry.fileName = URLDecode(url.mFileName) + extension;
    }
    AssignLocalPath(item, url);
}

bool CSiteIterator::CheckLinkType(const CURL& linkURL, std::string& typeExtension)
{
    typeExtension.clear();
    CURL head(linkURL.mURL);
    if (!FetchHeadQuietly(head)) return false;
    if ((head.mStatusCode == 301 || head.mStatusCode == 302) && !head.mLocation.empty() &&
        head.mLocation.back() == '/')
        return true;
    // A redirect's own Content-Type says nothing about its target.
    if (head.mStatusCode >= 200 && head.mStatusCode < 300 && !linkURL.mFileName.empty() &&
        linkURL.mExtension.empty()) {
        auto found = mTypeExtensions.find(MimeTypeOf(head.mContentType));
        if (found != mTypeExtensions.end()) typeExtension = found->second;
    }
    return false;
}
