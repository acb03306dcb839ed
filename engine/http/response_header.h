// The parsed HTTP response header of a transfer (CResponseHeader), and the
// header-text parsing that the URL record shares with it.
//
// Header text is split into lines at "\r\n" or a bare "\n". Interim
// responses ("HTTP/1.1 100 Continue" and the other 1xx blocks) that come
// before the real one are skipped: the status and the fields are those of
// the final block. Each line is split at its first ": " into a name, lower-
// cased, and a value that runs to the next ": " or tab; a line whose colon is
// not followed by a blank has no value and its whole text is its name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/http/header_map.h"

// One response's header lines, parsed.
struct CHeaderBlock {
    std::string statusLine;      // the block's first line
    std::int32_t statusCode = 0;  // from the status line; 0 when it has none
    CHeaderMap fields;           // every line but "set-cookie" ones; first value wins
    std::vector<std::string> setCookies;  // "set-cookie" values, in order
};

// Parses the final response block of `text` into `out` (emptied first).
void ParseHeaderBlock(std::string_view text, CHeaderBlock& out);

// The decimal number between the first blank of a status line and the next
// blank; 0 when there is no second blank or no number between them.
[[nodiscard]] std::int32_t StatusCodeFromLine(std::string_view statusLine);

// Name (lower-cased) and value of one header line, as described above.
void SplitHeaderLine(std::string_view line, std::string& name, std::string& value);

// The text between `realm="` and the next '"' of a WWW-Authenticate value;
// empty when either is missing.
std::string RealmFromAuthenticate(std::string_view value);

// A Content-Length value as a 64-bit count: decimal digits only, blanks
// around them allowed; nothing for an empty, signed, malformed or
// overflowing value.
[[nodiscard]] std::optional<std::uint64_t> ParseContentLength(std::string_view text);

// Unix seconds of a Last-Modified value; the current time when the value is
// empty or not a date.
[[nodiscard]] std::int64_t ModificationSecondsFor(std::string_view lastModified);

// Copies the fields that both the header record and the URL record keep.
// A field the response lacks becomes empty, so nothing of an earlier
// response (a Location above all) outlives it.
template <typename Record>
void CopyHeaderFields(const CHeaderBlock& block, Record& record)
{
    record.mDate = block.fields.Lookup("date");
    record.mLastModified = block.fields.Lookup("last-modified");
    record.mContentType = block.fields.Lookup("content-type");
    record.mContentLength = block.fields.Lookup("content-length");
    record.mLocation = block.fields.Lookup("location");
    record.mRealm = RealmFromAuthenticate(block.fields.Lookup("www-authenticate"));
    record.mModificationSeconds = ModificationSecondsFor(record.mLastModified);
}

class CResponseHeader {
public:
    CResponseHeader() = default;
    explicit CResponseHeader(std::string_view headerText) { Parse(headerText); }

    // Takes the whole header as received and fills every field from it.
    void Parse(std::string_view headerText);
    // mContentLength as a byte count (see ParseContentLength).
    [[nodiscard]] std::optional<std::uint64_t> ContentLengthBytes() const { return ParseContentLength(mContentLength); }

    std::string mDate;
    std::string mLastModified;  // empty when absent
    // mLastModified as Unix seconds, or the time of parsing when it is empty.
    std::int64_t mModificationSeconds = 0;
    std::string mContentType;
    std::string mContentLength;  // decimal text as received
    std::string mLocation;
    std::string mRealm;
    std::string mStatusLine;
    std::int32_t mStatusCode = 0;
    std::string mHeaderText;  // the whole header as received
    std::vector<std::string> mSetCookies;  // "set-cookie" values, in order
};

// The same fields, moved out of a header parsed before.
template <typename Record>
void MoveHeaderFields(CResponseHeader& header, Record& record)
{
    record.mDate = std::move(header.mDate);
    record.mLastModified = std::move(header.mLastModified);
    record.mContentType = std::move(header.mContentType);
    record.mContentLength = std::move(header.mContentLength);
    record.mLocation = std::move(header.mLocation);
    record.mRealm = std::move(header.mRealm);
    record.mModificationSeconds = header.mModificationSeconds;
}
