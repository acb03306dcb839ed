// Where each URL's file lies in the mirror, claimed once per place: two URLs
// whose names meet (a folder's index name and a real file of that name,
// names cut to the file system's limit, a flattened mirror) never share a
// file, and links follow the distinct name the later one gets.
#include "engine/crawl/site_iterator.h"
#include "engine/url/url_identity.h"
#include "foundation/files/whole_file.h"
#include "foundation/mirror/mirror_names.h"

namespace {

// Distinct names tried before the place is left to the writer's own check.
constexpr unsigned kDistinctNameAttempts = 8;

// The URLs a server may answer with the same page as this one: a folder's
// own URL and its index page, either way round. None for a query or a part.
std::vector<std::string> FolderTwinURLs(const CURL& url)
{
    if (url.mURL.find_first_of("?#") != std::string::npos) return {};
    const std::string folder = url.mURL.substr(0, url.mURL.rfind('/') + 1);
    if (url.mFileName.empty()) return {folder + "index.html", folder + "index.htm"};
    if (url.mFileName == "index.html" || url.mFileName == "index.htm") return {folder};
    return {};
}

}  // namespace

void CSiteIterator::AssignLocalPath(CSiteIndex::Item& item, const CURL& url)
{
    CSiteEntry& entry = item.second;
    // Links to the second of a folder's page and its "index.html" expect the
    // first one's file, which FindSameFolderPage usually gives both: a guess
    // of the URL's own place would cost rewriting every page that links to
    // it at the end of the crawl. The place is not claimed, so the URL still
    // gets its own file (and the links their correction) when it differs.
    if (entry.fileName.empty()) {
        if (const CSiteIndex::Item* twin = PlacedFolderTwin(url)) {
            entry.localPath = twin->second.localPath;
            return;
        }
    }
    std::string path = mMirror.ExpectedLocalPath(url, entry.fileName);
    if (!mSiteIndex.ClaimPath(path, item.first)) {
        std::string own = entry.fileName;
        if (own.empty()) own = MirrorLocationForURL(url, mMirror.Naming()).fileName;
        own = SafeMirrorName(own.empty() ? std::string_view("Index.html") : std::string_view(own));
        for (unsigned attempt = 1; attempt <= kDistinctNameAttempts; ++attempt) {
            std::string name = DistinctMirrorName(own, MirrorOwnerKey(item.first), attempt);
            std::string distinct = mMirror.ExpectedLocalPath(url, name);
            if (mSiteIndex.ClaimPath(distinct, item.first)) {
                entry.fileName = std::move(name);
                path = std::move(distinct);
                break;
            }
        }
    }
    entry.localPath = std::move(path);
}

const CSiteIndex::Item* CSiteIterator::PlacedFolderTwin(const CURL& url) const
{
    for (const std::string& twin : FolderTwinURLs(url)) {
        const CSiteIndex::Item* item = mSiteIndex.Find(twin);
        if (item != nullptr && !item->second.localPath.empty() &&
            (item->second.state == ETargetState::kSaved || item->second.state == ETargetState::kExpected))
            return item;
    }
    return nullptr;
}

bool CSiteIterator::FindSameFolderPage(const CURL& url, CFileRef& file)
{
    std::string body;
    std::string saved;
    for (const std::string& twin : FolderTwinURLs(url)) {
        const CSiteIndex::Item* item = mSiteIndex.Find(twin);
        if (item == nullptr || item->second.state != ETargetState::kSaved || !FindSavedFile(CURL(twin), file)) continue;
        if (body.empty() && !url.mBody.CopyTo(body)) return false;
        if (ReadWholeFile(file, saved).Ok() && saved == body) return true;
    }
    return false;
}
