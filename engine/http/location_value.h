// The URL a Location header names, as every redirect of the program reads
// it: blanks and control characters a server leaves in it (a folded line, a
// stray CR or TAB) are dropped, so they neither break the URL nor end up in
// a request.
#pragma once

#include <string>
#include <string_view>

std::string CleanLocationValue(std::string_view location);
