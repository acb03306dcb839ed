#include "engine/update/complete_response.h"

#include "engine/url/url_record.h"

bool HoldsCompleteBody(const CURL& url)
{
    if (url.mFetchedOK != 1) return false;
    const int status = url.mStatusCode;
    if (status < 200 || status > 299) return false;
    if (status == 204 || status == 205 || status == 206) return false;
    // No Content-Length (a chunked or closed-off body) leaves the transfer
    // layer to judge completeness; a number must match the bytes held.
    if (url.mContentLength.empty()) return true;
    const std::optional<std::uint64_t> expected = url.ContentLengthBytes();
    return expected.has_value() && *expected == url.mBody.Length();
}
