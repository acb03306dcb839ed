// Response headers into the record, and the cookies they set into the
// running crawl of the record's window.
#include "engine/cookies/cookie_domain.h"
#include "engine/cookies/cookie_store.h"
#include "engine/owner/crawl_listener.h"
#include "engine/http/response_header.h"
#include "engine/url/url_record.h"

void CURL::ReadResponseHeaders(std::string_view rawHeader)
{
    CHeaderBlock block;
    ParseHeaderBlock(rawHeader, block);
    mStatusCode = block.statusCode;
    mStatusLine.Assign(std::string_view(block.statusLine));
    ApplyHeaderBlock(block);
}

void CURL::KeepReceivedHeader(CResponseHeader&& header)
{
    mReceivedHeader = std::move(header);
}

void CURL::ParseRawHeaders()
{
    if (mReceivedHeader) {
        MoveHeaderFields(*mReceivedHeader, *this);
        if (!mReceivedHeader->mSetCookies.empty()) StoreResponseCookies(mReceivedHeader->mSetCookies);
        mReceivedHeader.reset();
        return;
    }
    CHeaderBlock block;
    ParseHeaderBlock(mRawHeader.View(), block);
    ApplyHeaderBlock(block);
}

void CURL::ApplyHeaderBlock(const CHeaderBlock& block)
{
    CopyHeaderFields(block, *this);
    if (!block.setCookies.empty()) StoreResponseCookies(block.setCookies);
}

// Only for a window whose crawl is running and keeps cookies (it hands out
// its store only then). A cookie without a Domain belongs to the host that
// set it, and without a Path to this URL's folder.
void CURL::StoreResponseCookies(const std::vector<std::string>& setCookieValues)
{
    CCrawlOwner* owner = Owner();
    CCookieStore* store = owner ? owner->GetRunningCookieStore() : nullptr;
    if (!store) return;
    std::string_view host = HostWithoutPort(mHost);
    std::string path = "/" + mDirectory;
    // Each cookie is stored as it is parsed, so the store's caps bound what
    // a response holds at any time, however many cookies it sets.
    for (const std::string& value : setCookieValues)
        ParseSetCookieHeader(value, host, path, [store](CCookie&& cookie) { store->StoreResponseCookie(cookie); });
}
