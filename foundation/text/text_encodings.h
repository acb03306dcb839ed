// Character-level codecs: HTML entities, percent escapes, form encoding, URL
// character classes, case-blind search and compare, and small conversions.
//
// All text is UTF-8 bytes. Case-blind operations fold ASCII letters only, so
// they do not depend on the locale the windows set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/text/ascii_chars.h"
#include "foundation/text/fixed_string.h"
#include "foundation/containers/pooled_map.h"

// The HTML character-entity table, read from the "ISO8559" resource: rows of
// character TAB named-entity TAB numeric-entity, each ended by CR or LF.
class CEntityTable {
public:
    static constexpr int kRowLimit = 256;

    explicit CEntityTable(std::string_view tableText);

    // The character text (UTF-8) of an entity written with its '&' and ';';
    // named entities are tried first, then numeric ones; null when unknown.
    const char* FindCharForEntity(std::string_view entity) const;
    [[nodiscard]] int RowCount() const { return mRowCount; }

    // The table the program uses, loaded once from the resources folder;
    // null when the resource is missing.
    static const CEntityTable* Shared();

private:
    struct Row {
        std::string character;
        std::string named;
        std::string numeric;
    };
    Row mRows[kRowLimit];
    int mRowCount = 0;
};

// Reads the whole named text resource from the resources folder into `out`;
// false, with `out` empty, when it is missing or unreadable. A name is a
// plain file name, never a path.
[[nodiscard]] bool LoadNamedTextResource(const char* name, std::string& out);
// The folder the resources are read from: $TIDEWELL_RESOURCES when set,
// else the folder compiled in as TIDEWELL_RESOURCE_DIR.
std::string ResourceFolder();

// Decodes the entities of a NUL-terminated text in place, through the shared
// table (or `table` when given); without any table the text stays as it is.
// An entity ends with a ';' at most 15 chars after its '&'. Numeric entities
// missing from the table ("&#39;", "&#x2019;") become their UTF-8 character,
// except NUL, surrogates and control chars other than TAB, LF and CR.
// Characters produced by decoding are never decoded again, and the text never
// grows. Returns the new length.
std::size_t DecodeEntities(char* text, const CEntityTable* table = nullptr);
std::string DecodeEntities(std::string_view text, const CEntityTable* table = nullptr);

// Percent-decoding of `count` bytes into `destination` (count + 1 bytes).
// A '%' followed by two hex digits becomes that byte, except %00, which stays
// as written so a NUL never ends a name; a malformed escape stays as written;
// '+' is kept. `destination` may be `source`: the text only shrinks. Returns
// the decoded length.
[[nodiscard]] std::size_t URLDecode(const char* source, std::size_t count, char* destination);
std::string URLDecode(std::string_view text);

// Form encoding: every byte that is not a letter, digit, '*', '-', '.' or '_'
// becomes %XX (upper-case hex), and the space becomes '+'.
std::string FormEncode(std::string_view text);
// Escapes control chars, the space, 0x7F and every byte >= 0x80 as %xx
// (lower-case hex); everything else stays.
std::string PercentEncodeUnsafe(std::string_view text);
[[nodiscard]] bool NeedsPercentEscape(unsigned char c);

// True when every char is in the URL character classes (alpha, digit, safe,
// extra, reserved, unsafe) or is '~'; true for an empty text.
[[nodiscard]] bool IsAllURLChars(std::string_view text);
[[nodiscard]] bool IsURLChar(unsigned char c);

[[nodiscard]] int HexDigitValue(char c);
// A four-char code as its four chars, NUL-terminated (out needs 5 bytes).
void PutBigEndian32(std::uint32_t code, char* out);
// The code of the first four chars of `text`; a shorter text is padded with NULs.
std::uint32_t GetBigEndian32(const char* text);
// Signed decimal text of a 32-bit value; a value whose text would not fit in
// size - 1 chars gives the empty text rather than a cut-off number.
void FormatDecimal(char* buffer, std::size_t size, std::int32_t value);

// The character-to-escape table of form encoding: for each of the 256 bytes
// its escape text, or blank when the byte stays as it is (the space stays
// blank here; FormEncode then writes it as '+').
const TPooledMap<char, CFixedString31>& FormEscapeTable();
