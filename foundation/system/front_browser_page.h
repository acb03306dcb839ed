// The page the user is looking at in a web browser. Browsers cannot be
// asked on Linux, so the page is the http(s) URL the user copied: the
// windows install a clipboard reader, and without one (headless) nothing is
// found.
#pragma once

#include <functional>
#include <string>

#include "foundation/text/fixed_string.h"

// Puts the clipboard's text into `text`; false when it holds no text.
using ClipboardTextReader = std::function<bool(std::string& text)>;

// Installs the reader; an empty function removes it.
void SetClipboardTextReader(ClipboardTextReader reader);

// When the clipboard holds one http or https URL (surrounding white space
// ignored, none inside, at most 255 bytes so it is never cut), it goes to
// `url`. The title cannot be known and stays unchanged, as does `url` when
// no such URL is there.
void GetFrontBrowserPage(CFixedString255& url, CFixedString255& title);
