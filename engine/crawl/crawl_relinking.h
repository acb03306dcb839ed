// CCrawlRelinking: the links of saved pages, made to work from disk. It
// rewrites a page's links before the page is saved, each to the target's
// place in the mirror relative to the page's own folder; it keeps the pages
// that link to places whose files are not there yet, settles them as the
// files land, and at the end of the crawl corrects the links whose target
// landed elsewhere, or nowhere, in the saved pages.
//
// Each URL's place is kept once for the whole crawl in the site index, which
// the crawl shares with this class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/crawl/site_index.h"

class CCrawlListener;
class CHTMLPage;
class CPageContext;

// How one page's links are rewritten.
struct SPageRelinking {
    bool markup = false;      // a page of markup, not a style sheet
    bool relink = false;      // links to files of the mirror become local
    bool remap = false;       // only links whose file got a name of its own
    bool remapHosts = false;  // links to other hosts become local too
    bool secondaryDomains = false;
    std::size_t yieldQuantum = 1;  // links rewritten between two yields
    std::string_view pageFolder;   // path from the mirror's root, "" or ending in "/"
    std::string_view pageHost;     // identity form
    std::string_view startHost;    // identity form
    // The index entries of the page's link records, in their order, as the
    // crawl found them when it examined the links (a null one, or none at
    // all, is looked up again): a page is rewritten right after, and each
    // look-up in an index of the whole site is a walk through cold memory.
    std::span<CSiteIndex::Item* const> linkItems;
};

class CCrawlRelinking {
public:
    // Both must outlive the relinking.
    CCrawlRelinking(CCrawlListener& listener, CSiteIndex& index);
    CCrawlRelinking(const CCrawlRelinking&) = delete;
    CCrawlRelinking& operator=(const CCrawlRelinking&) = delete;

    // The link from a page whose folder lies at `pageFolder` (path from the
    // mirror's root, "" or ending in "/") to the file at `target`: "../" for
    // each of the page's folders the target does not share.
    static std::string LinkLocalPath(std::string_view target, std::string_view pageFolder);

    // A new URL is being treated: no page of it links anywhere yet.
    void BeginURL() { mPagePendingTargets.clear(); }
    // Rewrites the links of `body` (the text of `page`) in one pass; true when
    // one changed. `context` yields and tells a stop.
    [[nodiscard]] bool RelinkPage(std::string& body, const CHTMLPage& page, const SPageRelinking& how, CPageContext& context);
    // The page just saved at `file` (`pathFromRoot` in the mirror) links to
    // places whose files are not there yet.
    [[nodiscard]] bool HasPendingTargets() const { return !mPagePendingTargets.empty(); }
    void RegisterSavedPage(const std::string& file, const std::string& pathFromRoot);

    // Where the URLs (one URL and those that redirected to it) are saved
    // now, at `path` from the mirror's root: links to them open that file.
    void NoteSaved(const std::vector<std::string>& urls, const std::string& path);
    void NoteNotSaved(const std::vector<std::string>& urls);
    // Pages that link to the entry's place before its file was there are
    // settled when the file lands there (`savedPath`, null for none);
    // otherwise they wait for the final correction.
    void SettleEntry(CSiteIndex::Item& item, const std::string* savedPath);
    // At the end of the crawl: links written before their target's file was
    // saved, to a target that was saved elsewhere or not at all, are
    // corrected in the saved pages.
    void FinishRelinking();

private:
    void ShowStatus(const std::string& text);
    void LogLine(const std::string& text);

    // Saved pages whose links may need the final correction, and the
    // corrections: links to `oldPath` become links to `newPath`, or the
    // absolute URL when the target has no file.
    struct CSavedPage {
        std::string file;
        std::string folder;  // path from the mirror's root, "" or ending in "/"
    };
    struct CLinkCorrection {
        std::string oldPath;
        std::string newPath;
        std::string absoluteURL;
        std::vector<std::uint32_t> pages;
    };

    CCrawlListener& mListener;
    CSiteIndex& mSiteIndex;
    std::vector<CSavedPage> mSavedPages;
    std::vector<CLinkCorrection> mCorrections;
    // The targets the page being rewritten links to before their files exist.
    std::vector<CSiteIndex::Item*> mPagePendingTargets;
};
