// CHTMLPage: the links of one fetched page.
//
// Made by the crawl for every page it keeps, it does all of its work in the
// constructor: it may stamp the server's content type into the page's head,
// rewrites the page for a base element, collects every link of the page,
// resolves each against the page (or its base), harvests "mailto:" addresses
// into the crawl's e-mail table, records the links the crawl may follow, and
// puts the page title into the fetched record.
//
// The work is linear in the page: each link source is read in forward
// passes, and a link text met again (on a page, the same link is usually
// found both around its dot and between its delimiters) is resolved once.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/html/delimited_links.h"
#include "engine/html/link_record.h"
#include "engine/html/page_kind.h"
#include "engine/html/text_hash.h"
#include "foundation/containers/pooled_list.h"

class CPageContext;
class CURL;
class CURLResolver;
struct CDelimiter;

class CHTMLPage {
public:
    // `delimiters`: the configuration's link delimiter list. `resourcesOnly`:
    // the one-page mode, which ignores the links of anchors and records only
    // links with a file name. `crawl` may be null (then nothing is harvested,
    // no status is shown and the configuration's defaults apply).
    CHTMLPage(const TPooledList<CDelimiter>& delimiters, CURL& fetchedURL, bool resourcesOnly, CPageContext* crawl);

    ~CHTMLPage();
    CHTMLPage(const CHTMLPage&) = delete;
    CHTMLPage& operator=(const CHTMLPage&) = delete;

    // The links found, one record for each link text, in the order first
    // found: mLink as written in the page (normalized, NormalizeLinkText),
    // mURL absolute without its fragment. A link met again adds nothing:
    // the crawl would drop the copy anyway, and a page repeating one short
    // link must not cost memory by the megabyte.
    const std::vector<CLinkRecord>& LinkRecords() const { return mLinkRecords; }
    // Every distinct link text the page holds that names a web URL, in the
    // order first found; the texts live as long as the page.
    const std::vector<std::string_view>& RawLinks() const { return mRawLinks; }
    // The absolute URL of a link text of this page, as the page writes it
    // (a rewriter's offer) or as NormalizeLinkText gives it; null when the
    // page has no such link or it is not a URL to fetch.
    const std::string* FindLinkURL(std::string_view linkText) const { return FindLinkTarget(linkText).url; }
    // The same, with the index of the link's record in LinkRecords(), or -1
    // for a link the page resolves without listing it.
    struct SLinkTarget {
        const std::string* url = nullptr;
        std::ptrdiff_t record = -1;
    };
    SLinkTarget FindLinkTarget(std::string_view linkText) const;

    // The URL links resolve against: the page's own, or its base element's.
    const std::string& BaseURL() const { return mBaseURL; }
    // The page text the links were read from (non-printables blanked,
    // blank runs collapsed).
    const std::string& PageText() const { return mPageText; }
    EPageKind Kind() const { return mKind; }
    // False when the fetched body could not be read back: the page then has
    // no links, and neither the body nor the title was touched.
    [[nodiscard]] bool BodyWasRead() const { return mBodyRead; }

private:
    struct CResolvedLink {
        std::string url;  // moved into the link's record once there is one
        std::ptrdiff_t record = -1;
        bool fetchable = false;
        bool dynamic = false;
        bool hasFileName = false;
        bool knownType = false;  // its file name's extension is in the file-name mappings
    };

    void CollectURLs(bool resourcesOnly);
    // `text`: the page text, without the anchors' links in one-page mode.
    void ExtractURLs(std::string_view text, bool resourcesOnly);
    // `anchors` and `linkEnd` locate the link for the anchor text of a
    // "mailto:" link; null when the caller harvested it already. `guess`:
    // found by the dotted-link scan only.
    void ProcessLink(std::string_view link, bool resourcesOnly, CAnchorSource* anchors, std::size_t linkEnd,
                     bool guess);
    void Yield();
    void ShowStatus(const std::string& text);
    [[nodiscard]] bool IsStopRequested() const;

    std::vector<CLinkDelimiterPair> mDelimiters;
    std::string mPageText;
    std::vector<CLinkRecord> mLinkRecords;
    std::vector<std::string_view> mRawLinks;  // keys of mResolved
    CPageContext* mCrawl;
    EPageKind mKind = EPageKind::kPage;  // by the fetched record's Content-Type

    std::string mPageURL;
    std::string mBaseURL;
    std::unique_ptr<CURLResolver> mResolver;  // against mBaseURL
    TextMap<CResolvedLink> mResolved;  // normalized link text -> what it names
    bool mHarvestEmail = false;
    bool mIgnoreDynamicURLs = false;
    bool mBodyRead = false;
};
