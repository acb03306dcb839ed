#include "engine/html/page_kind.h"

#include "foundation/system/file_name_mappings.h"
#include "foundation/text/text_encodings.h"

namespace {

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

std::string_view MediaType(std::string_view contentType)
{
    contentType = contentType.substr(0, contentType.find(';'));
    while (!contentType.empty() && IsAsciiSpace(static_cast<unsigned char>(contentType.front()))) contentType.remove_prefix(1);
    while (!contentType.empty() && IsAsciiSpace(static_cast<unsigned char>(contentType.back()))) contentType.remove_suffix(1);
    return contentType;
}

}  // namespace

EPageKind PageKindOf(std::string_view contentType, std::string_view fileName)
{
    std::string_view type = MediaType(contentType);
    if (type.empty() || EqualNoCase(type, "application/octet-stream")) {
        const FileNameMapping* mapping = FindFileNameMappingForName(fileName);
        if (mapping == nullptr) {
            // Nothing tells (no type, no extension: a folder, a script's
            // output): read it as a page, as the crawl always did. A file
            // of a type the program does not know ("tool.py") is data.
            return type.empty() && fileName.find('.') == std::string_view::npos ? EPageKind::kPage : EPageKind::kOther;
        }
        type = mapping->mimeType;
    }
    if (EqualNoCase(type, "text/html") || EqualNoCase(type, "application/xhtml+xml")) return EPageKind::kPage;
    if (EqualNoCase(type, "text/css")) return EPageKind::kStyleSheet;
    return EPageKind::kOther;
}
