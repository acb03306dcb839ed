#include "engine/html/html_page.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#include "engine/config/configuration.h"
#include "engine/html/anchor_text.h"
#include "engine/html/attribute_links.h"
#include "engine/html/dotted_links.h"
#include "engine/html/head_edits.h"
#include "engine/html/link_text.h"
#include "engine/html/page_context.h"
#include "engine/html/style_links.h"
#include "engine/html/visible_text.h"
#include "engine/url/url_resolution.h"
#include "engine/url/url_record.h"
#include "foundation/system/file_name_mappings.h"
#include "foundation/text/ascii_words.h"
#include "foundation/text/text_encodings.h"

namespace {

// Every comment ("<!--" to "-->", or to the end) becomes blanks, in one pass.
void BlankComments(std::string& text)
{
    for (std::size_t open = text.find("<!--"); open != std::string::npos; open = text.find("<!--", open)) {
        std::size_t end = text.find("-->", open + 4);
        end = end == std::string::npos ? text.size() : end + 3;
        std::fill(text.begin() + static_cast<std::ptrdiff_t>(open), text.begin() + static_cast<std::ptrdiff_t>(end), ' ');
        open = end;
    }
}

constexpr int kLinksPerStatus = 50;

// Drops the links that stand in a page's visible text: tags, styles and
// scripts hold links, while text only shows what looks like one ("the
// URL(s) of", "&lt;img src=\"x.gif\"&gt;" in an example).
void DropLinksInText(std::string_view page, std::vector<std::string_view>& links)
{
    std::optional<CVisibleTextSpans> spans;
    std::size_t last = 0;
    std::erase_if(links, [&](std::string_view link) {
        const auto offset = static_cast<std::size_t>(link.data() - page.data());
        if (IsPlainlyInStartTag(page, offset)) return false;
        // The spans are read forward: a link before the last one asked
        // (another kind of reference) starts a new reading.
        if (!spans || offset < last) spans.emplace(page);
        last = offset;
        return spans->InText(offset);
    });
}

// Non-printable ASCII chars become blanks and every run of blanks one
// blank; bytes of UTF-8 characters stay. Eight bytes that hold no control
// char and no blank after a blank stay as they are and are moved together
// (text has a blank every few bytes, so words with blanks must take this way
// too); the rest goes byte by byte.
void TidyPageText(std::string& text)
{
    auto* bytes = reinterpret_cast<unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t kept = 0;
    bool lastWasBlank = false;
    std::size_t i = 0;
    while (i < size) {
        std::size_t plain = i;
        bool blankBefore = lastWasBlank;
        if constexpr (std::endian::native == std::endian::little) {
            while (plain + 8 <= size) {
                std::uint64_t word;
                std::memcpy(&word, bytes + plain, 8);
                if (HasControl(word)) break;
                const std::uint64_t blanks = BytesEqual(word, ' ');
                if ((blanks & (blanks << 8)) != 0 || (blankBefore && (blanks & 0x80) != 0)) break;
                blankBefore = (blanks >> 63) != 0;
                plain += 8;
            }
        }
        if (plain > i) {
            if (kept != i) std::memmove(bytes + kept, bytes + i, plain - i);
            kept += plain - i;
            i = plain;
            lastWasBlank = blankBefore;
            continue;
        }
        unsigned char c = bytes[i++];
        if (c < 0x20 || c == 0x7F) c = ' ';
        if (c == ' ' && lastWasBlank) continue;
        lastWasBlank = c == ' ';
        bytes[kept++] = c;
    }
    text.resize(kept);
}

}  // namespace

