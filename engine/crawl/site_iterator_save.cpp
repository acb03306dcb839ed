// Saving into the mirror (crawl_mirror.h): the file name of each URL, the
// save itself, the first file of the crawl and where each saved file lies
// for links to it.
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

}  // namespace

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



bool CSiteIterator::FindSavedFile(const CURL& url, CFileRef& file)
{
    const char* downloadFolder = mConfiguration->mGeneralOptions.localPath.c_str();
    if (*downloadFolder == '\0') return false;
    const std::optional<std::string> name = SaveFileName(url, false);
    if (!name) return false;
    return mMirror.Find(url, *name, file);
}


CStatus CSiteIterator::SaveURL(CURL& url, CFileRef& outFile)
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
    CStatus status;
    if (general.saveAction == 2) {
        ShowStatus("Saving to bookmark");
        status = CStatus::FromCode(url.SaveAsBookmark(downloadFolder, type, creator, mMirror.Naming().indexName, outFile));
    } else {
        if (general.saveAction != 1 || !downloadFolder.IsValid()) return CStatus::FromCode(-ENOENT);  // nowhere to save
        ShowStatus("Saving to disk");
        CMirrorLocation location = MirrorLocationForURL(url, mMirror.Naming());
        if (const std::string name = SaveFileName(url, true).value_or(std::string()); !name.empty())
            location.fileName = name;
        CMirrorFileLabels labels;
        labels.type = type;
        labels.creator = creator;
        labels.url = url.mURL;
        labels.modificationSeconds = url.mModificationSeconds;
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
        if (mPreferences.createAliases) CreateAlias();
    }
    return status;
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
void CSiteIterator::NoteSaved(const CFileRef& file)
{
    mRelinking.NoteSaved(mRedirectChain, mMirror.PathFromRoot(file));
}
