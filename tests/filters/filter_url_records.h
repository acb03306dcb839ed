// URL records for filter tests: a parsed URL with the response fields the
// filters read.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "engine/filters/filter_set.h"
#include "engine/url/url_record.h"
#include "foundation/messaging/four_char_code.h"

struct UrlFields {
    const char* url = "http://example.test/index.html";
    const char* contentType = "text/html";
    const char* contentLength = "";
    std::string_view body = "";
    OSType fileType = 0;
    std::int64_t modified = 0;
};

inline std::unique_ptr<CURL> MakeURL(const UrlFields& fields)
{
    auto url = std::make_unique<CURL>(fields.url);
    url->mContentType = fields.contentType;
    url->mContentLength = fields.contentLength;
    url->mBody.Clear();
    EXPECT_TRUE(url->mBody.AppendBytes(fields.body.data(), fields.body.size()));
    url->mFileType = fields.fileType;
    url->mModificationSeconds = fields.modified;
    return url;
}

inline void AddItems(FilterStringList& list, std::initializer_list<const char*> items)
{
    for (const char* item : items) list.Append(CFixedString255(item));
}
