// Fixed-capacity, NUL-terminated text held inside the object.
//
// Every copy and append truncates silently at the capacity, and never in the
// middle of a UTF-8 character: a character that does not fit is left out
// whole. The capacity counts bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

template <typename T> class TPooledList;

namespace fixed_string_detail {
// Length of the longest prefix of `text` of at most `limit` bytes that ends on
// a UTF-8 character boundary.
[[nodiscard]] std::size_t Utf8Prefix(const char* text, std::size_t length, std::size_t limit);
// In-place edits of a NUL-terminated text held in `capacity` + 1 bytes.
void Prepend(char* text, std::size_t capacity, const char* prefix);
void DecodeEntities(char* text, std::size_t capacity);
void URLDecode(char* text, std::size_t capacity);
void MakeLowercase(char* text);
void RemoveNonGraphic(char* text);
[[nodiscard]] bool BeginsWith(const char* text, const char* prefix, bool ignoreCase);
[[nodiscard]] bool EndsWith(const char* text, const char* suffix, bool ignoreCase);
void FormatNumber(std::int32_t value, char out[16]);
}

template <std::size_t N>
class CFixedString {
public:
    static constexpr std::size_t kCapacity = N;

    CFixedString() { mText[0] = '\0'; }
    CFixedString(const char* text) { Assign(text); }
    CFixedString(std::string_view text) { AssignView(text); }
    CFixedString(const CFixedString& other) { Assign(other); }
    template <std::size_t M>
    explicit CFixedString(const CFixedString<M>& other) { Assign(other.c_str()); }

    CFixedString& operator=(const CFixedString& other) { return Assign(other); }
    CFixedString& operator=(const char* text) { return Assign(text); }

    CFixedString& Assign(const char* text)
    {
        if (text == mText) return *this;
        if (text == nullptr) {
            mText[0] = '\0';
            return *this;
        }
        return AssignView(std::string_view(text, ::strnlen(text, N + 4)));
    }
    CFixedString& Assign(const CFixedString& other)
    {
        if (&other != this) std::memcpy(mText, other.mText, other.Length() + 1);
        return *this;
    }
    CFixedString& AssignView(std::string_view text)
    {
        std::size_t n = fixed_string_detail::Utf8Prefix(text.data(), text.size(), N);
        std::memmove(mText, text.data(), n);
        mText[n] = '\0';
        return *this;
    }
    CFixedString& AssignPString(const unsigned char* pstring)
    {
        if (pstring == nullptr) return Assign(nullptr);
        return AssignView(std::string_view(reinterpret_cast<const char*>(pstring + 1), pstring[0]));
    }
    CFixedString& AssignNumber(std::int32_t value);

    CFixedString& Append(const char* text)
    {
        if (text == nullptr) return *this;
        return AppendView(std::string_view(text, ::strnlen(text, N + 4)));
    }
    CFixedString& Append(const CFixedString& other) { return AppendView(other.View()); }
    CFixedString& AppendView(std::string_view text)
    {
        std::size_t length = Length();
        std::size_t n = fixed_string_detail::Utf8Prefix(text.data(), text.size(), N - length);
        std::memmove(mText + length, text.data(), n);
        mText[length + n] = '\0';
        return *this;
    }
    // Appends only while at least two places are free, as the record formats
    // that carry these strings always expect a spare byte.
    CFixedString& AppendChar(char c)
    {
        std::size_t length = Length();
        if (length + 2 <= N) {
            mText[length] = c;
            mText[length + 1] = '\0';
        }
        return *this;
    }
    CFixedString& AppendNumber(std::int32_t value);
    CFixedString& Prepend(const char* text);

    // Joins the items with `separator` between them.
    CFixedString& Join(char separator, const TPooledList<CFixedString<255>>& list);
    // Replaces the list's items by the non-empty tokens of this text.
    void Split(const char* delimiters, TPooledList<CFixedString<255>>& list) const;

    void MakeLowercase();
    void RemoveNonGraphic();
    // Null when `index` is outside the text.
    const char* CharAt(std::size_t index) const { return index <= Length() ? mText + index : nullptr; }
    char* CharAt(std::size_t index) { return index <= Length() ? mText + index : nullptr; }

