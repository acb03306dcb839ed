// FTP transfers have no response header, yet the crawl reads every answer
// through one: an FTP result gets a plain HTTP-style header whose status is
// the code the transfer layer mapped the FTP reply to (200 for a file sent,
// 404 for a missing one, 403, 401), so the crawl can judge and save it.
#pragma once

#include <cstdint>
#include <string>

// "HTTP/1.0 200 OK\r\nContent-Length: 12\r\n\r\n"; without the length line
// when `bodyLength` is negative.
std::string FtpStatusHeader(int statusCode, std::int64_t bodyLength);
