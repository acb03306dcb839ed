// The steps both grabber windows take before a grab, besides following the
// start page's redirections (start_redirection.h).
#pragma once

#include <string>

class CConfiguration;

// The URL a grab starts from: the typed text, or the configuration's form
// action URL when its form has input items; "http://" goes in front of a
// URL that begins with none of "http://", "ftp://", "https://" (any case).
std::string StartURLForGrab(const CConfiguration& configuration, const std::string& typed);

// Makes the last component of the configuration's download folder when it
// is missing (its parent must exist). 0, or a negative status.
int MakeDownloadFolder(const CConfiguration& configuration);
