// Running scripts in other applications. Linux desktops have no
// inter-application scripting, so the runner never runs anything: every
// call fails with kSysScriptingUnavailable and hands back a text that says
// so. (A filter's script runs as a program elsewhere, not through here.)
#pragma once

#include <cstdint>

#include "foundation/text/text_buffer.h"

// The text every failed run leaves in `result` and in LastScriptErrorText().
constexpr const char* kScriptingUnavailableText = "Script error: scripting is not available on this system.";

// Returns kSysScriptingUnavailable; `result` receives the last error text.
std::int16_t RunAppleScriptText(const CTextBuffer& script, CTextBuffer& result);

// The text of the latest failure, shared by all callers (who all run on the
// main thread, one at a time); empty before the first.
const CTextBuffer& LastScriptErrorText();
