// Scripts taken out of a page before it is saved.
#pragma once

#include <string>

class CTextBuffer;

// Deletes every span from "<script" through the next "</script>" (ignoring
// case) inside the body, the part from "<body" to "</body>"; scripts in the
// head stay. True when the page has a body.
bool RemoveJavaScript(CTextBuffer& page);
bool RemoveJavaScript(std::string& page);
