#include "engine/crawl/start_answer.h"

#include <utility>

#include "engine/url/url_record.h"

namespace {

// The check keeps the URL as it was typed or redirected to; the crawl spells
// it as its URL record does ("http://host" becomes "http://host/").
bool IsAnswerFor(const CStartAnswer& answer, const std::string& url)
{
    return !answer.url.empty() && (answer.url == url || CURL(answer.url).mURL == url);
}

}  // namespace

bool TakeUnansweredStart(CStartAnswer& answer, const std::string& url)
{
    if (!answer.unanswered || !IsAnswerFor(answer, url)) return false;
    answer = CStartAnswer{};
    return true;
}

bool TakeFetchedStart(CStartAnswer& answer, const std::string& url, std::string& rawHeader, std::string& body)
{
    if (!answer.fetched || !IsAnswerFor(answer, url)) return false;
    rawHeader = std::move(answer.rawHeader);
    body = std::move(answer.body);
    answer = CStartAnswer{};
    return true;
}
