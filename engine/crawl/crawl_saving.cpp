// Where each URL's file lies in the mirror, claimed once per place: two URLs
// whose names meet (a folder's index name and a real file of that name,
// names cut to the file system's limit, a flattened mirror) never share a
// file, and links follow the distinct name the later one gets. Then the
// save itself, the first file of the crawl and its alias.
#include "engine/crawl/crawl_saving.h"

#include <cerrno>
#include <cstring>

#include "engine/config/configuration.h"
#include "engine/crawl/crawl_counters.h"
#include "engine/crawl/crawl_preferences.h"
#include "engine/crawl/generated_names.h"
#include "engine/crawl/mirror_writer.h"
#include "engine/html/mirror_links.h"
#include "engine/owner/crawl_listener.h"
#include "engine/url/url_identity.h"
#include "engine/url/url_record.h"
#include "foundation/files/file_system.h"
#include "foundation/files/unique_name.h"
#include "foundation/files/whole_file.h"
#include "foundation/mirror/mirror_names.h"
#include "foundation/system/default_browser.h"
#include "foundation/system/file_name_mappings.h"
#include "foundation/system/internet_config.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr TypeCode kTextType = MakeTypeCode("TEXT");
constexpr TypeCode kExplorerCreator = MakeTypeCode("MSIE");
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

// MIME type -> file-name extension, from the application's file-name mappings.
TextMap<std::string> ReadTypeExtensions()
{
    TextMap<std::string> extensions;
    CInternetConfig internetConfig(kTidewellCreator);
    if (internetConfig.Start() != 0) return extensions;
    if (internetConfig.BeginMapping() == 0) {
        FileNameMapping mapping;
        while (internetConfig.NextMapEntry(mapping)) {
            if (mapping.mimeType[0] == '\0' || mapping.extension[0] == '\0') continue;
            extensions.try_emplace(AsciiLowercased(mapping.mimeType), mapping.extension);
        }
        (void)internetConfig.EndMapping();
    }
    (void)internetConfig.Stop();
    return extensions;
}

}  // namespace

CCrawlSaving::CCrawlSaving(CCrawlListener& listener, CConfiguration* const& configuration, bool flatten,
                           CSiteIndex& index, const CCrawlPreferences& preferences, CCrawlCounters& counters,
                           const std::string& userAgent, const std::string& startHost)
    : mListener(listener),
      mConfiguration(configuration),
      mSiteIndex(index),
      mPreferences(preferences),
      mCounters(counters),
      mUserAgent(userAgent),
      mStartHost(startHost),
      mMirror(configuration, flatten),
      mTypeExtensions(ReadTypeExtensions())
{
}

void CCrawlSaving::ShowStatus(const std::string& text) { mListener.CrawlStatus(text); }

void CCrawlSaving::LogLine(const std::string& text) { mListener.CrawlLog(text, ELogLine::kNotice); }

// Naming -------------------------------------------------------------------------

const std::string& CCrawlSaving::TypeExtension(std::string_view contentType) const
{
    static const std::string kNone;
    const auto found = mTypeExtensions.find(MimeTypeOf(contentType));
    return found != mTypeExtensions.end() ? found->second : kNone;
}

std::string CCrawlSaving::GeneratedExtension(const CURL& url, bool askServer)
{
    const CGeneralOptions& general = mConfiguration->mGeneralOptions;
    std::string contentType = url.mContentType;
    if (contentType.empty() && askServer && general.setExtensionFromContentType) {
        CURL head(url.mURL);
        if (head.FetchContentType(mUserAgent.c_str(), general.timeout)) contentType = head.mContentType;
    }
    CGeneratedExtensionRules rules;
    rules.fromContentType = general.setExtensionFromContentType != 0;
    rules.alwaysUseExtension = general.alwaysUseExtension != 0;
    rules.configuredExtension = general.extension.c_str();
    return GeneratedNameExtension(contentType, url.mExtension, rules, mTypeExtensions);
}

std::string CCrawlSaving::GeneratedName(const CURL& url) { return NewUUIDText() + GeneratedExtension(url, true); }

std::string CCrawlSaving::TypedFileName(const CURL& response) const
{
    const CGeneralOptions& general = mConfiguration->mGeneralOptions;
    if (response.mFileName.empty() || response.mStatusCode < 200 || response.mStatusCode >= 300) return {};
    if (general.relinkURLs && general.checkForRedirection && response.mExtension.empty()) {
        const std::string& extension = TypeExtension(response.mContentType);
        if (!extension.empty()) return URLDecode(response.mFileName) + extension;
    }
    // Only where links follow the new name: saved pages that keep their
    // links as written would lose the page.
    if (!general.alwaysUseExtension || !general.relinkURLs) return {};
    const std::string ownName = MirrorLocationForURL(response, mMirror.Naming()).fileName;
    return PageNameWithExtension(URLDecode(response.mFileName), ownName, response.mContentType,
                                 general.extension.c_str());
}

