#include "platform/plist/plist_binary.h"

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kTrailerBytes = 32;
constexpr std::size_t kMaxValues = 1000000;
// Binary dates count seconds from 1 January 2001 UTC.
constexpr double kPlistEpochInUnixSeconds = 978307200.0;

class CReader {
public:
    explicit CReader(std::string_view bytes) : mBytes(bytes) {}

    bool Read(PlistValue& out)
    {
        if (mBytes.size() < 8 + kTrailerBytes) return false;
        std::size_t trailer = mBytes.size() - kTrailerBytes;
        mOffsetSize = Byte(trailer + 6);
        mRefSize = Byte(trailer + 7);
        std::uint64_t count = 0, top = 0, table = 0;
        if (!Unsigned(trailer + 8, 8, count) || !Unsigned(trailer + 16, 8, top) || !Unsigned(trailer + 24, 8, table))
            return false;
        if (mOffsetSize < 1 || mOffsetSize > 8 || mRefSize < 1 || mRefSize > 8) return false;
        if (count == 0 || top >= count || table < 8 || table >= trailer) return false;
        if (count > (trailer - table) / mOffsetSize) return false;
        mCount = count;
        mTable = static_cast<std::size_t>(table);
        mEnd = static_cast<std::size_t>(table);
        return Object(top, 0, out);
    }

private:
    std::uint8_t Byte(std::size_t at) const { return static_cast<std::uint8_t>(mBytes[at]); }

    bool Unsigned(std::size_t at, std::size_t size, std::uint64_t& value) const
    {
        if (size > 8 || at > mBytes.size() || size > mBytes.size() - at) return false;
        value = 0;
        for (std::size_t i = 0; i < size; ++i) value = (value << 8) | Byte(at + i);
        return true;
    }

    bool Offset(std::uint64_t ref, std::size_t& at) const
    {
        std::uint64_t offset = 0;
        if (ref >= mCount || !Unsigned(mTable + static_cast<std::size_t>(ref) * mOffsetSize, mOffsetSize, offset))
            return false;
        // Objects lie between the header and the offset table.
        if (offset < 8 || offset >= mEnd) return false;
        at = static_cast<std::size_t>(offset);
        return true;
    }

    // The length in the low nibble, or an integer object after the marker.
    bool Length(std::size_t& at, std::uint8_t nibble, std::uint64_t& length) const
    {
        if (nibble != 0x0F) {
            length = nibble;
            return true;
        }
        if (at >= mEnd) return false;
        std::uint8_t marker = Byte(at);
        if ((marker & 0xF0) != 0x10 || (marker & 0x0F) > 3) return false;
        std::size_t size = std::size_t{1} << (marker & 0x0F);
        if (!Unsigned(at + 1, size, length) || at + 1 + size > mEnd) return false;
        at += 1 + size;
        return true;
    }

    bool Fits(std::size_t at, std::uint64_t count, std::size_t unit) const
    {
        return at <= mEnd && count <= (mEnd - at) / unit;
    }

    static void AppendUtf8(std::string& out, std::uint32_t code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool Utf16(std::size_t at, std::uint64_t units, std::string& out) const
    {
        for (std::uint64_t i = 0; i < units; ++i) {
            std::uint32_t unit = (Byte(at + 2 * i) << 8) | Byte(at + 2 * i + 1);
            if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
                std::uint32_t low = (Byte(at + 2 * i + 2) << 8) | Byte(at + 2 * i + 3);
                if (low >= 0xDC00 && low < 0xE000) {
                    AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                    ++i;
                    continue;
                }
            }
            // A lone surrogate becomes the replacement character.
            AppendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
        }
        return true;
    }

