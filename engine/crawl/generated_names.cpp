#include "engine/crawl/generated_names.h"

#include "foundation/text/text_encodings.h"

std::string ConfiguredExtension(std::string_view extension)
{
    if (extension.empty()) return ".html";
    if (extension.front() == '.') return std::string(extension);
    return "." + std::string(extension);
}

std::string MimeTypeOf(std::string_view contentType)
{
    std::string type(contentType.substr(0, contentType.find(';')));
    std::string out;
    out.reserve(type.size());
    for (char c : type)
        if (!IsAsciiSpace(static_cast<unsigned char>(c))) out += AsciiLower(c);
    return out;
}
