// The HTML character-entity table and the entity decoder.
#include <algorithm>
#include <cstring>
#include <memory>

#include "foundation/text/text_encodings.h"

namespace {

// An entity is at most 16 chars from its '&' through its ';'.
constexpr std::size_t kLongestEntity = 16;

std::string_view NextField(std::string_view& line, char separator)
{
    std::size_t end = line.find(separator);
    std::string_view field = line.substr(0, end);
    line.remove_prefix(end == std::string_view::npos ? line.size() : end + 1);
    return field;
}

// The code point of a numeric entity ("&#233;", "&#xE9;"), or -1 when the
// text is not one.
long NumericEntityValue(std::string_view entity)
{
    std::string_view digits = entity.substr(2, entity.size() - 3);
    int base = 10;
    if (!digits.empty() && (digits[0] == 'x' || digits[0] == 'X')) {
        base = 16;
        digits.remove_prefix(1);
    }
    if (digits.empty()) return -1;
    long value = 0;
    for (char c : digits) {
        unsigned char u = static_cast<unsigned char>(c);
        if (base == 10 ? !IsAsciiDigit(u) : !IsAsciiHexDigit(u)) return -1;
        value = value * base + HexDigitValue(c);
        if (value > 0x10FFFF) return -1;
    }
    return value;
}

// UTF-8 of a code point a reader expects to see as a character: controls
// other than TAB, LF and CR, NUL, and surrogates stay as written.
std::size_t EncodeCharacter(long code, char out[4])
{
    bool control = code < 0x20 ? !(code == '\t' || code == '\n' || code == '\r') : (code >= 0x7F && code < 0xA0);
    if (code < 0 || control || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    if (code < 0x80) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = static_cast<char>(0xC0 | (code >> 6));
        out[1] = static_cast<char>(0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (code >> 12));
        out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (code & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (code >> 18));
    out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (code & 0x3F));
    return 4;
}

// Decodes `length` chars in place and returns the new length. A replacement
// is never longer than its entity, so the text only shrinks; the reading
// position always stays ahead of the writing one.
std::size_t DecodeInPlace(char* text, std::size_t length, const CEntityTable& table)
{
    const char* end = text + length;
    const char* read = text;
    char* write = text;
    while (read < end) {
        const char* amp = static_cast<const char*>(std::memchr(read, '&', static_cast<std::size_t>(end - read)));
        if (amp == nullptr) amp = end;
        if (write != read) std::memmove(write, read, static_cast<std::size_t>(amp - read));
        write += amp - read;
        read = amp;
        if (read == end) break;

        std::size_t window = std::min<std::size_t>(kLongestEntity, static_cast<std::size_t>(end - amp));
        const char* semicolon = static_cast<const char*>(std::memchr(amp + 1, ';', window - 1));
        if (semicolon != nullptr) {
            std::string_view entity(amp, static_cast<std::size_t>(semicolon - amp) + 1);
            char numeric[4];
            std::string_view character;
            if (const char* found = table.FindCharForEntity(entity)) character = found;
            else if (entity.size() > 3 && entity[1] == '#')
                character = std::string_view(numeric, EncodeCharacter(NumericEntityValue(entity), numeric));
            if (!character.empty() && character.size() <= entity.size()) {
                std::memmove(write, character.data(), character.size());
                write += character.size();
                read = semicolon + 1;
                continue;
            }
        }
        *write++ = *read++;
    }
    return static_cast<std::size_t>(write - text);
}

}  // namespace

CEntityTable::CEntityTable(std::string_view tableText)
{
    // Rows end with a CR or an LF; blank lines and rows without their three
    // fields are skipped.
    while (!tableText.empty() && mRowCount < kRowLimit) {
        std::size_t end = tableText.find_first_of("\r\n");
        std::string_view line = tableText.substr(0, end);
        tableText.remove_prefix(end == std::string_view::npos ? tableText.size() : end + 1);

        std::string_view character = NextField(line, '\t');
        std::string_view named = NextField(line, '\t');
        std::string_view numeric = line;
        if (character.empty() || named.empty() || numeric.empty()) continue;
        Row& row = mRows[mRowCount++];
        row.character = character;
        row.named = named;
        row.numeric = numeric;
    }
}

const char* CEntityTable::FindCharForEntity(std::string_view entity) const
{
    for (int i = mRowCount; i-- > 0;)
        if (mRows[i].named == entity) return mRows[i].character.c_str();
    for (int i = mRowCount; i-- > 0;)
        if (mRows[i].numeric == entity) return mRows[i].character.c_str();
    return nullptr;
}

const CEntityTable* CEntityTable::Shared()
{
    static const std::unique_ptr<const CEntityTable> table = []() -> std::unique_ptr<const CEntityTable> {
        std::string text;
        if (!LoadNamedTextResource("ISO8559", text)) return nullptr;
        return std::make_unique<const CEntityTable>(text);
    }();
    return table.get();
}

std::size_t DecodeEntities(char* text, const CEntityTable* table)
{
    if (text == nullptr) return 0;
    std::size_t length = std::strlen(text);
    if (table == nullptr) table = CEntityTable::Shared();
    if (table == nullptr) return length;
    length = DecodeInPlace(text, length, *table);
    text[length] = '\0';
    return length;
}

std::string DecodeEntities(std::string_view text, const CEntityTable* table)
{
    std::string decoded(text);
    if (table == nullptr) table = CEntityTable::Shared();
    if (table != nullptr) decoded.resize(DecodeInPlace(decoded.data(), decoded.size(), *table));
    return decoded;
}
