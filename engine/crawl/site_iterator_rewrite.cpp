// Rewriting a page before it is saved, so the mirror works from disk: its
// scripts removed when asked, and every link to a file of the mirror made
// relative to the page's own folder (crawl_relinking.h), in one pass over
// the page.
//
// Only pages and style sheets are rewritten; scripts, text and every other
// file are saved as they came.
#include "engine/config/configuration.h"
#include "engine/crawl/site_iterator.h"
#include "engine/html/html_page.h"
#include "engine/html/page_cleanup.h"
#include "engine/url/url_identity.h"

namespace {

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

void CSiteIterator::PostProcessPage(CURL& url, const CHTMLPage& page, bool relink, bool remap, bool remapHosts)
{
    const CGeneralOptions& general = mConfiguration->mGeneralOptions;
    std::string body;
    if (!url.mBody.CopyTo(body)) return;
    bool changed = false;

    const bool markup = page.Kind() == EPageKind::kPage;
    if (general.removeJavaScript && !mOptions.mediaMode && markup) {
        ShowStatus("Removing JavaScript");
        const std::size_t before = body.size();
        RemoveJavaScript(body);
        changed = body.size() != before;
    }

    if (relink || remap || remapHosts) {
        if (relink) ShowStatus("Relinking URLs");
        if (remap) ShowStatus("Remapping URLs");
        if (remapHosts) ShowStatus("Remapping secondary hosts");

        // The page is about to be saved at its own place.
        CSiteIndex::Item& self = mSiteIndex.FindOrAdd(url.mURL);
        DecideLinkPath(self);
        if (self.second.localPath.empty()) mSaving.AssignLocalPath(self, url);
        if (self.second.state != ETargetState::kSaved) self.second.state = ETargetState::kExpected;
        const std::string pageFolder = FolderOf(mSaving.Mirror().ExpectedLocalPath(url, "x"));
        const std::string pageHost = HostIdentityOf(url);
        if (mStartHostKey.empty()) mStartHostKey = HostIdentityOf(mStartURL);

        SPageRelinking how;
        how.markup = markup;
        how.relink = relink;
        how.remap = remap;
        how.remapHosts = remapHosts;
        how.secondaryDomains = mPreferences.allowSecondaryDomains;
        how.yieldQuantum = static_cast<std::size_t>(general.yieldQuantum > 0 ? general.yieldQuantum : 1);
        how.pageFolder = pageFolder;
        how.pageHost = pageHost;
        how.startHost = mStartHostKey;
        how.linkItems = mPageLinkItems;
        if (mRelinking.RelinkPage(body, page, how, *this)) changed = true;
    }

    // Bytes that cannot be stored leave the page as it came, not empty.
    if (changed && !url.mBody.ReplaceBytes(body.data(), body.size()))
        LogLine("The page could not be rewritten for the mirror: " + url.mURL);
}
