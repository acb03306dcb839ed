#include "engine/url/url_cookies.h"

#include "engine/cookies/cookie_selection.h"
#include "engine/url/url_record.h"

std::vector<std::string> CookieHeaderLinesForURL(const CCookieStore& store, const CURL& url)
{
    return CookieHeaderLinesForRequest(store, url.mHost, "/" + url.mDirectory);
}
