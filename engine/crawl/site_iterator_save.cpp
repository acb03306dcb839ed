// Saving into the mirror: the file name of each URL, the save itself, the
// first file of the crawl and where each saved file lies for links to it.
#include <cstring>

#include "engine/config/configuration.h"
#include "engine/crawl/generated_names.h"
#include "engine/crawl/mirror_writer.h"
#include "engine/crawl/site_iterator.h"
#include "engine/owner/crawl_listener.h"
#include "foundation/files/file.h"
#include "foundation/errors/status_codes.h"
#include "foundation/files/file_system.h"
#include "foundation/files/unique_name.h"
#include "foundation/system/default_browser.h"
#include "foundation/system/file_name_mappings.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr TypeCode kTextType = MakeTypeCode("TEXT");
constexpr TypeCode kExplorerCreator = MakeTypeCode("MSIE");

bool IsPHPExtension(const std::string& extension)
{
    return extension == ".php" || extension == ".php3" || extension == ".phtml";
}

}  // namespace

CMirrorNaming CSiteIterator::Naming() const
{
    // Dynamic URLs always get a name of their own (SaveFileName), so the
    // default rule never maps them onto the index name.
    CMirrorNaming naming;
    naming.indexName = mConfiguration->mGeneralOptions.indexFilename.c_str();
    if (naming.indexName.empty()) naming.indexName = "Index.html";
    naming.flat = mOptions.flatten;
    naming.indexForDynamic = false;
    naming.remapAllPHP = false;
    return naming;
}

bool CSiteIterator::IsRemappedDynamic(const CURL& url) const
{
    const CGeneralOptions& general = mConfiguration->mGeneralOptions;
    if (!general.remapURLs) return false;
    return url.IsDynamic() || (general.remapAllPHP && IsPHPExtension(url.mExtension));
}

// The extension of a generated name for the URL's response (the one the
// URL has, or, with setExtensionFromContentType, a HEAD's).
std::string CSiteIterator::GeneratedExtension(const CURL& url, bool askServer)
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

std::string CSiteIterator::GeneratedName(const CURL& url) { return NewUUIDText() + GeneratedExtension(url, true); }

// The on-disk name the save uses in place of the URL's own; "" for the
// URL's own rule; nothing for a dynamic URL that has no name yet (unless
// `generate`, which gives it one).
std::optional<std::string> CSiteIterator::SaveFileName(const CURL& url, bool generate)
{
    CSiteIndex::Item* item = generate ? &mSiteIndex.FindOrAdd(url.mURL) : mSiteIndex.Find(url.mURL);
    if (IsRemappedDynamic(url)) {
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

std::string CSiteIterator::ExpectedLocalPath(const CURL& url, const std::string& fileName) const
{
    CMirrorLocation location = MirrorLocationForURL(url, Naming());
    if (!fileName.empty()) location.fileName = fileName;
    return EncodedMirrorPath(location);
}

std::string CSiteIterator::PathFromRoot(const CFileRef& file) const
{
    const CFileRef root(std::string(mConfiguration->mGeneralOptions.localPath.c_str()));
    const std::string& rootPath = root.Path();
    const std::string& path = file.Path();
    std::size_t start = rootPath == "/" ? 1 : rootPath.size() + 1;
    if (path.size() <= start || path.compare(0, rootPath.size(), rootPath) != 0) return {};
    std::string encoded;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (!encoded.empty()) encoded += '/';
        encoded += EncodeMirrorNameForLink(std::string_view(path).substr(start, end - start));
        start = end + 1;
    }
    return encoded;
}

bool CSiteIterator::FindSavedFile(const CURL& url, CFileRef& file)
{
    const char* downloadFolder = mConfiguration->mGeneralOptions.localPath.c_str();
    if (*downloadFolder == '\0') return false;
    const std::optional<std::string> name = SaveFileName(url, false);
    if (!name) return false;
    CMirrorLocation location = MirrorLocationForURL(url, Naming());
    if (!name->empty()) location.fileName = *name;
    return MirrorAccess().Find(location.folders, location.fileName, file, url.mURL);
}

CMirrorWriter& CSiteIterator::MirrorAccess()
{
    const char* downloadFolder = mConfiguration->mGeneralOptions.localPath.c_str();
    if (!mMirror || mMirror->DownloadFolder() != CFileRef(std::string(downloadFolder)).Path())
        mMirror = std::make_unique<CMirrorWriter>(CFileRef(std::string(downloadFolder)).Path());
    return *mMirror;
}

bool CSiteIterator::SaveURL(CURL& url, CFileRef& outFile)
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
    int status = 0;
    if (general.saveAction == 2) {
        ShowStatus("Saving to bookmark");
        status = url.SaveAsBookmark(downloadFolder, type, creator, Naming().indexName, outFile);
    } else {
        if (general.saveAction != 1 || !downloadFolder.IsValid()) {
            mLastSaveStatus = -ENOENT;  // nowhere to save
            return false;
        }
        ShowStatus("Saving to disk");
        CMirrorLocation location = MirrorLocationForURL(url, Naming());
        if (const std::string name = SaveFileName(url, true).value_or(std::string()); !name.empty())
            location.fileName = name;
        CMirrorFileLabels labels;
        labels.type = type;
        labels.creator = creator;
        labels.url = url.mURL;
        labels.modificationSeconds = url.mModificationSeconds;
        // A URL fetched again replaces its saved copy: what the server gives
        // now is the mirror (an up-to-date copy was never fetched).
        status = MirrorAccess().Write(location.folders, location.fileName, true, url.mBody, labels, outFile);
    }
    mLastSaveStatus = status;
    if (status != 0) return false;
    ++mCounters.saved;

    if (mFirstURL) {
        mFirstURL = false;
        mFirstFile = outFile;
        mListener.FirstFileSaved(outFile, mStartHost, mConfiguration->mMiscOptions.generateSiteMap == 1);
        if (mPreferences.createAliases) CreateAlias();
    }
    return true;
}

// The alias lies beside the crawl's mirror unless the preferences name a
// folder for aliases.
int CSiteIterator::CreateAlias()
{
    const std::string folder = !mPreferences.aliasesFolder.empty()
                                   ? mPreferences.aliasesFolder
                                   : std::string(mConfiguration->mGeneralOptions.localPath.c_str());
    if (!mFirstFile.IsValid() || folder.empty()) return -ENOENT;
    const std::string name = mStartHost + " alias";
    CFileRef alias;
    const int status = TellFinderToMakeAlias(mFirstFile, CFileRef(folder), name.c_str(), alias);
    // One left by an earlier crawl of the site stays as it is.
    if (status != 0 && status != -EEXIST)
        LogLine("The alias could not be made: " + CFileRef(folder).Child(name).Path() + " (" + std::strerror(-status) +
                ")");
    if (status != 0) return status;
    return TellFinderToUpdateItem(alias);
}

// Where the URL in progress (and the URLs that redirected to it) is saved
// now: links to it open that file.
void CSiteIterator::NoteSaved(const CFileRef& file) { mRelinking.NoteSaved(mRedirectChain, PathFromRoot(file)); }
