// Rewriting a page's links before it is saved, and correcting saved pages
// at the end of the crawl.
//
// A page adds "../" for each of its folders the target does not share, so
// links are right from every depth. A link of the markup to a file that is
// not in the mirror is written as its absolute URL, which still works
// online. Text that only looks like a link (a word with a dot in a script or
// a code sample) changes only when its target was saved. Links written
// before their target was fetched are checked when it is saved; at the end
// of the crawl those whose target landed elsewhere, or nowhere, are
// corrected in the saved pages.
#include "engine/crawl/crawl_relinking.h"

#include <cstring>
#include <optional>
#include <unordered_map>
#include <utility>

#include "engine/html/html_page.h"
#include "engine/html/link_rewriter.h"
#include "engine/html/link_text.h"
#include "engine/html/page_context.h"
#include "engine/html/style_links.h"
#include "engine/html/visible_text.h"
#include "engine/owner/crawl_listener.h"
#include "engine/url/uri_reference.h"
#include "engine/url/url_identity.h"
#include "engine/url/url_resolution.h"
#include "foundation/files/file.h"
#include "foundation/files/whole_file.h"
#include "foundation/text/text_encodings.h"
#include "foundation/threads/thread.h"

namespace {

// Pages corrected at the end between two yields.
constexpr std::size_t kPagesPerYield = 16;

// The host identities of a page's link targets. The targets name a few
// hosts, mostly one after the other, so a target that begins with the last
// one's scheme and authority (ended there by '/', '?', '#' or nothing) has
// its identity too, without splitting the URL again.
class CHostIdentities {
public:
    const std::string& Of(std::string_view url)
    {
        if (!mAuthority.empty() && url.starts_with(mAuthority) &&
            (url.size() == mAuthority.size() || EndsAuthority(url[mAuthority.size()])))
            return mIdentity;
        mIdentity = URLHostIdentity(url);
        const std::size_t end = AuthorityEnd(url);
        mAuthority.assign(end == std::string_view::npos ? std::string_view() : url.substr(0, end));
        return mIdentity;
    }

private:
    static bool EndsAuthority(char c) { return c == '/' || c == '?' || c == '#'; }

    std::string mAuthority;
    std::string mIdentity;
};

}  // namespace

CCrawlRelinking::CCrawlRelinking(CCrawlListener& listener, CSiteIndex& index) : mListener(listener), mSiteIndex(index)
{
}

void CCrawlRelinking::ShowStatus(const std::string& text) { mListener.CrawlStatus(text); }

void CCrawlRelinking::LogLine(const std::string& text) { mListener.CrawlLog(text, ELogLine::kNotice); }

std::string CCrawlRelinking::LinkLocalPath(std::string_view target, std::string_view pageFolder)
{
    // The folders both paths share, whole components only.
    std::size_t common = 0;
    for (;;) {
        const std::size_t slash = pageFolder.find('/', common);
        if (slash == std::string_view::npos) break;
        const std::size_t length = slash + 1 - common;
        if (target.size() <= slash || target.substr(common, length) != pageFolder.substr(common, length)) break;
        common = slash + 1;
    }
    std::string link;
    for (std::size_t at = common; at < pageFolder.size(); ++at)
        if (pageFolder[at] == '/') link += "../";
    link.append(target.substr(common));
    return link;
}

