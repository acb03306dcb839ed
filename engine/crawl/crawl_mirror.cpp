#include "engine/crawl/crawl_mirror.h"

#include "engine/config/configuration.h"
#include "engine/crawl/mirror_writer.h"
#include "engine/url/url_record.h"
#include "foundation/files/file_ref.h"
#include "foundation/mirror/mirror_names.h"

CCrawlMirror::CCrawlMirror(CConfiguration* const& configuration, bool flatten)
    : mConfiguration(configuration), mFlatten(flatten)
{
}

CCrawlMirror::~CCrawlMirror() = default;

CMirrorNaming CCrawlMirror::Naming() const
{
    // Dynamic URLs always get a name of their own (SaveFileName), so the
    // default rule never maps them onto the index name.
    CMirrorNaming naming;
    naming.indexName = mConfiguration->mGeneralOptions.indexFilename.c_str();
    if (naming.indexName.empty()) naming.indexName = "Index.html";
    naming.flat = mFlatten;
    naming.indexForDynamic = false;
    naming.remapAllPHP = false;
    return naming;
}

bool CCrawlMirror::IsRemappedDynamic(const CURL& url) const
{
    const CGeneralOptions& general = mConfiguration->mGeneralOptions;
    if (!general.remapURLs) return false;
    return url.IsDynamic() || (general.remapAllPHP && url.HasPHPExtension());
}

std::string CCrawlMirror::ExpectedLocalPath(const CURL& url, const std::string& fileName) const
{
    CMirrorLocation location = MirrorLocationForURL(url, Naming());
    if (!fileName.empty()) location.fileName = fileName;
    return EncodedMirrorPath(location);
}

std::string CCrawlMirror::PathFromRoot(const CFileRef& file) const
{
    const CFileRef root(std::string(mConfiguration->mGeneralOptions.localPath.c_str()));
    const std::string& rootPath = root.Path();
    const std::string& path = file.Path();
    std::size_t start = rootPath == "/" ? 1 : rootPath.size() + 1;
    // Below the root only: "/m/mirror2/x" is not in "/m/mirror".
    if (path.size() <= start || path.compare(0, rootPath.size(), rootPath) != 0 || path[start - 1] != '/') return {};
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

bool CCrawlMirror::Find(const CURL& url, const std::string& fileName, CFileRef& file)
{
    CMirrorLocation location = MirrorLocationForURL(url, Naming());
    if (!fileName.empty()) location.fileName = fileName;
    return Writer().Find(location.folders, location.fileName, file, url.mURL);
}

CMirrorWriter& CCrawlMirror::Writer()
{
    const char* downloadFolder = mConfiguration->mGeneralOptions.localPath.c_str();
    if (!mWriter || mWriter->DownloadFolder() != CFileRef(std::string(downloadFolder)).Path())
        mWriter = std::make_unique<CMirrorWriter>(CFileRef(std::string(downloadFolder)).Path());
    return *mWriter;
}

void CCrawlMirror::Settle()
{
    if (mWriter) mWriter->Settle();
}
