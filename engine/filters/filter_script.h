// The script criterion of a filter set: the script file runs as a program for
// every URL the set evaluates, and its outcome never decides anything.
//
// The program gets the URL's values in its environment, never pasted into
// any source text:
//
//   TIDEWELL_URL             the full URL
//   TIDEWELL_HOST            the host, with ":port" when the URL gives one
//   TIDEWELL_PATH_ARGS       the "$" part of the URL
//   TIDEWELL_PATH            the directory path ("/docs/api")
//   TIDEWELL_SEARCH_ARGS     the query
//   TIDEWELL_HEADER          the raw response header
//   TIDEWELL_DATE            the Date header
//   TIDEWELL_LAST_MODIFIED   the Last-Modified header
//   TIDEWELL_CONTENT_TYPE    the Content-Type header
//   TIDEWELL_CONTENT_LENGTH  the Content-Length header
//   TIDEWELL_LOCATION        the Location header
//   TIDEWELL_PARENT_URL      the URL of the page that linked here
//   TIDEWELL_NAME            the file name, or "Index.html" when it has none
//   TIDEWELL_SUFFIX          the extension, with its "."
//   TIDEWELL_RESPONSE        the response's status line
//   TIDEWELL_DATA            the body as text
//
// The body reaches the program only for a Content-Type that begins with
// "text": whole on its standard input, and as TIDEWELL_DATA up to its first
// NUL byte. A value longer than kMaxScriptValueBytes is left out of the
// environment (the kernel refuses longer ones), so large bodies are read
// from standard input.
#pragma once

#include <chrono>
#include <string>
#include <vector>

class CURL;

inline constexpr std::size_t kMaxScriptValueBytes = 120000;
inline constexpr std::chrono::milliseconds kDefaultFilterScriptTimeout{30000};

struct CFilterScriptInput {
    std::vector<std::string> environment;  // "NAME=value"
    std::string standardInput;
};

CFilterScriptInput MakeFilterScriptInput(const CURL& url);

// Runs the program at `scriptPath` on a worker thread (the calling
// cooperative thread sleeps meanwhile) with the URL's values; 0 when it ran
// to its end, else the status of RunProgramWithInput.
[[nodiscard]] int RunFilterScript(const char* scriptPath, const CURL& url);

// How long a script may run before it is killed (kDefaultFilterScriptTimeout
// unless changed).
void SetFilterScriptTimeout(std::chrono::milliseconds timeout);
std::chrono::milliseconds FilterScriptTimeout();
