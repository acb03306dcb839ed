// What reaches the program from outside: the arguments of `tidewell`, given
// by the desktop (Exec=tidewell %U), a file manager or a terminal, and handed
// on by a second instance. Each argument becomes one request:
//   - a location file (or a path that names one, or a file: URL): the
//     open-documents path, which reads the URL in the file;
//   - an http, https or ftp URL: the get-URL path, with the whole URL;
//   - any other non-empty text: the Services path (text from another program).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class EOutsideRequest { kNothing, kOpenDocument, kGetURL, kService };

struct SOutsideRequest {
    EOutsideRequest kind = EOutsideRequest::kNothing;
    std::string text;  // the absolute path, the URL or the text
};

// Classifies one argument. Paths that exist are made absolute against the
// current folder (a second instance hands them to the first, which may
// stand elsewhere).
SOutsideRequest ClassifyArgument(std::string_view argument);
std::vector<SOutsideRequest> ClassifyArguments(const std::vector<std::string>& arguments);

// The URL in a location file: a ".webloc" property list (XML or binary) with
// a "URL" text, or a ".desktop" entry of Type=Link with its URL= key.
// Nothing for folders, other files, files too large to be one, and files
// without a usable URL.
std::optional<std::string> ReadLocationFileURL(const std::string& path);
