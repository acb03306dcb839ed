#include "app/windows/software_update/update_transfer.h"

#include "engine/http/response_header.h"
#include "engine/transfer/http_request.h"
#include "engine/url/url_record.h"
#include "foundation/mirror/mirror_names.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

// The status and Content-Length of the final response block.
bool IsSuccess(const HTTPRequest& request, CHeaderBlock& block)
{
    if (!request.mThreadDone.load() || !request.Succeeded()) return false;
    ParseHeaderBlock(request.ResponseHeader(), block);
    return block.statusCode >= 200 && block.statusCode <= 299;
}

}  // namespace

bool IsAllowedUpdateURL(std::string_view url)
{
    if (BeginsWithNoCase(url, "https://")) return true;
    if (!BeginsWithNoCase(url, "http://")) return false;
    const CURL parsed(url);
    std::string host = parsed.mHost;
    if (!host.empty() && host.front() == '[') host = host.substr(0, host.find(']') + 1);
    else host = host.substr(0, host.find(':'));
    return host == "127.0.0.1" || host == "[::1]" || CompareTextNoCase(host.c_str(), "localhost", 10) == 0;
}

std::optional<std::string> CompleteBody(const HTTPRequest& request)
{
    CHeaderBlock block;
    if (!IsSuccess(request, block)) return std::nullopt;
    std::unique_ptr<std::string> body = request.NewBodyPtr();
    if (!body) return std::nullopt;
    const std::string& length = block.fields.Lookup("content-length");
    if (!length.empty()) {
        const std::optional<std::uint64_t> expected = ParseContentLength(length);
        if (!expected || *expected != body->size()) return std::nullopt;
    }
    return std::move(*body);
}

std::uint64_t ExpectedSize(const HTTPRequest& headRequest)
{
    CHeaderBlock block;
    if (!IsSuccess(headRequest, block)) return 0;
    return ParseContentLength(block.fields.Lookup("content-length")).value_or(0);
}

std::string ArchiveFileName(std::string_view url)
{
    const CURL parsed(url);
    std::string name = MirrorNameFromSegment(parsed.mFileName);
    if (name.empty() || name == "%2E" || name == "%2E%2E") name = "Tidewell Update";
    return name;
}
