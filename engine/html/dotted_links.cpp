#include "engine/html/dotted_links.h"

#include <optional>

#include "engine/html/anchor_text.h"
#include "engine/html/link_text.h"
#include "engine/html/page_context.h"
#include "engine/html/text_hash.h"
#include "engine/html/visible_text.h"
#include "foundation/system/file_name_mappings.h"
#include "foundation/text/ascii.h"
#include "foundation/text/text_encodings.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;
// No known extension is longer; longer texts need no table look-up.
constexpr std::size_t kLongestKnownExtension = 15;
constexpr int kDotsPerYield = 50;

// Char classes by byte: bit 1 stops a link, bit 2 may stand in a link.
enum : unsigned char { kStopChar = 1, kURLChar = 2 };

struct CCharClasses {
    unsigned char of[256] = {};
    CCharClasses()
    {
        for (int c = 0; c < 256; ++c)
            if (IsURLChar(static_cast<unsigned char>(c))) of[c] |= kURLChar;
        for (unsigned char c : std::string_view("\n\r\"'()<>")) of[c] |= kStopChar;
    }
};

const unsigned char* Classes()
{
    static const CCharClasses classes;
    return classes.of;
}

// The program's extensions without their dot, lower-cased, for look-ups
// by the dozen per page.
const TextSet& KnownExtensions()
{
    static const TextSet extensions = [] {
        TextSet set;
        for (const FileNameMapping& mapping : FileNameMappings()) {
            std::string extension = AsciiLowercased(mapping.extension[0] == '.' ? mapping.extension + 1 : mapping.extension);
            if (!extension.empty()) set.insert(std::move(extension));
        }
        return set;
    }();
    return extensions;
}

bool IsKnownExtension(std::string_view extension)
{
    if (extension.size() > kLongestKnownExtension) return false;
    char lowered[kLongestKnownExtension];
    for (std::size_t i = 0; i < extension.size(); ++i) lowered[i] = AsciiLower(extension[i]);
    const TextSet& known = KnownExtensions();
    return known.find(std::string_view(lowered, extension.size())) != known.end();
}

// Extensions of server-side programs: what such a name gives depends on
// the request, and asking may do something.
bool IsScriptExtension(std::string_view extension)
{
    static constexpr std::string_view kScripts[] = {"php",  "php3", "php4", "php5", "phtml", "cgi", "fcgi",
                                                    "asp",  "aspx", "ashx", "asmx", "axd",   "jsp", "jspx",
                                                    "do",   "action", "pl", "py",   "rb",    "cfm", "cfml",
                                                    "dll",  "exe",  "sh"};
    for (std::string_view script : kScripts)
        if (EqualsNoCase(extension, script)) return true;
    return false;
}

bool BeginsWithMailto(std::string_view link)
{
    static constexpr std::string_view kMailto = "mailto:";
    if (link.size() < kMailto.size()) return false;
    for (std::size_t i = 0; i < kMailto.size(); ++i)
        if (AsciiLower(link[i]) != kMailto[i]) return false;
    return true;
}

// Where the dotted link around `dot` starts: right after the last stop
// char before the dot (at 1 when there is none), provided every char from
// there to the dot may stand in a link; else `dot`. Read back from the dot,
// only for the few dots with a plausible extension.
std::size_t LinkStartBefore(const unsigned char* bytes, std::size_t dot, const unsigned char* classOf)
{
    for (std::size_t at = dot; at-- > 0;) {
        const unsigned char kind = classOf[bytes[at]];
        if (kind & kStopChar) return at + 1;
        if (!(kind & kURLChar)) return at == 0 ? 1 : dot;
    }
    return 1;
}

}  // namespace

bool IsPlausibleExtension(std::string_view extension)
{
    if (extension.empty()) return true;
    if (extension.size() <= 4) {
        bool alphanumeric = true;
        bool hasLetter = false;
        for (char ch : extension) {
            auto c = static_cast<unsigned char>(ch);
            alphanumeric = alphanumeric && IsAsciiAlnum(c);
            hasLetter = hasLetter || IsAsciiAlpha(c);
        }
        if (alphanumeric && hasLetter) return true;
    }
    return IsKnownExtension(extension);
}

void CollectDottedLinks(std::string_view text, std::vector<std::string_view>& out, CPageContext* context,
                        bool harvestEmail, bool inMarkupOnly)
{
    std::optional<CVisibleTextSpans> spans;
    if (inMarkupOnly) spans.emplace(text);
    const unsigned char* classOf = Classes();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();

    std::size_t nextStop = 0;  // first stop char at or after the current dot, once searched
    bool nextStopKnown = false;
    CAnchorSource anchors(text);
    int dots = 0;

    for (std::size_t dot = text.find('.'); dot != kNone; dot = text.find('.', dot + 1)) {
        if (++dots % kDotsPerYield == 0 && context) context->Yield();

        if (!nextStopKnown || nextStop < dot) {
            nextStop = dot + 1;
            while (nextStop < size && !(classOf[bytes[nextStop]] & kStopChar)) ++nextStop;
            nextStopKnown = true;
        }
        if (nextStop >= text.size()) break;  // no stop char after this dot, nor after any later one
        if (dot < 2) continue;

        std::string_view extension = text.substr(dot + 1, nextStop - dot - 1);
        if (extension.empty() || !IsPlausibleExtension(extension) || !IsAllURLChars(extension)) continue;
        const std::size_t start = LinkStartBefore(bytes, dot, classOf);
        if (start >= dot) continue;

        std::string_view link = text.substr(start, nextStop - start);
        if (BeginsWithMailto(link)) {
            if (harvestEmail && context) {
                std::string_view address = MailtoAddress(link);
                if (!address.empty()) {
                    context->AddEmailAddress(std::string(address), anchors.AnchorTextAfter(nextStop));
                }
            }
            continue;
        }
        if (link.front() == '#') continue;
        // A guess names a file of a type the program knows: "str(self.msg)"
        // or "event.key" in a code sample is no link.
        if (!IsKnownExtension(extension) || IsScriptExtension(extension)) continue;
        if (spans && (spans->InText(start) || spans->InComment(start) || spans->InPostFormTag(start) ||
                      spans->AtInertValue(start)))
            continue;
        out.push_back(link);
    }
}
