// Submitting the configuration's form: the query text of its input items,
// and the request that sends it, used by the crawl to start from a form and
// by the configuration editor's test submission.
#pragma once

#include <cstdint>

#include "foundation/containers/pooled_list.h"

class CTextBuffer;
class CURL;
struct CInputItem;

// name=value for each item in list order, both form-encoded, joined by "&";
// an empty list gives an empty text.
void BuildFormQuery(const TPooledList<CInputItem>& items, CTextBuffer& out);

// Sends the query to the URL: method 2 (GET) appends "?" ("&" when the URL
// has a query already) and the query to the URL (60-second time-out),
// method 1 (POST) sends it as the body (10-second time-out). The record takes the response like any fetch
// (status, header fields, body) and, when it names an owner whose crawl
// runs, the cookies the response sets go into that crawl, which also gives
// the request its cookies when the URL's requests post their progress. True, with the body in
// `out`, when a whole response arrived; false for any other method or a
// failed request.
[[nodiscard]] bool SubmitForm(CURL& url, const CTextBuffer& query, const char* userAgent, std::int32_t method, CTextBuffer& out);
