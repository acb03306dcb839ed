// Splitting a URL into the parts the crawl and the mirror use.
//
// The host is the URL's authority (RFC 3986) without any
// "user:password@" part; the directory, the file name and the
// query come only from what follows the authority, so nothing written in the
// host or the query can reach a folder name.
#include "engine/cookies/cookie_domain.h"
#include "engine/url/uri_reference.h"
#include "engine/url/url_parts.h"
#include "engine/url/url_record.h"
#include "engine/url/url_type_extension.h"
#include "foundation/system/file_name_mappings.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

std::int32_t SchemeOf(std::string_view scheme)
{
    if (EqualsNoCase(scheme, "ftp")) return kSchemeFTP;
    if (EqualsNoCase(scheme, "https")) return kSchemeHTTPS;
    return kSchemeHTTP;
}

// The text after the last `marker` once the two other markers are cut off
// (each from the right); empty when the marker is absent.
// The pieces between separators, empty ones skipped, into `pieces` (whose
// strings keep their room).
void SplitSkippingEmpty(std::string_view text, char separator, std::vector<std::string>& pieces)
{
    std::size_t count = 0;
    for (std::size_t at = 0; at <= text.size();) {
        std::size_t end = text.find(separator, at);
        if (end == std::string_view::npos) end = text.size();
        if (end > at) {
            const std::string_view piece = text.substr(at, end - at);
            if (count < pieces.size()) pieces[count].assign(piece);
            else pieces.emplace_back(piece);
            ++count;
        }
        at = end + 1;
    }
    pieces.resize(count);
}

// True for dotted digits: four non-empty pieces of '0'..'9' only.
bool IsDottedQuad(std::string_view host)
{
    int pieces = 0;
    std::size_t length = 0;
    for (char c : host) {
        if (c == '.') {
            if (length == 0) return false;
            ++pieces;
            length = 0;
        } else if (IsAsciiDigit(static_cast<unsigned char>(c))) {
            ++length;
        } else {
            return false;
        }
    }
    return length > 0 && pieces == 3;
}

}  // namespace

void CURL::Parse()
{
    const std::string& text = mURL;
    const CURIReference parts = SplitURIReference(text);
    mScheme = SchemeOf(parts.scheme);

    // What follows the host: the path (from its '/') and the query part.
    std::string_view rest;
    std::string_view path;
    mHost.clear();
    const std::size_t authorityEnd = AuthorityEnd(parts, text);
    if (authorityEnd != std::string::npos) {
        mHost.assign(AuthorityHost(parts.authority));
        rest = std::string_view(text).substr(authorityEnd);
        if (!rest.empty() && rest.front() == '/') path = rest;
    } else {
        rest = text;
        const std::size_t slash = text.find('/');
        if (slash != std::string::npos) path = rest.substr(slash);
    }

    const std::string_view directory = CutAtLast(CutAtLast(CutAtLast(path, '?'), '#'), '$');
    const std::size_t lastSlash = directory.rfind('/');
    if (lastSlash != std::string_view::npos && lastSlash > 0) mDirectory.assign(directory.substr(1, lastSlash - 1));
    else mDirectory.clear();
    SplitSkippingEmpty(mDirectory, '/', mDirectoryComponents);

    const std::string_view file = CutAtLast(CutAtLast(CutAtLast(path, '$'), '?'), '#');
    const std::size_t fileSlash = file.rfind('/');
    if (fileSlash != std::string_view::npos) {
        mFileName.assign(file.substr(fileSlash + 1));
        mFileWithQuery.assign(CutAtLast(path, '#').substr(fileSlash + 1));
    } else {
        mFileName.clear();
        mFileWithQuery.clear();
    }
    const std::size_t dot = mFileName.rfind('.');
    if (dot == std::string::npos) mExtension.clear();
    else mExtension.assign(std::string_view(mFileName).substr(dot));

    mDollarPart.assign(PartAfter(rest, '$', '?', '#'));
    mQuery.assign(PartAfter(rest, '?', '$', '#'));
    mFragment.assign(PartAfter(rest, '#', '?', '$'));

    const FileNameMapping* mapping = FileTypeMappingForExtension(mExtension);
    mFileType = mapping ? mapping->type : 0;
    mFileCreator = mapping ? mapping->creator : 0;
}

bool CURL::IsSameURL(const CURL& other) const
{
    auto withoutParts = [](std::string_view url) { return CutAtLast(CutAtLast(CutAtLast(url, '?'), '#'), '$'); };
    return withoutParts(mURL) == withoutParts(other.mURL);
}

bool CURL::IsIPAddressHost(std::string_view host)
{
    std::size_t colon = host.rfind(':');
    return IsDottedQuad(host.substr(0, colon));
}

std::string CURL::GetCookieDomain() const
{
    // An address, a bracketed IPv6 literal or a one-label name ("localhost")
    // has no parent domain: it is its own.
    if (IsIPAddressHost(mHost) || (!mHost.empty() && mHost.front() == '[')) return mHost;
    std::vector<std::string> labels;
    SplitSkippingEmpty(mHost, '.', labels);
    if (labels.size() < 2) return mHost;
    return labels[labels.size() - 2] + "." + labels.back();
}

bool CURL::IsDynamic() const { return !mDollarPart.empty() || !mQuery.empty(); }

bool CURL::HasPHPExtension() const { return mExtension == ".php" || mExtension == ".php3" || mExtension == ".phtml"; }

bool CURL::GetDollarPart(std::string& out) const
{
    out = mDollarPart;
    return !out.empty();
}

bool CURL::GetQuery(std::string& out) const
{
    out = mQuery;
    return !out.empty();
}

std::vector<std::string> CURL::MirrorFolderSegments(bool withDirectory) const
{
    std::string_view host, port;
    SplitHostAndPort(mHost, host, port);
    std::vector<std::string> segments;
    segments.emplace_back(host);
    if (!port.empty()) segments.emplace_back(port);
    if (withDirectory) segments.insert(segments.end(), mDirectoryComponents.begin(), mDirectoryComponents.end());
    return segments;
}
