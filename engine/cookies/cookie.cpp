#include "engine/cookies/cookie.h"

#include <ctime>
#include <limits>

#include "foundation/system/http_dates.h"

namespace {

constexpr std::int64_t kMaxSeconds = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMinSeconds = std::numeric_limits<std::int64_t>::min();

// The file's 1904-based seconds, saturated instead of overflowing.
std::int64_t ToFileSeconds(std::int64_t unixSeconds)
{
    return unixSeconds > kMaxSeconds - kSeconds1904To1970 ? kMaxSeconds : UnixToSeconds1904(unixSeconds);
}

std::int64_t FromFileSeconds(std::int64_t fileSeconds)
{
    return fileSeconds < kMinSeconds + kSeconds1904To1970 ? kMinSeconds : Seconds1904ToUnix(fileSeconds);
}

// Line breaks in a name or value would split the request header they go into.
std::string WithoutLineBreaks(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n' && c != '\0') out += c;
    return out;
}

}  // namespace

std::int64_t CookieClockNow() { return static_cast<std::int64_t>(std::time(nullptr)); }

CCookie::CCookie() : mExpirySeconds(CookieClockNow())
{
    CFixedString255 now;
    FormatHTTPDate(mExpirySeconds, now);
    mExpires = now.c_str();
}

PlistValue CCookie::CopyAsArray() const
{
    PlistValue array = PlistValue::MakeArray();
    array.Append(PlistValue::MakeString(mName));
    array.Append(PlistValue::MakeString(mValue));
    array.Append(PlistValue::MakeString(mDomain));
    array.Append(PlistValue::MakeString(mPath));
    array.Append(PlistValue::MakeString(mExpires));
    array.Append(PlistValue::MakeInteger(ToFileSeconds(mExpirySeconds)));
    return array;
}

bool CCookie::SetFromArray(const PlistValue& array)
{
    if (!array.IsArray() || array.Count() != 6) return false;
    for (std::size_t i = 0; i < 5; ++i)
        if (!array.ItemAt(i).IsString()) return false;
    if (!array.ItemAt(5).IsInteger()) return false;
    mName = WithoutLineBreaks(array.ItemAt(0).Text());
    mValue = WithoutLineBreaks(array.ItemAt(1).Text());
    mDomain = array.ItemAt(2).Text();
    mPath = array.ItemAt(3).Text();
    mExpires = array.ItemAt(4).Text();
    mExpirySeconds = FromFileSeconds(array.ItemAt(5).Integer());
    return true;
}
