#include "foundation/system/get_url_to_self.h"

namespace {

GetURLHandler& Handler()
{
    static GetURLHandler handler;
    return handler;
}

}  // namespace

void SetGetURLHandler(GetURLHandler handler)
{
    Handler() = std::move(handler);
}

SystemStatus SendGetURLToSelf(const CTextBuffer& url)
{
    // A copy, so a handler that replaces itself does not destroy the
    // function while it runs.
    GetURLHandler handler = Handler();
    if (!handler) return kSysNoGetURLHandler;
    handler(url.View());
    return kSysNoError;
}