bool CCrawlRelinking::RelinkPage(std::string& body, const CHTMLPage& page, const SPageRelinking& how,
                                 CPageContext& context)
{
    const bool markup = how.markup;
    const bool relink = how.relink;
    const bool remap = how.remap;
    std::size_t offers = 0;
    std::string scratch;
    std::string fallbackURL;
    CHostIdentities hosts;
    CVisibleTextSpans visibleText(body);
    auto rewrite = [&](const CLinkOccurrence& occurrence, std::string& replacement) -> ERewrite {
        if (++offers % how.yieldQuantum == 0) context.Yield();
        if (context.IsStopRequested()) return ERewrite::kStop;
        // A link of the markup, or text that only looks like one (a
        // guess of the dotted-link scan, a word of a script).
        const bool markupLink = markup ? IsMarkupLink(body, occurrence) : IsStyleLinkAt(body, occurrence.offset);
        // What the reader sees stays as written, even where it reads
        // like markup ("&lt;script src="..."&gt;", "objectURL(id)").
        if (markup && visibleText.InText(occurrence.offset)) return ERewrite::kKeep;
        const std::string_view link = NormalizeLinkText(occurrence.link, scratch);
        const CHTMLPage::SLinkTarget found = page.FindLinkTarget(link);
        const std::string* target = found.url;
        if (target == nullptr) {
            // Links the page did not follow (the anchors of a one-page
            // grab) still leave the page as absolute URLs.
            if (!relink || !markupLink || HasURIScheme(link) || ClassifyLink(link) != ELinkKind::kWeb ||
                !ResolvePageLink(link, page.BaseURL(), fallbackURL))
                return ERewrite::kKeep;
            target = &fallbackURL;
        }
        const std::size_t hash = link.find('#');
        const std::string_view fragment = hash == std::string_view::npos ? std::string_view() : link.substr(hash);

        const std::string& host = hosts.Of(*target);
        const bool ownHost = host == how.startHost || host == how.pageHost;
        CSiteIndex::Item* item = found.record >= 0 && static_cast<std::size_t>(found.record) < how.linkItems.size()
                                     ? how.linkItems[static_cast<std::size_t>(found.record)]
                                     : nullptr;
        if (item == nullptr) item = mSiteIndex.Find(*target);
        const bool inMirror = item != nullptr && !item->second.localPath.empty() &&
                              (item->second.state == ETargetState::kSaved ||
                               (markupLink && item->second.state == ETargetState::kExpected));
        bool allowed;
        if (ownHost) allowed = relink || (remap && item != nullptr && !item->second.fileName.empty());
        else allowed = how.remapHosts || (relink && how.secondaryDomains);
        if (allowed && inMirror) {
            replacement = LinkLocalPath(item->second.localPath, how.pageFolder);
            replacement.append(fragment);
            if (item->second.state != ETargetState::kSaved) {
                item->second.linked = true;
                mPagePendingTargets.push_back(item);
            }
            return replacement == occurrence.link ? ERewrite::kKeep : ERewrite::kReplace;
        }
        if (relink && markupLink && !HasURIScheme(link)) {
            replacement = *target;
            replacement.append(fragment);
            return ERewrite::kReplace;
        }
        return ERewrite::kKeep;
    };
    std::string rewritten;
    const CRewriteResult result = RewriteLinks(body, rewrite, rewritten);
    if (result.replaced == 0) return false;
    body.swap(rewritten);
    return true;
}

void CCrawlRelinking::RegisterSavedPage(const std::string& file, const std::string& pathFromRoot)
{
    if (mPagePendingTargets.empty()) return;
    const auto pageIndex = static_cast<std::uint32_t>(mSavedPages.size());
    const std::size_t slash = pathFromRoot.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : pathFromRoot.substr(0, slash + 1);
    mSavedPages.push_back(CSavedPage{file, std::move(folder)});
    for (CSiteIndex::Item* target : mPagePendingTargets) {
        CSiteEntry& entry = target->second;
        if (entry.pendingPages.empty() || entry.pendingPages.back() != pageIndex) entry.pendingPages.push_back(pageIndex);
    }
}

void CCrawlRelinking::NoteSaved(const std::vector<std::string>& urls, const std::string& path)
{
    if (path.empty()) return;
    for (const std::string& url : urls) SettleEntry(mSiteIndex.FindOrAdd(url), &path);
}

void CCrawlRelinking::NoteNotSaved(const std::vector<std::string>& urls)
{
    for (const std::string& url : urls) {
        CSiteIndex::Item& item = mSiteIndex.FindOrAdd(url);
        if (item.second.state == ETargetState::kSaved) continue;
        SettleEntry(item, nullptr);
    }
}

