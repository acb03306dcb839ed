// What the version check and the archive download accept from the network.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class HTTPRequest;

// https anywhere; plain http only to this machine (127.0.0.1, ::1,
// localhost), where tests serve their lists and archives.
bool IsAllowedUpdateURL(std::string_view url);

// The request ended with a 2xx answer whose body is whole: as long as its
// Content-Length said, when it said one. The body is returned then.
std::optional<std::string> CompleteBody(const HTTPRequest& request);

// The Content-Length of a 2xx answer to a HEAD request; 0 when none.
std::uint64_t ExpectedSize(const HTTPRequest& headRequest);

// The archive's name in the download folder: the URL's file name, made
// safe as a mirror's file names are ("Tidewell Update" when it has none).
std::string ArchiveFileName(std::string_view url);