    bool Object(std::uint64_t ref, int depth, PlistValue& out)
    {
        if (depth > kPlistMaxDepth || ++mValues > kMaxValues) return false;
        std::size_t at = 0;
        if (!Offset(ref, at)) return false;
        std::uint8_t marker = Byte(at++);
        std::uint8_t nibble = marker & 0x0F;
        switch (marker >> 4) {
        case 0x0:
            if (marker != 0x08 && marker != 0x09) return false;
            out = PlistValue::MakeBoolean(marker == 0x09);
            return true;
        case 0x1:
        case 0x8: {  // integer; UID
            std::size_t size = (marker >> 4) == 0x1 ? std::size_t{1} << std::min<int>(nibble, 4) : nibble + 1u;
            if (size > 8 || !Fits(at, size, 1)) return false;  // 128-bit integers are refused
            std::uint64_t value = 0;
            Unsigned(at, size, value);
            out = PlistValue::MakeInteger(static_cast<std::int64_t>(value));
            return true;
        }
        case 0x2:
        case 0x3: {  // real; date
            std::size_t size = (marker >> 4) == 0x3 ? 8 : std::size_t{1} << nibble;
            if ((size != 4 && size != 8) || !Fits(at, size, 1)) return false;
            std::uint64_t bits = 0;
            Unsigned(at, size, bits);
            double value = 0;
            if (size == 4) {
                float single;
                std::uint32_t narrow = static_cast<std::uint32_t>(bits);
                std::memcpy(&single, &narrow, 4);
                value = single;
            } else {
                std::memcpy(&value, &bits, 8);
            }
            if ((marker >> 4) == 0x3) {
                if (!(value > -1e12 && value < 1e12)) return false;
                out = PlistValue::MakeDate(static_cast<std::int64_t>(value + kPlistEpochInUnixSeconds));
            } else {
                out = PlistValue::MakeReal(value);
            }
            return true;
        }
        case 0x4:
        case 0x5:
        case 0x6: {  // data; ASCII string; UTF-16 string
            std::uint64_t length = 0;
            if (!Length(at, nibble, length)) return false;
            std::size_t unit = (marker >> 4) == 0x6 ? 2 : 1;
            if (!Fits(at, length, unit)) return false;
            std::string_view raw = mBytes.substr(at, static_cast<std::size_t>(length) * unit);
            if ((marker >> 4) == 0x4) {
                out = PlistValue::MakeData(raw);
            } else if ((marker >> 4) == 0x5) {
                out = PlistValue::MakeString(raw);
            } else {
                std::string text;
                Utf16(at, length, text);
                out = PlistValue::MakeString(text);
            }
            return true;
        }
        case 0xA:
        case 0xD: {  // array; dictionary
            bool isDictionary = (marker >> 4) == 0xD;
            std::uint64_t count = 0;
            if (!Length(at, nibble, count)) return false;
            if (!Fits(at, count, mRefSize * (isDictionary ? 2u : 1u))) return false;
            PlistValue container = isDictionary ? PlistValue::MakeDictionary() : PlistValue::MakeArray();
            for (std::uint64_t i = 0; i < count; ++i) {
                std::uint64_t valueRef = 0;
                std::size_t valueAt = at + static_cast<std::size_t>((isDictionary ? count + i : i) * mRefSize);
                if (!Unsigned(valueAt, mRefSize, valueRef)) return false;
                PlistValue value;
                if (!Object(valueRef, depth + 1, value)) return false;
                if (isDictionary) {
                    std::uint64_t keyRef = 0;
                    PlistValue key;
                    if (!Unsigned(at + static_cast<std::size_t>(i * mRefSize), mRefSize, keyRef) ||
                        !Object(keyRef, depth + 1, key) || !key.IsString())
                        return false;
                    container.Set(key.Text(), std::move(value));
                } else {
                    container.Append(std::move(value));
                }
            }
            out = std::move(container);
            return true;
        }
        default:
            return false;
        }
    }

    std::string_view mBytes;
    std::size_t mOffsetSize = 0;
    std::size_t mRefSize = 0;
    std::uint64_t mCount = 0;
    std::size_t mTable = 0;
    std::size_t mEnd = 0;
    std::size_t mValues = 0;
};

}  // namespace

bool IsBinaryPlist(std::string_view bytes) { return bytes.substr(0, 8) == std::string_view("bplist00", 8); }

bool ParseBinaryPlist(std::string_view bytes, PlistValue& out)
{
    if (!IsBinaryPlist(bytes) || bytes.size() > kBinaryPlistMaxBytes) return false;
    PlistValue value;
    if (!CReader(bytes).Read(value)) return false;
    out = std::move(value);
    return true;
}
