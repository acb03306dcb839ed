#include "tools/search_kit_indexer/readable_text.h"

#include <algorithm>
#include <array>

#include <unicode/unistr.h>

#include "foundation/text/ascii.h"
#include "foundation/text/utf8_validity.h"

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

std::string PlainReadableText(std::string_view bytes)
{
    if (IsValidUtf8(bytes)) return std::string(bytes);
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
