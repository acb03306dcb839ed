// What Python's email package makes of a message: the headers as a reader
// sees them and every MIME entity with its decoded body, so the tests check
// the mail the way a mail program would read it.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ParsedEntity {
    std::string contentType;  // "text/plain", "multipart/mixed"
    std::string charset;
    std::string transferEncoding;
    std::string filename;
    std::string disposition;
    std::string body;  // decoded bytes; empty for a multipart
};

struct ParsedMail {
    std::map<std::string, std::string> headers;  // decoded values by lower-case name
    std::vector<ParsedEntity> entities;          // in walk order, the message itself first
    std::vector<std::string> defects;            // what the parser found wrong
    std::size_t longestLine = 0;                 // of the raw text, without line ends
    bool onlyCrLf = true;                        // every line end of the raw text is CR LF
};

// Runs /usr/bin/python3 on the raw message; fails the test (and returns an
// empty result) when the parser cannot run.
ParsedMail ParseMail(const std::string& raw);
