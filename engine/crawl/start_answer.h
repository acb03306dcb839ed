// What the check of a start URL learned of the URL it ended with, handed by
// whoever starts the crawl to the crawl that begins there: the start page
// read whole, so the crawl does not ask for it a second time, or that the
// server stayed silent for the time-out, so the crawl counts that as its
// first attempt instead of waiting again.
#pragma once

#include <string>

struct CStartAnswer {
    // The URL the answer is for; empty when the check learned nothing.
    std::string url;
    // The server did not answer within the time-out.
    bool unanswered = false;
    // A 200 answer read whole that led nowhere else: its response header
    // block and body.
    bool fetched = false;
    std::string rawHeader;
    std::string body;
};

// True, once, when `answer` tells that `url` (as the crawl spells it) did
// not answer.
[[nodiscard]] bool TakeUnansweredStart(CStartAnswer& answer, const std::string& url);

// True, once, with the header block and body of `url`'s page when `answer`
// holds them.
[[nodiscard]] bool TakeFetchedStart(CStartAnswer& answer, const std::string& url, std::string& rawHeader, std::string& body);
