// CFilterSet: whether one URL passes a set of user criteria.
//
// The criteria are string lists matched against parts of the URL record plus
// size, date, content and file-type tests and an optional script. Compile
// turns them into three lists of test operations (positive, negative, other);
// Evaluate runs only those lists, so whoever edits the criteria directly must
// call Compile before the next Evaluate. Each group is an "any of": one
// matching negative test rejects, one passing positive test and one passing
// other test are enough, and a set without criteria accepts every URL.
#pragma once

#include <cstdint>

#include "foundation/containers/pooled_list.h"
#include "foundation/text/fixed_string.h"
#include "foundation/text/text_buffer.h"

class CURL;
class CFilterSet;

using OSType = std::uint32_t;
using FilterStringList = TPooledList<CFixedString255>;
// One compiled test: true when the URL matches it.
using FilterTest = bool (*)(const CFilterSet& filters, const CURL& url);

class CFilterSet {
public:
    static constexpr std::int32_t kSizeNotSet = -1;
    // The file types that mean "no particular type": they pass the file-type test.
    static constexpr OSType kUnknownFileType = 0x3F3F3F3F;  // '????'

    CFilterSet();
    CFilterSet(const CFilterSet& other);
    CFilterSet& operator=(const CFilterSet& other);
    ~CFilterSet() = default;

    // Criteria equality: the compiled lists are derived and not compared.
    [[nodiscard]] bool IsEqual(const CFilterSet& other) const;
    friend bool operator==(const CFilterSet& a, const CFilterSet& b) { return a.IsEqual(b); }

    // Rebuilds the three test lists from the criteria.
    void Compile();
    // True when the URL passes. Yields to the other cooperative threads
    // first, then runs the script (when set) whatever it decides, then the
    // compiled tests.
    [[nodiscard]] bool Evaluate(const CURL& url) const;
    // Runs the script file as a program with the URL's values (see
    // filter_script.h); 0 when it ran to its end, else a negative status.
    [[nodiscard]] int RunScript(const CURL& url) const;

    // Text form: the 23 setting lines in their fixed order. Read consumes the
    // lines it takes from `text` (so three sets read in a row take the grab,
    // crawl and save sets' lines in turn), leaves fields whose keys are
    // missing as they were, then compiles.
    void Write(CTextBuffer& out) const;
    void Read(CTextBuffer& text);
    void Describe(CTextBuffer& out) const;

    const TPooledList<FilterTest>& PositiveTests() const { return mPositiveTests; }
    const TPooledList<FilterTest>& NegativeTests() const { return mNegativeTests; }
    const TPooledList<FilterTest>& OtherTests() const { return mOtherTests; }

    // Criteria ------------------------------------------------------------------
    FilterStringList filenameContains;
    FilterStringList filenameBeginsWith;
    FilterStringList filenameEndsWith;
    FilterStringList suffixIs;
    FilterStringList mimeContains;
    FilterStringList pathContains;
    FilterStringList pathBeginsWith;
    FilterStringList pathEndsWith;
    FilterStringList filenameDoesNotContain;
    FilterStringList filenameDoesNotBeginWith;
    FilterStringList filenameDoesNotEndWith;
    FilterStringList suffixIsNot;
    FilterStringList mimeDoesNotContain;
    FilterStringList pathDoesNotContain;
    FilterStringList pathDoesNotBeginWith;
    FilterStringList pathDoesNotEndWith;
    // Bytes, inclusive; kSizeNotSet when not set.
    std::int32_t sizeLessThan = kSizeNotSet;
    std::int32_t sizeGreaterThan = kSizeNotSet;
    // Dates as the user typed them (see filter_date.h); empty when not set.
    CFixedString255 afterDate;
    CFixedString255 beforeDate;
    FilterStringList contentQuery;
    TPooledList<OSType> fileTypes;
    // Path of a program run for every evaluated URL; empty for none.
    CFixedString255 pathToScript;

private:
    void CopyCriteria(const CFilterSet& other);

    TPooledList<FilterTest> mPositiveTests;
    TPooledList<FilterTest> mNegativeTests;
    TPooledList<FilterTest> mOtherTests;
};
