// The Cookie header lines of a request for a URL record.
#pragma once

#include <string>
#include <vector>

class CCookieStore;
class CURL;

// CookieHeaderLinesForRequest for the URL's host and "/" + its directory.
std::vector<std::string> CookieHeaderLinesForURL(const CCookieStore& store, const CURL& url);