    void DecodeEntities();
    void URLDecode();

    [[nodiscard]] bool BeginsWith(const char* text, bool ignoreCase = false) const;
    [[nodiscard]] bool EndsWith(const char* text, bool ignoreCase = false) const;
    [[nodiscard]] bool BeginsWithNoCase(const char* text) const { return BeginsWith(text, true); }
    [[nodiscard]] bool EndsWithNoCase(const char* text) const { return EndsWith(text, true); }

    const char* c_str() const { return mText; }
    char* Data() { return mText; }
    [[nodiscard]] std::size_t Length() const { return std::strlen(mText); }
    [[nodiscard]] bool IsEmpty() const { return mText[0] == '\0'; }
    std::string_view View() const { return std::string_view(mText, Length()); }
    std::string str() const { return std::string(mText); }
    operator const char*() const { return mText; }

    friend bool operator==(const CFixedString& a, const CFixedString& b) { return std::strcmp(a.mText, b.mText) == 0; }
    friend bool operator<(const CFixedString& a, const CFixedString& b) { return std::strcmp(a.mText, b.mText) < 0; }

private:
    char mText[N + 1];
};

using CFixedString1024 = CFixedString<1024>;
using CFixedString255 = CFixedString<255>;
using CFixedString127 = CFixedString<127>;
using CFixedString31 = CFixedString<31>;

// Writes 1.0 to `score` when `needle` occurs in `subject` ignoring ASCII case,
// else 0.0; an empty needle or subject scores 0.0.
void MatchContainsNoCase(const char* subject, const char* needle, float* score);

#include "foundation/containers/pooled_list.h"

template <std::size_t N>
CFixedString<N>& CFixedString<N>::AssignNumber(std::int32_t value)
{
    char digits[16];
    fixed_string_detail::FormatNumber(value, digits);
    return Assign(digits);
}

template <std::size_t N>
CFixedString<N>& CFixedString<N>::AppendNumber(std::int32_t value)
{
    char digits[16];
    fixed_string_detail::FormatNumber(value, digits);
    return Append(digits);
}

template <std::size_t N>
CFixedString<N>& CFixedString<N>::Prepend(const char* text)
{
    fixed_string_detail::Prepend(mText, N, text);
    return *this;
}

template <std::size_t N>
CFixedString<N>& CFixedString<N>::Join(char separator, const TPooledList<CFixedString<255>>& list)
{
    mText[0] = '\0';
    bool first = true;
    for (const auto& item : list) {
        if (!first) AppendChar(separator);
        Append(item.c_str());
        first = false;
    }
    return *this;
}

template <std::size_t N>
void CFixedString<N>::Split(const char* delimiters, TPooledList<CFixedString<255>>& list) const
{
    list.Clear();
    if (delimiters == nullptr) delimiters = "";
    const char* p = mText;
    while (*p) {
        p += std::strspn(p, delimiters);
        std::size_t n = std::strcspn(p, delimiters);
        if (n == 0) break;
        list.Append(CFixedString<255>(std::string_view(p, n)));
        p += n;
    }
}

template <std::size_t N> void CFixedString<N>::MakeLowercase() { fixed_string_detail::MakeLowercase(mText); }
template <std::size_t N> void CFixedString<N>::RemoveNonGraphic() { fixed_string_detail::RemoveNonGraphic(mText); }
template <std::size_t N> void CFixedString<N>::DecodeEntities() { fixed_string_detail::DecodeEntities(mText, N); }
template <std::size_t N> void CFixedString<N>::URLDecode() { fixed_string_detail::URLDecode(mText, N); }

template <std::size_t N>
bool CFixedString<N>::BeginsWith(const char* text, bool ignoreCase) const
{
    return fixed_string_detail::BeginsWith(mText, text, ignoreCase);
}

template <std::size_t N>
bool CFixedString<N>::EndsWith(const char* text, bool ignoreCase) const
{
    return fixed_string_detail::EndsWith(mText, text, ignoreCase);
}
