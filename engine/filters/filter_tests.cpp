#include "engine/filters/filter_tests.h"

#include <limits>
#include <string>

#include "engine/filters/filter_date.h"
#include "engine/filters/filter_set.h"
#include "engine/url/url_record.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

// An empty item never begins or ends a value (it is contained in every one).
bool BeginsNoCase(std::string_view value, std::string_view item)
{
    return !item.empty() && BeginsWithNoCase(value, item);
}

bool EndsNoCase(std::string_view value, std::string_view item)
{
    return !item.empty() && EndsWithNoCase(value, item);
}

// The item with a "." put in front when it lacks one, compared exactly.
bool SuffixMatches(std::string_view extension, std::string_view item)
{
    if (!item.empty() && item.front() == '.') return extension == item;
    return extension.size() == item.size() + 1 && extension.front() == '.' && extension.substr(1) == item;
}

// Paths begin with '/': an item written without it ("docs") means the same
// as "/docs".
bool PathBeginsMatches(std::string_view path, std::string_view item)
{
    if (item.empty()) return false;
    if (item.front() == '/') return BeginsNoCase(path, item);
    return path.size() > item.size() && BeginsNoCase(path.substr(1), item);
}

template <typename Match>
bool AnyItem(const FilterStringList& items, std::string_view value, Match match)
{
    for (const CFixedString255& item : items)
        if (match(value, item.View())) return true;
    return false;
}

}  // namespace

std::string FilterPathOf(const CURL& url) { return "/" + url.mDirectory; }

std::int64_t ContentLengthOf(std::string_view headerText)
{
    std::size_t at = 0;
    while (at < headerText.size() && IsAsciiSpace(static_cast<unsigned char>(headerText[at]))) ++at;
    std::int64_t value = 0;
    constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
    for (; at < headerText.size() && IsAsciiDigit(static_cast<unsigned char>(headerText[at])); ++at) {
        int digit = headerText[at] - '0';
        if (value > (kLargest - digit) / 10) return kLargest;
        value = value * 10 + digit;
    }
    return value;
}

bool IsTextContentType(std::string_view contentType) { return BeginsNoCase(contentType, "text"); }

namespace filter_tests {

bool SuffixIs(const CFilterSet& f, const CURL& url) { return AnyItem(f.suffixIs, url.mExtension, SuffixMatches); }
bool MimeContains(const CFilterSet& f, const CURL& url) { return AnyItem(f.mimeContains, url.mContentType, ContainsNoCase); }
bool FilenameContains(const CFilterSet& f, const CURL& url) { return AnyItem(f.filenameContains, url.mFileName, ContainsNoCase); }
bool FilenameBeginsWith(const CFilterSet& f, const CURL& url) { return AnyItem(f.filenameBeginsWith, url.mFileName, BeginsNoCase); }
bool FilenameEndsWith(const CFilterSet& f, const CURL& url) { return AnyItem(f.filenameEndsWith, url.mFileName, EndsNoCase); }
bool PathContains(const CFilterSet& f, const CURL& url) { return AnyItem(f.pathContains, FilterPathOf(url), ContainsNoCase); }
bool PathBeginsWith(const CFilterSet& f, const CURL& url) { return AnyItem(f.pathBeginsWith, FilterPathOf(url), PathBeginsMatches); }
bool PathEndsWith(const CFilterSet& f, const CURL& url) { return AnyItem(f.pathEndsWith, FilterPathOf(url), EndsNoCase); }

bool SuffixIsNot(const CFilterSet& f, const CURL& url) { return AnyItem(f.suffixIsNot, url.mExtension, SuffixMatches); }
bool MimeDoesNotContain(const CFilterSet& f, const CURL& url) { return AnyItem(f.mimeDoesNotContain, url.mContentType, ContainsNoCase); }
bool FilenameDoesNotContain(const CFilterSet& f, const CURL& url) { return AnyItem(f.filenameDoesNotContain, url.mFileName, ContainsNoCase); }
bool FilenameDoesNotBeginWith(const CFilterSet& f, const CURL& url) { return AnyItem(f.filenameDoesNotBeginWith, url.mFileName, BeginsNoCase); }
bool FilenameDoesNotEndWith(const CFilterSet& f, const CURL& url) { return AnyItem(f.filenameDoesNotEndWith, url.mFileName, EndsNoCase); }
bool PathDoesNotContain(const CFilterSet& f, const CURL& url) { return AnyItem(f.pathDoesNotContain, FilterPathOf(url), ContainsNoCase); }
bool PathDoesNotBeginWith(const CFilterSet& f, const CURL& url) { return AnyItem(f.pathDoesNotBeginWith, FilterPathOf(url), PathBeginsMatches); }
bool PathDoesNotEndWith(const CFilterSet& f, const CURL& url) { return AnyItem(f.pathDoesNotEndWith, FilterPathOf(url), EndsNoCase); }

// Only text is searched; an empty query item is never found.
bool Content(const CFilterSet& f, const CURL& url)
{
    if (!IsTextContentType(url.mContentType)) return false;
    std::string body;
    if (!url.mBody.CopyTo(body)) return false;
    for (const CFixedString255& item : f.contentQuery)
        if (!item.IsEmpty() && FindTextNoCase(body, item.View()) != std::string::npos) return true;
    return false;
}

bool FileType(const CFilterSet& f, const CURL& url)
{
    if (url.mFileType == 0 || url.mFileType == CFilterSet::kUnknownFileType) return true;
    return f.fileTypes.Contains(url.mFileType);
}

// Both limits are inclusive; a missing Content-Length counts as 0 bytes.
bool Size(const CFilterSet& f, const CURL& url)
{
    std::int64_t size = ContentLengthOf(url.mContentLength);
    if (f.sizeGreaterThan != CFilterSet::kSizeNotSet && size < f.sizeGreaterThan) return false;
    if (f.sizeLessThan == CFilterSet::kSizeNotSet) return true;
    return size <= f.sizeLessThan;
}

// Both ends are inclusive. A date text that cannot be read sets no limit.
bool Date(const CFilterSet& f, const CURL& url)
{
    std::int64_t date = url.mModificationSeconds;
    std::int64_t limit = 0;
    if (!f.afterDate.IsEmpty() && ParseFilterDate(f.afterDate.c_str(), limit) && date < limit) return false;
    if (f.beforeDate.IsEmpty() || !ParseFilterDate(f.beforeDate.c_str(), limit)) return true;
    return date <= limit;
}

}  // namespace filter_tests
