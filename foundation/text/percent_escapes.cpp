// Percent-decoding, form encoding, unsafe-byte escaping and the URL
// character classes. Bytes of 0x80 and above are UTF-8 bytes and are escaped
// one by one, as browsers do for UTF-8 pages.
#include <cstring>

#include "foundation/text/text_encodings.h"

namespace {

constexpr char kUpperHex[] = "0123456789ABCDEF";
constexpr char kLowerHex[] = "0123456789abcdef";

// Bytes a submitted form value carries as they are; the space also stays,
// and becomes '+' afterwards.
bool StaysInForm(unsigned char c)
{
    return IsAsciiAlnum(c) || c == '*' || c == '-' || c == '.' || c == '_';
}

void AppendEscape(std::string& out, unsigned char c, const char* digits)
{
    out += '%';
    out += digits[c >> 4];
    out += digits[c & 0x0F];
}

}  // namespace

std::size_t URLDecode(const char* source, std::size_t count, char* destination)
{
    std::size_t out = 0;
    for (std::size_t i = 0; i < count; ++i) {
        char c = source[i];
        // Only a complete escape is decoded; "%00" stays as written so a
        // decoded name is never cut short by a NUL.
        if (c == '%' && count - i > 2) {
            unsigned char high = static_cast<unsigned char>(source[i + 1]);
            unsigned char low = static_cast<unsigned char>(source[i + 2]);
            if (IsAsciiHexDigit(high) && IsAsciiHexDigit(low)) {
                int value = 16 * HexDigitValue(static_cast<char>(high)) + HexDigitValue(static_cast<char>(low));
                if (value != 0) {
                    destination[out++] = static_cast<char>(value);
                    i += 2;
                    continue;
                }
            }
        }
        destination[out++] = c;
    }
    destination[out] = '\0';
    return out;
}

std::string URLDecode(std::string_view text)
{
    std::string decoded(text.size() + 1, '\0');
    decoded.resize(URLDecode(text.data(), text.size(), decoded.data()));
    return decoded;
}

std::string FormEncode(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == ' ') out += '+';
        else if (StaysInForm(c)) out += ch;
        else AppendEscape(out, c, kUpperHex);
    }
    return out;
}

bool NeedsPercentEscape(unsigned char c)
{
    return c <= 0x20 || c >= 0x7F;
}

std::string PercentEncodeUnsafe(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (NeedsPercentEscape(c)) AppendEscape(out, c, kLowerHex);
        else out += ch;
    }
    return out;
}

bool IsURLChar(unsigned char c)
{
    // safe, extra, reserved and unsafe punctuation, and '~', which every
    // URL scheme allows unescaped.
    static constexpr char kPunctuation[] = "$-_.+" "!*'()," ";/?:@=&" "\"#%<>" "~";
    return IsAsciiAlnum(c) || (c != '\0' && std::memchr(kPunctuation, c, sizeof kPunctuation - 1) != nullptr);
}

bool IsAllURLChars(std::string_view text)
{
    for (char c : text)
        if (!IsURLChar(static_cast<unsigned char>(c))) return false;
    return true;
}

const TPooledMap<char, CFixedString31>& FormEscapeTable()
{
    static const TPooledMap<char, CFixedString31> table = [] {
        TPooledMap<char, CFixedString31> map;
        for (int code = 0; code < 256; ++code) {
            unsigned char c = static_cast<unsigned char>(code);
            CFixedString31 escape;
            if (c != ' ' && !StaysInForm(c)) {
                const char text[3] = {'%', kUpperHex[c >> 4], kUpperHex[c & 0x0F]};
                escape.AssignView(std::string_view(text, sizeof text));
            }
            map.Insert(static_cast<char>(c), escape);
        }
        return map;
    }();
    return table;
}
