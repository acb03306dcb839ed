#include "foundation/mirror/mirror_names.h"

#include <cstdint>
#include <vector>

namespace {

// Hex digits of the digest a cut or distinct name carries: short, and with
// the writer's own check for taken names behind it.
constexpr std::size_t kDigestDigits = 12;
// Longest extension (with its dot) that a cut name keeps.
constexpr std::size_t kKeptExtensionLimit = 16;

// Length of the valid UTF-8 character at the start of `text`, or 0.
std::size_t Utf8CharLength(std::string_view text)
{
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    } else
        return 0;
    if (text.size() < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    return length;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

constexpr char kHex[] = "0123456789ABCDEF";

void AppendEscape(std::string& out, unsigned char c)
{
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
}

bool StaysEscaped(unsigned char c) { return c < 0x20 || c == 0x7F || c == '/'; }

// FNV-1a, 64 bits: stable across runs and hosts, as names must be.
std::uint64_t Digest(std::string_view text, std::uint64_t hash = 14695981039346656037ull)
{
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string DigestText(std::uint64_t digest)
{
    static constexpr char kLowerHex[] = "0123456789abcdef";
    std::string text(kDigestDigits, '0');
    for (std::size_t i = kDigestDigits; i-- > 0; digest >>= 4) text[i] = kLowerHex[digest & 0x0F];
    return text;
}

// The extension a shortened name keeps: from the last '.', when that is not
// the first byte and the extension is short.
std::string_view KeptExtension(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name.size() - dot > kKeptExtensionLimit) return {};
    return name.substr(dot);
}

// `stem`, cut at a piece boundary so that `tail` fits after it, then `tail`.
// `boundaries` holds the offsets in `stem` where a character or an escape
// starts (and its size); null means every byte is a boundary.
std::string CutWithTail(std::string_view stem, const std::vector<std::size_t>* boundaries, std::string_view tail)
{
    const std::size_t room = kMirrorNameByteLimit - tail.size();
    std::size_t cut = stem.size();
    if (cut > room) {
        cut = 0;
        if (boundaries == nullptr) {
            cut = room;
            while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) --cut;  // never half a character
            // never half an escape
            if (cut >= 1 && stem[cut - 1] == '%') cut -= 1;
            else if (cut >= 2 && stem[cut - 2] == '%') cut -= 2;
        } else {
            for (std::size_t boundary : *boundaries) {
                if (boundary > room) break;
                cut = boundary;
            }
        }
    }
    std::string out(stem.substr(0, cut));
    out += tail;
    return out;
}

}  // namespace

std::string SafeMirrorName(std::string_view name)
{
    if (name == ".") return "%2E";
    if (name == "..") return "%2E%2E";
    std::string out;
    out.reserve(name.size());
    std::vector<std::size_t> boundaries;  // piece starts in `out`, kept only for long names
    const bool mayNeedCut = name.size() * 3 > kMirrorNameByteLimit;
    for (std::size_t at = 0; at < name.size();) {
        if (mayNeedCut) boundaries.push_back(out.size());
        unsigned char c = static_cast<unsigned char>(name[at]);
        std::size_t length = StaysEscaped(c) ? 0 : Utf8CharLength(name.substr(at));
        if (length == 0) {
            AppendEscape(out, c);
            at += 1;
        } else {
            out.append(name.substr(at, length));
            at += length;
        }
    }
    if (out.size() <= kMirrorNameByteLimit) return out;
    boundaries.push_back(out.size());

    const std::string_view extension = KeptExtension(out);
    const std::string tail = "~" + DigestText(Digest(name)) + std::string(extension);
    return CutWithTail(std::string_view(out).substr(0, out.size() - extension.size()), &boundaries, tail);
}

std::string DistinctMirrorName(std::string_view safeName, std::string_view ownerKey, unsigned attempt)
{
    std::uint64_t digest = Digest(ownerKey);
    if (attempt > 1) digest = Digest(std::to_string(attempt), digest ^ 0x9E3779B97F4A7C15ull);
    const std::string_view extension = KeptExtension(safeName);
    const std::string tail = "~" + DigestText(digest) + std::string(extension);
    return CutWithTail(safeName.substr(0, safeName.size() - extension.size()), nullptr, tail);
}

std::string MirrorNameFromSegment(std::string_view segment)
{
    std::string decoded;
    decoded.reserve(segment.size());
    for (std::size_t at = 0; at < segment.size(); ++at) {
        int high = at + 2 < segment.size() && segment[at] == '%' ? HexValue(segment[at + 1]) : -1;
        int low = high >= 0 ? HexValue(segment[at + 2]) : -1;
        if (low >= 0) {
            decoded += static_cast<char>(high * 16 + low);
            at += 2;
        } else {
            decoded += segment[at];
        }
    }
    return SafeMirrorName(decoded);
}
