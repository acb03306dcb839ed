// The links of a fetched page: which go to the next level, which to the
// offsite list, and where the file of each on-site link will lie.
#include <algorithm>
#include <optional>

#include "engine/config/configuration.h"
#include "engine/crawl/site_iterator.h"
#include "engine/owner/crawl_listener.h"
#include "engine/url/url_resolution.h"
#include "foundation/files/file.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr std::size_t kLinksPerStatus = 50;

}  // namespace

void CSiteIterator::ExamineExtractedURLs(const CURL& page, const std::vector<CLinkRecord>& links,
                                         std::vector<CSiteIndex::Item*>* items)
{
    if (items != nullptr) items->assign(links.size(), nullptr);
    ShowStatus("Examining extracted URLs");
    const CGeneralOptions& general = mConfiguration->mGeneralOptions;
    const bool recordPaths = general.relinkURLs || general.remapURLs;
    const std::size_t quantum = static_cast<std::size_t>(general.yieldQuantum > 0 ? general.yieldQuantum : 1);
    const std::string count = std::to_string(links.size());

    const std::string* referrer = nullptr;  // the page's entry, found at its first queued link
    std::size_t n = 0;
    for (const CLinkRecord& link : links) {
        if (mStopRequested) break;
        ++n;
        if (n % quantum == 0) Yield();
        if (n % kLinksPerStatus == 0) ShowStatus("Examining extracted URLs (" + std::to_string(n) + " of " + count + ")");

        // Scripts are dropped by their javascript: scheme, which never
        // resolves to a URL; a file name may say "javascript" freely.
        CSiteIndex::Item& item = mSiteIndex.FindOrAdd(link.mURL);
        if (items != nullptr) (*items)[n - 1] = &item;
        CSiteEntry& entry = item.second;
        std::optional<CURL> parsed;  // a link first met is parsed once for both questions
        if (entry.linkKind == ELinkSite::kUnknown)
            entry.linkKind = IsOnSite(parsed.emplace(link.mURL)) ? ELinkSite::kOnSite : ELinkSite::kOffsite;
        switch (entry.linkKind) {
        case ELinkSite::kOnSite:
            // A guess gets its place when it is saved, if it ever is: no
            // question is sent about it beforehand.
            if (recordPaths && !link.mGuess)
                DecideLinkPath(item, parsed && item.first == link.mURL ? &*parsed : nullptr);
            if (referrer == nullptr) referrer = &mSiteIndex.FindOrAdd(page.mURL).first;
            mLevels.QueueLink(item, link, *referrer);
            break;
        case ELinkSite::kOffsite:
            if (mConfiguration->mMiscOptions.offsiteLinks) {
                ShowStatus("Updating offsite URLs");
                mReports.AddOffsiteURL(link.mURL);
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
void CSiteIterator::DecideLinkPath(CSiteIndex::Item& item, const CURL* parsed)
{
    CSiteEntry& entry = item.second;
    if (entry.pathDecided) return;
    entry.pathDecided = true;
    if (entry.state == ETargetState::kSaved && !entry.localPath.empty()) return;

    const CGeneralOptions& general = mConfiguration->mGeneralOptions;
    std::optional<CURL> own;
    const CURL& url = parsed != nullptr ? *parsed : own.emplace(item.first);
    if (mSaving.Mirror().IsRemappedDynamic(url)) {
        if (entry.fileName.empty()) entry.fileName = mSaving.GeneratedName(url);
    } else if (entry.fileName.empty() && general.relinkURLs && general.checkForRedirection &&
               !url.mFileName.empty() && url.mExtension.empty() && !WillFetchQueued(url)) {
        std::string extension;
        if (CheckLinkType(url, extension)) {
            entry.localPath = mSaving.Mirror().ExpectedLocalPath(CURL(url.mURL + "/"), std::string());
            return;
        }
        if (!extension.empty()) entry.fileName = URLDecode(url.mFileName) + extension;
    }
    mSaving.AssignLocalPath(item, url);
}

bool CSiteIterator::WillFetchQueued(const CURL& url) const
{
    const CGeneralOptions& general = mConfiguration->mGeneralOptions;
    if (mLevels.Level() + 1 >= general.linkDepth || general.saveAction != 1) return false;
    if (static_cast<std::int64_t>(url.mDirectoryComponents.size()) > general.directoryDepth) return false;
    if (mOptions.StaysInFolder()) return false;  // asked as before
    return url.IsSameURL(mStartURL) || mConfiguration->mGrabFilters.Evaluate(url);
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
        typeExtension = mSaving.TypeExtension(head.mContentType);
    }
    return false;
}

namespace {

std::string FolderOfPath(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

// The on-disk names of a mirror path written for a link; false when one
// cannot be a name this program made (empty, "." or "..", or holding a '/'
// or a NUL once decoded).
bool DecodeMirrorPath(std::string_view path, std::vector<std::string>& names)
{
    names.clear();
    for (std::size_t at = 0; at <= path.size();) {
        std::size_t end = path.find('/', at);
        if (end == std::string_view::npos) end = path.size();
        std::string name = URLDecode(path.substr(at, end - at));
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
            name.find('\0') != std::string::npos)
            return false;
        names.push_back(std::move(name));
        at = end + 1;
    }
    return !names.empty();
}

}  // namespace

// A link of a saved copy that is neither absolute nor from the root is read
// as this program writes local links: a path from the page's file to
// another file of the mirror. That file's label holds the URL it was saved
// for; without one, a path into a host's folder names that host's URL (a
// folder's index file, the folder). A local link that leads nowhere in the
// mirror is no URL at all: it is dropped rather than guessed at.
std::vector<CLinkRecord> CSiteIterator::LinksOfSavedCopy(const CURL& url, const std::vector<CLinkRecord>& links)
{
    CFileRef pageFile;
    if (!mSaving.FindSavedFile(url, pageFile)) return links;
    const std::string pageFolder = FolderOfPath(mSaving.Mirror().PathFromRoot(pageFile));
    const std::string root = CFileRef(std::string(mConfiguration->mGeneralOptions.localPath.c_str())).Path();
    const CMirrorNaming naming = mSaving.Mirror().Naming();
    const std::string indexName = EncodeMirrorNameForLink(naming.indexName);
    const char* scheme = url.mScheme == kSchemeHTTPS ? "https://" : url.mScheme == kSchemeFTP ? "ftp://" : "http://";

    // The folder of every host of the crawl, longest first.
    std::vector<std::pair<std::string, std::string>> hostFolders;  // folder path ending in '/', host
    if (!mOptions.flatten) {
        std::vector<std::string> hosts = mHostsSeen;
        hosts.push_back(mStartHost);
        for (const std::string& host : hosts) {
            const std::string path = EncodedMirrorPath(MirrorLocationForURL(std::string(scheme) + host + "/", naming));
            hostFolders.emplace_back(FolderOfPath(path), host);
        }
        std::sort(hostFolders.begin(), hostFolders.end(),
                  [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    }

    std::vector<CLinkRecord> out;
    out.reserve(links.size());
    std::vector<std::string> names;
    for (const CLinkRecord& link : links) {
        const std::string_view text = link.mLink;
        if (text.empty() || text.front() == '/' || HasURIScheme(text) || text.find('?') != std::string_view::npos) {
            out.push_back(link);
            continue;
        }
        std::string path = RemoveDotSegments("/" + pageFolder + std::string(text.substr(0, text.find('#')))).substr(1);
        if (!path.empty() && path.back() == '/') path += indexName;

        std::string mapped;
        if (DecodeMirrorPath(path, names)) {
            std::string file = root;
            for (const std::string& name : names) file += "/" + name;
            std::string label;
            if (CFile::IsFile(CFileRef(file)) && CFile::GetFinderComment(CFileRef(file), label).Ok() &&
                IsFetchableURL(label))
                mapped = label;
        }
        if (mapped.empty()) {
            for (const auto& [folder, host] : hostFolders) {
                if (path.compare(0, folder.size(), folder) != 0) continue;
                std::string rest = path.substr(folder.size());
                const std::size_t slash = rest.rfind('/');
                if (rest.compare(slash == std::string::npos ? 0 : slash + 1, std::string::npos, indexName) == 0)
                    rest.resize(slash == std::string::npos ? 0 : slash + 1);
                mapped = scheme + host + "/" + rest;
                break;
            }
        }
        if (mapped.empty()) continue;
        CLinkRecord record = link;
        record.mURL = std::move(mapped);
        out.push_back(std::move(record));
    }
    return out;
}
