// One link of a page, as the crawl carries it from extraction to the next
// level, the relink step and the site map. Texts are never cut.
#pragma once

#include <string>

struct CLinkRecord {
    std::string mLink;      // the link as written in the page (after percent-encoding)
    std::string mURL;       // the absolute URL
    std::string mTitle;     // filled by the crawl: the page title
    std::string mLocal;     // filled by the crawl: the link made local (typed names)
    // Found only by the scan around the dots of the text, not as a link of
    // the markup: a guess, which the server may well not have.
    bool mGuess = false;

    bool operator==(const CLinkRecord& other) const = default;
};
