// Cookies from outside: "Set-Cookie" values of a response (input: host,
// newline, path, newline, value) and the cookie file (the whole input as a
// property list).
#include <cstdint>
#include <string>

#include "engine/cookies/cookie.h"
#include "engine/cookies/cookie_store.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "platform/plist/plist_xml.h"

namespace {

void CheckSetCookie(std::string_view text)
{
    const std::vector<std::string_view> parts = SplitFuzzInput(text, 3);
    CCookieList cookies;
    ParseSetCookieHeader(parts[2], parts[0], parts[1], cookies);
    for (const CCookie& cookie : cookies) {
        // What the cookie file keeps of a cookie comes back from it.
        CCookie read;
        FUZZ_CHECK(read.SetFromArray(cookie.CopyAsArray()));
        FUZZ_CHECK(read.mDomain == cookie.mDomain && read.mPath == cookie.mPath && read.mExpires == cookie.mExpires);
    }
}

// A store read from a file and written out again reads back the same.
void CheckCookieFile(std::string_view bytes)
{
    std::optional<PlistValue> file = ParsePlist(bytes);
    if (!file) return;
    const std::int64_t now = 0;
    CCookieStore first;
    first.AddFromArray(*file, now);
    const PlistValue written = first.CopyAsArray();
    CCookieStore second;
    second.AddFromArray(written, now);
    FUZZ_CHECK(second.CopyAsArray() == written);
    if (std::optional<std::string> xml = PlistToXml(written)) {
        std::optional<PlistValue> reread = ParsePlist(*xml);
        FUZZ_CHECK(reread && *reread == written);
    }
    for (const CCookieStore::Entry& entry : first.Entries()) (void)first.CookiesForHost(entry.path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const std::string_view text = FuzzText(data, size);
    CheckSetCookie(text);
    CheckCookieFile(text);
    return 0;
}