CHTMLPage::CHTMLPage(const TPooledList<CDelimiter>& delimiters, CURL& fetchedURL, bool resourcesOnly,
                     CPageContext* crawl)
    : mDelimiters(EnabledDelimiterPairs(delimiters)), mCrawl(crawl)
{
    bool useServerContentType = false;
    if (crawl) {
        const CConfiguration& configuration = crawl->Configuration();
        useServerContentType = configuration.mGeneralOptions.useServerContentType != 0;
        mIgnoreDynamicURLs = configuration.mGeneralOptions.ignoreDynamicURLs != 0;
        mHarvestEmail = configuration.mMiscOptions.extractEmailAddresses != 0;
    }

    // Only a page's markup is edited; other files keep their bytes.
    mKind = PageKindOf(fetchedURL.mContentType, fetchedURL.mFileName);
    const bool page = mKind == EPageKind::kPage;
    mPageURL = fetchedURL.mURL;
    mBaseURL = mPageURL;

    std::string body;
    // A body that cannot be read back (its spill file failed) is no empty
    // page: the record stays as it came and the crawl is told.
    mBodyRead = fetchedURL.mBody.CopyTo(body);
    if (!mBodyRead) return;
    bool changed = false;
    if (useServerContentType && page) changed = InsertContentTypeMeta(body, fetchedURL.mContentType);

    CBaseHref base;
    bool keepBase = false;
    if (page && FindBaseHref(body, mPageURL, base)) {
        mBaseURL = base.url;
        // A media grab saves the page as it came, base element and all; its
        // links still resolve against the base.
        keepBase = crawl && crawl->IsMediaMode();
        if (!keepBase) changed = ApplyBaseHref(body, base, crawl) || changed;
    }
    // Bytes that cannot be stored leave the page as it came, not empty.
    if (changed) (void)fetchedURL.mBody.ReplaceBytes(body.data(), body.size());

    mResolver = std::make_unique<CURLResolver>(mBaseURL);
    mPageText = std::move(body);
    // The base's own address is no link of the page.
    if (keepBase) mPageText.erase(base.valueStart, base.valueEnd - base.valueStart);
    if (mPageText.empty()) return;
    TidyPageText(mPageText);
    CollectURLs(resourcesOnly);
    std::string title = ExtractTitle(mPageText);
    fetchedURL.mTitle = title.empty() ? fetchedURL.mFileName : std::move(title);
}

CHTMLPage::~CHTMLPage() = default;

CHTMLPage::SLinkTarget CHTMLPage::FindLinkTarget(std::string_view linkText) const
{
    std::string scratch;
    auto found = mResolved.find(NormalizeLinkText(linkText, scratch));
    if (found == mResolved.end() || !found->second.fetchable) return {};
    const CResolvedLink& resolved = found->second;
    if (resolved.record < 0) return {&resolved.url, -1};
    return {&mLinkRecords[static_cast<std::size_t>(resolved.record)].mURL, resolved.record};
}

void CHTMLPage::CollectURLs(bool resourcesOnly)
{
    // Text and data name nothing a browser would load from them.
    if (mKind == EPageKind::kOther) return;
    // Both link sources read the page, without the anchors' links in
    // one-page mode.
    std::string withoutAnchors;
    std::string_view text = mPageText;
    if (resourcesOnly) {
        withoutAnchors = mPageText;
        RemoveAnchorHrefs(withoutAnchors);
        text = withoutAnchors;
    }
    // What a page's comments name is no link of it: nobody can follow it.
    if (mKind == EPageKind::kPage && text.find("<!--") != std::string_view::npos) {
        if (!resourcesOnly) withoutAnchors = mPageText;
        BlankComments(withoutAnchors);
        text = withoutAnchors;
    }
    // A style sheet's links are its url() references; a page's and a
    // style block's too. In scripts and data documents every link is a guess.
    if (mKind != EPageKind::kScript) {
        std::vector<std::string_view> styleLinks;
        CollectStyleLinks(text, styleLinks);
        if (mKind == EPageKind::kPage) DropLinksInText(text, styleLinks);
        for (std::string_view link : styleLinks) {
            if (IsStopRequested()) return;
            ProcessLink(link, resourcesOnly, nullptr, 0, false);
        }
        if (mKind == EPageKind::kStyleSheet) return;
    }
    std::vector<std::string_view> links;
    CollectDottedLinks(text, links, mCrawl, mHarvestEmail, mKind == EPageKind::kPage);

    // Most links of a page stand around a dot; the delimiters find few others.
    const std::size_t expected = links.size() + links.size() / 4 + 16;
    mLinkRecords.reserve(expected);
    mResolved.reserve(expected);
    const std::string count = std::to_string(links.size());
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (i % kLinksPerStatus == 0) {
            Yield();
            ShowStatus("Collecting URLs (" + std::to_string(i) + " of " + count + ")");
        }
        if (IsStopRequested()) break;
        ProcessLink(links[i], resourcesOnly, nullptr, 0, true);
    }
    ExtractURLs(text, resourcesOnly);
    if (mKind != EPageKind::kPage || IsStopRequested()) return;
    // Markup links in the shapes the delimiter pairs miss: the dotted scan
    // may have guessed them, but they are links.
    std::vector<std::string_view> attributeLinks;
    CollectAttributeLinks(text, attributeLinks);
    DropLinksInText(text, attributeLinks);
    for (std::string_view link : attributeLinks) {
        if (IsStopRequested()) return;
        ProcessLink(link, resourcesOnly, nullptr, 0, false);
    }
}

