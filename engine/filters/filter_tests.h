// The test operations a filter set compiles its criteria into, and the parts
// of the URL record they read.
//
// String tests scan their list in order and are true at the first item that
// matches. A negative test uses its positive twin's match on its own list, so
// "true" there means the URL fails. Case is ignored by ASCII folding, except
// for the suffix tests, which compare exactly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CFilterSet;
class CURL;

// The directory path the path tests and the script see: "/" followed by the
// record's directory ("/" for a URL at the top of its host).
std::string FilterPathOf(const CURL& url);

// The Content-Length header text as a byte count: its leading decimal
// digits (after blanks) as a 64-bit number, 0 when empty or not a number,
// the largest value when it overflows.
[[nodiscard]] std::int64_t ContentLengthOf(std::string_view headerText);

// True when `text` begins with "text", ignoring case.
[[nodiscard]] bool IsTextContentType(std::string_view contentType);

namespace filter_tests {

[[nodiscard]] bool SuffixIs(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool MimeContains(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool FilenameContains(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool FilenameBeginsWith(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool FilenameEndsWith(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool PathContains(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool PathBeginsWith(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool PathEndsWith(const CFilterSet& filters, const CURL& url);

[[nodiscard]] bool SuffixIsNot(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool MimeDoesNotContain(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool FilenameDoesNotContain(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool FilenameDoesNotBeginWith(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool FilenameDoesNotEndWith(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool PathDoesNotContain(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool PathDoesNotBeginWith(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool PathDoesNotEndWith(const CFilterSet& filters, const CURL& url);

[[nodiscard]] bool Content(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool FileType(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool Size(const CFilterSet& filters, const CURL& url);
[[nodiscard]] bool Date(const CFilterSet& filters, const CURL& url);

}  // namespace filter_tests
