// Growable text: a heap buffer of UTF-8 bytes with the editing operations the
// crawl, the HTML processing, the configuration files and the mails need.
//
// Offsets are byte indexes; -1 means "not found" or "no buffer". The search
// operations see the text as a C string, so a NUL inside it ends what they
// see. The buffer grows geometrically, and never past kMaxLength bytes: an
// operation that would need more leaves the text as it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/errors/status.h"
#include "foundation/text/fixed_string.h"
#include "foundation/containers/pooled_list.h"

class CLDynamicBuffer;

// Answers whether a ".ext" text is a file extension the program knows; the
// settings install theirs at start-up. Null restores the default (none known).
using KnownExtensionTest = bool (*)(const char* dotExtension);
void SetKnownExtensionTest(KnownExtensionTest test);

class CTextBuffer {
public:
    static constexpr std::int32_t kDefaultGrowStep = 32000;
    static constexpr std::int32_t kMaxLength = 0x7FFFFFFE;

    // Construction and assignment -------------------------------------------
    CTextBuffer();
    explicit CTextBuffer(std::int32_t growStep);
    CTextBuffer(const char* text);
    CTextBuffer(std::string_view text);
    CTextBuffer(const CTextBuffer& other);
    CTextBuffer(CTextBuffer&& other) noexcept;
    // The chars from `first` through `last`, both included; no buffer when
    // first > last.
    CTextBuffer(const char* first, const char* last);
    ~CTextBuffer();

    CTextBuffer& operator=(const CTextBuffer& other);
    CTextBuffer& operator=(CTextBuffer&& other) noexcept;
    CTextBuffer& operator=(const char* text) { return Assign(text); }

    CTextBuffer& Assign(const char* text);  // null counts as ""
    CTextBuffer& Assign(std::string_view text);
    CTextBuffer& Assign(const CTextBuffer& other);  // a source without a buffer empties the target
    CTextBuffer& AssignChar(char c);
    CTextBuffer& AssignNumber(std::int32_t value);
    CTextBuffer& AssignNumber(std::int64_t value);
    void Clear() { Assign(""); }

    // Appending and inserting -----------------------------------------------
    CTextBuffer& Append(char c);
    CTextBuffer& Append(const char* text);
    CTextBuffer& Append(std::string_view text);
    CTextBuffer& Append(const CTextBuffer& other);
    CTextBuffer& AppendBytes(const void* bytes, std::int32_t count);
    CTextBuffer& AppendNumber(std::int32_t value);
    CTextBuffer& AppendNumber(std::int64_t value);
    CTextBuffer& AppendFormEncoded(const char* text);
    CTextBuffer& Prepend(const char* text);
    // `index` must lie in 0..Length(); an empty text changes nothing.
    bool InsertAt(std::int32_t index, const char* text);
    bool InsertAt(std::int32_t index, std::string_view text);

    // Searching ---------------------------------------------------------------
    // A negative `from` counts as 0.
    [[nodiscard]] std::int32_t Find(const char* pattern, std::int32_t from = 0) const;
    [[nodiscard]] std::int32_t FindNoCase(const char* pattern, std::int32_t from = 0) const;
    [[nodiscard]] bool BeginsWithNoCase(const char* text) const;
    [[nodiscard]] bool EndsWithNoCase(const char* text) const;
    [[nodiscard]] std::int32_t FindWholeWord(const char* delimiters, const char* word) const;
    [[nodiscard]] std::int32_t FindWholeWordNoCase(const char* delimiters, const char* word) const;
    [[nodiscard]] bool IsWholeWordAt(const char* delimiters, std::int32_t index, std::int32_t length) const;
    // Lowercases the text, then asks the settings' file-type table whether
    // "." + text is a known extension.
    [[nodiscard]] bool HasKnownExtension();
    [[nodiscard]] bool IsAllURLChars() const;

    // Extracting and cutting between markers ---------------------------------
    // The span runs from the first begin marker through the next end marker
    // after it; each returns true when both markers were found.
    [[nodiscard]] bool ExtractBetween(const char* begin, const char* end, CTextBuffer& out) const;
    [[nodiscard]] bool ExtractBetween(const char* begin, const char* end, CFixedString255& out) const;
    [[nodiscard]] bool ExtractBetweenNoCase(const char* begin, const char* end, CTextBuffer& out) const;
    [[nodiscard]] bool ExtractBetweenNoCase(const char* begin, const char* end, CFixedString255& out) const;
    [[nodiscard]] bool ExtractSpanNoCase(const char* begin, const char* end, CTextBuffer& out) const;
    [[nodiscard]] bool CutBetween(const char* begin, const char* end, CTextBuffer& out);
    [[nodiscard]] bool CutBetween(const char* begin, const char* end, CFixedString255& out);
    [[nodiscard]] bool CutBetweenNoCase(const char* begin, const char* end, CTextBuffer& out);
    [[nodiscard]] bool CutBetweenNoCase(const char* begin, const char* end, CFixedString255& out);
    [[nodiscard]] bool CutInnerNoCase(const char* begin, const char* end, CTextBuffer& out);
    [[nodiscard]] bool DeleteSpan(const char* begin, const char* end);
    [[nodiscard]] bool DeleteSpanNoCase(const char* begin, const char* end);
    [[nodiscard]] bool DeleteInnerNoCase(const char* begin, const char* end);
    [[nodiscard]] bool ReplaceInnerNoCase(const char* begin, const char* end, const char* replacement);
    // Removes every span [spanBegin .. spanEnd] (case-blind) inside the region
    // between the first regionBegin and the next regionEnd (exact); true when
    // the region was found.
    [[nodiscard]] bool DeleteAllBetweenInRegion(const char* spanBegin, const char* spanEnd,
                                  const char* regionBegin, const char* regionEnd);

