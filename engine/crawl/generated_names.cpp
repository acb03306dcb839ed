#include "engine/crawl/generated_names.h"

#include "foundation/system/file_name_mappings.h"
#include "foundation/text/ascii.h"
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

bool IsGeneratedName(std::string_view name)
{
    if (name.size() < kUUIDTextLength) return false;
    for (std::size_t i = 0; i < kUUIDTextLength; ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? name[i] != '-' : !IsAsciiHexDigit(static_cast<unsigned char>(name[i]))) return false;
    }
    return kUUIDTextLength == name.size() || name[kUUIDTextLength] == '.';
}

std::string WithGeneratedExtension(std::string_view name, std::string_view extension)
{
    if (!IsGeneratedName(name)) return std::string(name);
    std::string renamed(name.substr(0, kUUIDTextLength));
    renamed += extension;
    return renamed;
}

std::string PageNameWithExtension(std::string_view urlFileName, std::string_view name, std::string_view contentType,
                                  std::string_view configuredExtension)
{
    if (urlFileName.empty() || name.empty() || !IsPageType(MimeTypeOf(contentType))) return {};
    if (EndsWithNoCase(urlFileName, ".html") || EndsWithNoCase(urlFileName, ".htm")) return {};
    std::string named(name);
    named += ConfiguredExtension(configuredExtension);
    return named;
}