void CCrawlRelinking::SettleEntry(CSiteIndex::Item& item, const std::string* savedPath)
{
    CSiteEntry& entry = item.second;
    if (savedPath != nullptr && entry.state == ETargetState::kSaved && entry.localPath == *savedPath) return;
    if (!entry.pendingPages.empty() && (savedPath == nullptr || entry.localPath != *savedPath)) {
        CLinkCorrection correction;
        correction.oldPath = entry.localPath;
        if (savedPath != nullptr) correction.newPath = *savedPath;
        else correction.absoluteURL = item.first;
        correction.pages = std::move(entry.pendingPages);
        mCorrections.push_back(std::move(correction));
    }
    entry.pendingPages.clear();
    entry.pendingPages.shrink_to_fit();
    if (savedPath != nullptr) {
        mSiteIndex.ClaimPath(*savedPath, item.first, true);
        entry.localPath = *savedPath;
        entry.state = ETargetState::kSaved;
    } else {
        entry.state = ETargetState::kNotSaved;
    }
}

void CCrawlRelinking::FinishRelinking()
{
    // Targets linked while queued that never got a file.
    for (CSiteIndex::Item& item : mSiteIndex.MutableEntries())
        if (!item.second.pendingPages.empty()) SettleEntry(item, nullptr);
    if (mCorrections.empty()) return;

    ShowStatus("Relinking URLs");
    std::unordered_map<std::uint32_t, TextMap<const CLinkCorrection*>> byPage;
    for (const CLinkCorrection& correction : mCorrections)
        for (std::uint32_t page : correction.pages) byPage[page].emplace(correction.oldPath, &correction);

    // The corrected pages are flushed together, not one by one.
    CWholeFileBatch corrected;
    std::size_t pagesRead = 0;
    for (const auto& entry : byPage) {
        // A big crawl stopped late has thousands of pages to correct: the
        // program hosting the crawl goes on drawing and taking input meanwhile.
        if (++pagesRead % kPagesPerYield == 0) CThread::Yield();
        const std::uint32_t pageIndex = entry.first;
        const auto& corrections = entry.second;  // a plain reference: clang 14 cannot capture a structured binding
        if (pageIndex >= mSavedPages.size()) continue;
        const CSavedPage& saved = mSavedPages[pageIndex];
        const CFileRef file(saved.file);
        const auto reportFailure = [&](int status) {
            LogLine("The links of a saved page could not be corrected: " + file.Path() + " (" + std::strerror(-status) +
                    ")");
        };
        std::string text;
        if (const int status = ReadWholeFile(file, text).Code(); status != 0) {
            reportFailure(status);
            continue;
        }
        std::string resolved;
        auto correct = [&](const CLinkOccurrence& occurrence, std::string& replacement) -> ERewrite {
            const std::string_view link = occurrence.link;
            const std::size_t hash = link.find('#');
            const std::string_view path = link.substr(0, hash);
            const std::string_view fragment = hash == std::string_view::npos ? std::string_view() : link.substr(hash);
            if (path.empty() || path.front() == '/' || HasURIScheme(path) || !IsMarkupLink(text, occurrence))
                return ERewrite::kKeep;
            resolved = RemoveDotSegments("/" + saved.folder + std::string(path));
            auto found = corrections.find(std::string_view(resolved).substr(1));
            if (found == corrections.end()) return ERewrite::kKeep;
            const CLinkCorrection& correction = *found->second;
            replacement = correction.absoluteURL.empty() ? LinkLocalPath(correction.newPath, saved.folder)
                                                         : correction.absoluteURL;
            replacement.append(fragment);
            return ERewrite::kReplace;
        };
        std::string rewritten;
        if (RewriteLinks(text, correct, rewritten).replaced == 0) continue;
        std::int64_t modified = 0;
        std::optional<std::int64_t> keptDate;
        if (CFile::GetModificationSeconds(file, modified).Ok()) keptDate = modified;
        if (const int status = corrected.Replace(file, rewritten, keptDate); status != 0) reportFailure(status);
    }
    // A page that could not be flushed or renamed keeps its old links.
    if (const int failures = corrected.Flush(); failures > 0)
        LogLine("The links of " + std::to_string(failures) + " saved page(s) could not be corrected");
    mCorrections.clear();
    mSavedPages.clear();
}
