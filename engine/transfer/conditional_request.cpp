#include "engine/transfer/conditional_request.h"

#include "foundation/system/http_dates.h"

std::string IfModifiedSinceLine(std::int64_t seconds)
{
    if (seconds <= 0) return {};
    CFixedString255 date;
    FormatHTTPDate(seconds, date);
    return std::string("If-Modified-Since: ") + date.c_str();
}
