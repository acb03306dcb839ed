// Basic authorization for the requests of the crawl.
#pragma once

#include <string>
#include <string_view>

// "Authorization: Basic " + the Base64 of "user:password" on one line,
// without a line end; empty unless both the user name and the password are
// non-empty.
std::string BasicAuthorizationLine(std::string_view user, std::string_view password);
