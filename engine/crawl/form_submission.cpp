#include "engine/crawl/form_submission.h"

#include <memory>
#include <string>

#include "engine/config/configuration.h"
#include "engine/transfer/http_request.h"
#include "engine/url/url_record.h"
#include "foundation/text/text_buffer.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr std::uint32_t kGetTimeoutSeconds = 60;
constexpr std::uint32_t kPostTimeoutSeconds = 10;

}  // namespace

void BuildFormQuery(const TPooledList<CInputItem>& items, CTextBuffer& out)
{
    out.Clear();
    bool first = true;
    for (const CInputItem& item : items) {
        if (!first) out.Append('&');
        first = false;
        out.Append(FormEncode(item.name.c_str()));
        out.Append('=');
        out.Append(FormEncode(item.value.c_str()));
    }
}

bool SubmitForm(CURL& url, const CTextBuffer& query, const char* userAgent, std::int32_t method, CTextBuffer& out)
{
    if (method != CFormOptions::kMethodGet && method != CFormOptions::kMethodPost) return false;
    CCrawlOwner* grabOwner = url.mGrabOwner;
    CCrawlOwner* requestOwner = url.mRequestOwner;
    CCrawlListener* listener = url.mListener;
    const std::string agent = userAgent != nullptr ? userAgent : "";

    std::unique_ptr<HTTPRequest> request;
    CStatus started;
    if (method == CFormOptions::kMethodGet) {
        std::string target = url.mURL;
        // An action URL that has a query already gets the form's fields after it.
        target += target.find('?') == std::string::npos ? '?' : '&';
        target.append(query.View());
        url.SetURL(target);
        request = requestOwner ? std::make_unique<HTTPRequest>(requestOwner, listener, kGetTimeoutSeconds, false)
                               : std::make_unique<HTTPRequest>(kGetTimeoutSeconds, false);
        started = request->StartGet(url.mURL, agent, "", "");
    } else {
        request = requestOwner ? std::make_unique<HTTPRequest>(requestOwner, listener, kPostTimeoutSeconds, false)
                               : std::make_unique<HTTPRequest>(kPostTimeoutSeconds, false);
        started = request->StartPost(url.mURL, agent, "", "", query.View());
    }
    url.mGrabOwner = grabOwner;
    url.mRequestOwner = requestOwner;
    url.mListener = listener;
    url.mFetchedOK = 0;
    if (started.Failed()) return false;
    request->WaitUntilDone();
    if (!request->Succeeded()) return false;
    std::unique_ptr<std::string> body = request->NewBodyPtr();
    if (!body) return false;

    url.mBody.Clear();
    if (!url.mBody.AppendBytes(body->data(), body->size())) return false;
    url.mRawHeader.Assign(std::string_view(request->ResponseHeader()));
    url.ReadResponseHeaders(request->ResponseHeader());
    url.mFetchedOK = 1;
    out.Assign(std::string_view(*body));
    return true;
}
