// Kept apart from the rest of the record: it needs the network fetch.
#include "engine/url/url_record.h"
#include "engine/url/url_type_extension.h"

bool CURL::GetURLWithTypeExtension(const char* userAgent, const char* user, const char* password,
                                   std::int32_t timeoutSeconds, std::string& out)
{
    if (!FetchHead(userAgent, user, password, timeoutSeconds)) return false;
    if (mFileName.empty() || !mExtension.empty()) return false;
    out = mURL + ExtensionForContentType(mContentType);
    return true;
}