std::optional<std::string> CCrawlSaving::SaveFileName(const CURL& url, bool generate)
{
    CSiteIndex::Item* item = generate ? &mSiteIndex.FindOrAdd(url.mURL) : mSiteIndex.Find(url.mURL);
    if (mMirror.IsRemappedDynamic(url)) {
        if (item == nullptr) return std::nullopt;
        if (item->second.fileName.empty()) {
            if (!generate) return std::nullopt;
            item->second.fileName = GeneratedName(url);
        } else if (generate && !url.mContentType.empty()) {
            // Named before its response came: the extension follows what it
            // turned out to be. Links to the old name are corrected when the
            // file is noted as saved.
            item->second.fileName = WithGeneratedExtension(item->second.fileName, GeneratedExtension(url, false));
        }
        return item->second.fileName;
    }
    // Not asked about beforehand: named by its own response.
    if (generate && item->second.fileName.empty()) item->second.fileName = TypedFileName(url);
    if (generate && item->second.localPath.empty() && item->second.state != ETargetState::kSaved)
        AssignLocalPath(*item, url);
    if (item != nullptr) return item->second.fileName;
    return std::string();
}

void CCrawlSaving::AssignLocalPath(CSiteIndex::Item& item, const CURL& url)
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

const CSiteIndex::Item* CCrawlSaving::PlacedFolderTwin(const CURL& url) const
{
    for (const std::string& twin : FolderTwinURLs(url)) {
        const CSiteIndex::Item* item = mSiteIndex.Find(twin);
        if (item != nullptr && !item->second.localPath.empty() &&
            (item->second.state == ETargetState::kSaved || item->second.state == ETargetState::kExpected))
            return item;
    }
    return nullptr;
}

// Saved files -----------------------------------------------------------------------

bool CCrawlSaving::FindSavedFile(const CURL& url, CFileRef& file)
{
    const char* downloadFolder = mConfiguration->mGeneralOptions.localPath.c_str();
    if (*downloadFolder == '\0') return false;
    const std::optional<std::string> name = SaveFileName(url, false);
    if (!name) return false;
    return mMirror.Find(url, *name, file);
}

bool CCrawlSaving::FindSameFolderPage(const CURL& url, CFileRef& file)
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

CStatus CCrawlSaving::SaveURL(CURL& url, CFileRef& outFile)
{
    ShowStatus("Saving url");
    const CGeneralOptions& general = mConfiguration->mGeneralOptions;

    TypeCode type = url.mFileType;
    TypeCode creator = url.mFileCreator;
    const bool isText = BeginsWithNoCase(url.mContentType, "text");
    if ((isText && type == 0) || creator == kExplorerCreator) {
        if (!mBrowserCreator) {
            CFixedString255 browser;
            mBrowserCreator = GetDefaultBrowserName(browser);
        }
        if (isText && type == 0) type = kTextType;
        creator = *mBrowserCreator;
    }

    const CFileRef downloadFolder(std::string(general.localPath.c_str()));
    if ((general.saveAction != 1 && general.saveAction != 2) || !downloadFolder.IsValid())
        return CStatus::FromCode(-ENOENT);  // nowhere to save
    CMirrorFileLabels labels;
    labels.type = type;
    labels.creator = creator;
    labels.url = url.mURL;
    labels.modificationSeconds = url.mModificationSeconds;
    CMirrorLocation location = MirrorLocationForURL(url, mMirror.Naming());
    CStatus status;
    if (general.saveAction == 2) {
        // A bookmark is an empty file under the URL's own name, in its host's
        // folders even in a flattened mirror.
        ShowStatus("Saving to bookmark");
        location.folders = url.MirrorFolderSegments(true);
        status = mMirror.Writer().Write(location.folders, location.fileName, true, std::string_view(), labels, outFile);
    } else {
        ShowStatus("Saving to disk");
        if (const std::string name = SaveFileName(url, true).value_or(std::string()); !name.empty())
            location.fileName = name;
        // A URL fetched again replaces its saved copy: what the server gives
        // now is the mirror (an up-to-date copy was never fetched).
        status = mMirror.Writer().Write(location.folders, location.fileName, true, url.mBody, labels, outFile);
    }
    if (status.Failed()) return status;
    ++mCounters.saved;

    if (mFirstURL) {
        mFirstURL = false;
        mFirstFile = outFile;
        mListener.FirstFileSaved(outFile, mStartHost, mConfiguration->mMiscOptions.generateSiteMap == 1);
        // An alias that cannot be made is told in the log; the grab goes on.
        if (mPreferences.createAliases) (void)CreateAlias();
    }
    return status;
}

CStatus CCrawlSaving::CreateAlias()
{
    const std::string folder = !mPreferences.aliasesFolder.empty()
                                   ? mPreferences.aliasesFolder
                                   : std::string(mConfiguration->mGeneralOptions.localPath.c_str());
    if (!mFirstFile.IsValid() || folder.empty()) return CStatus::FromCode(-ENOENT);
    const std::string name = mStartHost + " alias";
    CFileRef alias;
    const int status = TellFinderToMakeAlias(mFirstFile, CFileRef(folder), name.c_str(), alias).Code();
    // One left by an earlier crawl of the site stays as it is.
    if (status != 0 && status != -EEXIST)
        LogLine("The alias could not be made: " + CFileRef(folder).Child(name).Path() + " (" + std::strerror(-status) +
                ")");
    if (status != 0) return CStatus::FromCode(status);
    return TellFinderToUpdateItem(alias);
}