    // Replacing and deleting ----------------------------------------------------
    // Chars first..last clamped to the text; null without a buffer. The
    // caller owns the result.
    CTextBuffer* Substring(std::int32_t first, std::int32_t last) const;
    void DeleteRange(std::int32_t first, std::int32_t last);
    void ReplaceRange(std::int32_t first, std::int32_t last, const char* text);
    [[nodiscard]] bool ReplaceFirst(const char* pattern, const char* replacement) { return ReplaceFirst(0, pattern, replacement); }
    [[nodiscard]] bool ReplaceFirst(std::int32_t from, const char* pattern, const char* replacement);
    [[nodiscard]] bool ReplaceFirstNoCase(const char* pattern, const char* replacement) { return ReplaceFirstNoCase(0, pattern, replacement); }
    [[nodiscard]] bool ReplaceFirstNoCase(std::int32_t from, const char* pattern, const char* replacement);
    [[nodiscard]] bool ReplaceFirstNoCase(const CTextBuffer& pattern, const CTextBuffer& replacement);
    // Returns the number of replacements; an empty pattern replaces nothing.
    std::int32_t ReplaceAll(const char* pattern, const char* replacement);
    std::int32_t ReplaceAllNoCase(const char* pattern, const char* replacement);
    void ReplaceChar(char from, char to);
    void RemoveChars(const char* set);
    void CollapseSpaces();
    void BlankNonPrintables();
    void BlankNULs();
    void MakeLowercase();

    // Encodings -------------------------------------------------------------------
    void URLDecode();
    void PercentEncodeUnsafe();
    void FormEncode();

    // Files -------------------------------------------------------------------------
    // Reads the whole file; NULs become blanks. False (and an empty text) when
    // the file cannot be read.
    [[nodiscard]] bool ReadFile(const std::string& path);
    [[nodiscard]] bool ReadFileAtPath(const char* path) { return path && ReadFile(std::string(path)); }
    // Replaces the file's whole content by the text; a missing file is not
    // created and gives -ENOENT.
    CStatus WriteFile(const std::string& path) const;
    // Creates or replaces the file at `path` with the text.
    CStatus WriteFileAtPath(const char* path) const;

    // Access -------------------------------------------------------------------------
    const char* c_str() const { return mData ? mData : ""; }
    char* Data() { return mData; }
    [[nodiscard]] bool HasBuffer() const { return mData != nullptr; }
    [[nodiscard]] std::int32_t Length() const { return mLength; }
    [[nodiscard]] std::int32_t Capacity() const { return mCapacity; }
    [[nodiscard]] bool IsEmpty() const { return mLength == 0; }
    std::string_view View() const { return std::string_view(c_str(), static_cast<std::size_t>(mLength)); }
    std::string str() const { return std::string(View()); }
    // Makes room for `extra` more chars; false when that would pass kMaxLength.
    [[nodiscard]] bool Reserve(std::int64_t extra);

    CFixedString255& Name() { return mName; }
    const CFixedString255& Name() const { return mName; }

    friend bool operator==(const CTextBuffer& a, const CTextBuffer& b) { return a.View() == b.View(); }

    // Signed decimal digits of `value` into `out` (at most size - 1 chars).
    static void FormatInt64(std::int64_t value, char* out, std::size_t size);

private:
    [[nodiscard]] bool Grow(std::int64_t shortfall);
    // Replaces `count` chars at `at` by `with` (which may point into this
    // text); false, with the text unchanged, when it cannot.
    bool ReplaceSpan(std::int32_t at, std::int32_t count, std::string_view with);
    // Replaces the whole text, sizing the capacity by the assignment rule;
    // keeps the name. False, with the text unchanged, when it cannot.
    bool SetText(std::string_view text);
    // Offset of the first occurrence at or after `from` that a C-string
    // search from `from` would see; -1 when none.
    [[nodiscard]] std::int32_t FindFrom(std::string_view pattern, std::int32_t from, bool ignoreCase) const;
    [[nodiscard]] std::int32_t ReplaceEvery(const char* pattern, const char* replacement, bool ignoreCase);
    [[nodiscard]] std::int32_t FindWord(const char* delimiters, const char* word, bool ignoreCase) const;
    // Removes the first span (or only its inner text) and hands back its
    // inner text; false, with `inner` empty, when a marker is missing.
    [[nodiscard]] bool CutSpan(const char* begin, const char* end, bool ignoreCase, bool innerOnly, std::string& inner);
    [[nodiscard]] bool FindSpan(const char* begin, const char* end, bool ignoreCase,
                  std::int32_t& spanStart, std::int32_t& innerStart,
                  std::int32_t& innerEnd, std::int32_t& spanEnd) const;

    CFixedString255 mName;
    char* mData = nullptr;
    std::int32_t mLength = 0;
    std::int32_t mCapacity = 0;
    std::int32_t mGrowStep = kDefaultGrowStep;
};
