#include "engine/crawl/generated_names.h"

#include <algorithm>

#include "foundation/system/file_name_mappings.h"
#include "foundation/text/text_encodings.h"

namespace {

// The text form of a UUID, which every generated name starts with.
constexpr std::size_t kUUIDTextLength = 36;

bool IsPageType(std::string_view mimeType)
{
    return mimeType == "text/html" || mimeType == "application/xhtml+xml";
}

}  // namespace

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

std::string GeneratedNameExtension(std::string_view contentType, std::string_view urlExtension,
                                   const CGeneratedExtensionRules& rules, const TextMap<std::string>& typeExtensions)
{
    const std::string mimeType = MimeTypeOf(contentType);
    const FileNameMapping* own = urlExtension.empty() ? nullptr : FindFileNameMapping(urlExtension);
    const bool page = mimeType.empty() ? own == nullptr || IsPageType(own->mimeType) : IsPageType(mimeType);
    if (!page) {
        if (!mimeType.empty())
            if (auto found = typeExtensions.find(mimeType); found != typeExtensions.end()) return found->second;
        // A type without a known extension: the URL's own, when it names one
        // that is not a page's; else none (never a page's extension).
        if (own != nullptr && !IsPageType(own->mimeType)) return std::string(urlExtension);
        return {};
    }
    if (rules.fromContentType) {
        auto found = typeExtensions.find(mimeType.empty() ? std::string_view("text/html") : std::string_view(mimeType));
        return found != typeExtensions.end() ? found->second : ".html";
    }
    if (rules.alwaysUseExtension) return ConfiguredExtension(rules.configuredExtension);
    return {};
}

std::string WithGeneratedExtension(std::string_view generatedName, std::string_view extension)
{
    std::string name(generatedName.substr(0, std::min(generatedName.size(), kUUIDTextLength)));
    name += extension;
    return name;
}
