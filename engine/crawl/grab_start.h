// The steps both grabber windows take before a grab, besides following the
// start page's redirections (start_redirection.h).
#pragma once

#include <string>

#include "foundation/errors/status.h"

class CConfiguration;

// The URL a grab starts from: the typed text, or the configuration's form
// action URL when its form has input items; "http://" goes in front of a
// URL that names no scheme ("scheme://"). A scheme other than http, https
// and ftp stays, for UnsupportedSchemeRefusal to refuse.
std::string StartURLForGrab(const CConfiguration& configuration, const std::string& typed);

// The line that refuses a start URL whose scheme cannot be grabbed
// ("htp://host/"), before anything of its grab is made; empty for a URL
// that can be grabbed.
std::string UnsupportedSchemeRefusal(const std::string& url);

// Makes the last component of the configuration's download folder when it
// is missing (its parent must exist); -ENOTDIR when something other than a
// folder has its name.
CStatus MakeDownloadFolder(const CConfiguration& configuration);
