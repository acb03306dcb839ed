#include "engine/html/page_kind.h"

#include <string>

#include "foundation/system/file_name_mappings.h"
#include "foundation/text/text_encodings.h"

namespace {

// The media type of a Content-Type, lower-cased, without its parameters.
std::string MediaType(std::string_view contentType)
{
    std::string type;
    for (char c : contentType.substr(0, contentType.find(';')))
        if (!IsAsciiSpace(static_cast<unsigned char>(c))) type += AsciiLower(c);
    return type;
}

// JavaScript, JSON and XML: what a page's scripts load, and feeds.
bool IsScriptOrDataType(std::string_view type)
{
    static constexpr std::string_view kTypes[] = {
        "application/javascript", "text/javascript", "application/x-javascript", "application/ecmascript",
        "text/ecmascript",        "application/json", "text/xml",                "application/xml",
    };
    for (std::string_view known : kTypes)
        if (type == known) return true;
    return type.ends_with("+json") || type.ends_with("+xml");
}

}  // namespace

EPageKind PageKindOf(std::string_view contentType, std::string_view fileName)
{
    std::string type = MediaType(contentType);
    if (type.empty() || type == "application/octet-stream") {
        const FileNameMapping* mapping = FindFileNameMappingForName(fileName);
        if (mapping == nullptr) {
            // Nothing tells (no type, no extension: a folder, a script's
            // output): read it as a page, as the crawl always did. A file
            // of a type the program does not know ("tool.py") is data.
            return type.empty() && fileName.find('.') == std::string_view::npos ? EPageKind::kPage : EPageKind::kOther;
        }
        type = mapping->mimeType;
    }
    if (type == "text/html" || type == "application/xhtml+xml") return EPageKind::kPage;
    if (type == "text/css") return EPageKind::kStyleSheet;
    if (IsScriptOrDataType(type)) return EPageKind::kScript;
    return EPageKind::kOther;
}
