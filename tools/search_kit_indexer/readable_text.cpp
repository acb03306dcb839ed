#include "tools/search_kit_indexer/readable_text.h"

#include <algorithm>
#include <array>

#include <unicode/unistr.h>

#include "foundation/text/ascii.h"

namespace {

std::string_view ExtensionOf(std::string_view name)
{
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name.find('/', dot) != std::string_view::npos) return {};
    return name.substr(dot + 1);
}

bool IsOneOf(std::string_view extension, std::initializer_list<std::string_view> names)
{
    return std::any_of(names.begin(), names.end(), [&](std::string_view name) {
        return EqualsNoCase(extension, name);
    });
}

// An HTML document begins, after blanks and a byte-order mark, with a
// doctype, a comment or one of the tags a page starts with.
bool LooksLikeHTML(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    std::size_t start = bytes.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return false;
    bytes.remove_prefix(start);
    for (std::string_view opening : {"<!doctype html", "<html", "<head", "<body", "<title"})
        if (BeginsWithNoCase(bytes, opening)) return true;
    return false;
}

}  // namespace

EItemKind KindOfItem(std::string_view name, std::string_view bytes)
{
    if (bytes.substr(0, 5) == "%PDF-") return EItemKind::kPDF;
    std::string_view head = bytes.substr(0, 8192);
    if (head.find('\0') != std::string_view::npos) return EItemKind::kNone;
    if (LooksLikeHTML(head)) return EItemKind::kHTML;
    std::string_view extension = ExtensionOf(name);
    if (IsOneOf(extension, {"html", "htm", "shtml", "xhtml", "php", "asp", "aspx", "jsp"})) return EItemKind::kHTML;
    if (IsOneOf(extension, {"pdf"})) return EItemKind::kPDF;
    if (IsOneOf(extension, {"txt", "text", "csv", "md", "xml", "rss", "css", "js", "json", "log", ""}))
        return EItemKind::kText;
    return EItemKind::kNone;
}

bool IsValidUTF8(std::string_view bytes)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        std::size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
        if (length == 0 || at + length > bytes.size()) return false;
        const auto second = length > 1 ? static_cast<unsigned char>(bytes[at + 1]) : 0x80;
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
            (lead == 0xF4 && second > 0x8F))
            return false;
        for (std::size_t i = 1; i < length; ++i)
            if ((static_cast<unsigned char>(bytes[at + i]) & 0xC0) != 0x80) return false;
        at += length;
    }
    return true;
}

std::string PlainReadableText(std::string_view bytes)
{
    if (IsValidUTF8(bytes)) return std::string(bytes);
    const icu::UnicodeString decoded(bytes.data(), static_cast<std::int32_t>(bytes.size()), "windows-1252");
    std::string text;
    decoded.toUTF8String(text);
    return text;
}

std::string ReadableText(EItemKind kind, std::string_view bytes)
{
    switch (kind) {
    case EItemKind::kHTML: return HTMLReadableText(bytes);
    case EItemKind::kPDF: return PDFReadableText(bytes);
    case EItemKind::kText: return PlainReadableText(bytes);
    case EItemKind::kNone: break;
    }
    return "";
}