void CHTMLPage::ExtractURLs(std::string_view text, bool resourcesOnly)
{
    std::size_t count = 0;
    CutDelimitedLinks(text, mDelimiters, [&](std::string_view link, std::size_t linkEnd, CAnchorSource& anchors) {
        if (count++ % kLinksPerStatus == 0) {
            Yield();
            ShowStatus("Extracting URLs (" + std::to_string(count - 1) + ")");
        }
        ProcessLink(link, resourcesOnly, &anchors, linkEnd, mKind == EPageKind::kScript);
        return !IsStopRequested();
    }, nullptr, mKind == EPageKind::kPage);
}

void CHTMLPage::ProcessLink(std::string_view link, bool resourcesOnly, CAnchorSource* anchors, std::size_t linkEnd,
                            bool guess)
{
    std::string scratch;
    std::string_view text = NormalizeLinkText(link, scratch);
    // Only web links are kept in mResolved: a link met before needs no
    // second look at its kind.
    auto found = mResolved.find(text);
    if (found == mResolved.end()) {
        switch (ClassifyLink(text)) {
        case ELinkKind::kMailto:
            if (mHarvestEmail && mCrawl && anchors) {
                std::string_view address = MailtoAddress(text);
                if (!address.empty()) mCrawl->AddEmailAddress(std::string(address), anchors->AnchorTextAfter(linkEnd));
            }
            return;
        case ELinkKind::kWeb:
            break;
        default:
            return;
        }

        CResolvedLink resolved;
        resolved.fetchable = ResolvePageLink(text, *mResolver, resolved.url);
        if (resolved.fetchable) {
            resolved.dynamic = URLIsDynamic(resolved.url);
            const std::string_view fileName = URLFileName(resolved.url);
            resolved.hasFileName = !fileName.empty();
            resolved.knownType = FindFileNameMappingForName(fileName) != nullptr;
        }
        found = mResolved.emplace(std::string(text), std::move(resolved)).first;
        if (found->second.fetchable) mRawLinks.push_back(found->first);
    }
    CResolvedLink& resolved = found->second;
    if (!resolved.fetchable) return;
    if (resolved.record >= 0) {
        // A guess that the markup names too is a link.
        if (!guess) mLinkRecords[static_cast<std::size_t>(resolved.record)].mGuess = false;
        return;
    }
    // A guess names a file of a type the program knows.
    if (guess && !resolved.knownType) return;
    if (mIgnoreDynamicURLs && resolved.dynamic) return;
    if (resourcesOnly && !resolved.hasFileName) return;
    resolved.record = static_cast<std::ptrdiff_t>(mLinkRecords.size());
    mLinkRecords.push_back(CLinkRecord{found->first, std::move(resolved.url), {}, {}, guess});
}

void CHTMLPage::Yield()
{
    if (mCrawl) mCrawl->Yield();
}

void CHTMLPage::ShowStatus(const std::string& text)
{
    if (mCrawl) mCrawl->ShowStatus(text);
}

bool CHTMLPage::IsStopRequested() const { return mCrawl && mCrawl->IsStopRequested(); }
