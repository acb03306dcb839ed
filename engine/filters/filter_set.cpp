#include "engine/filters/filter_set.h"

#include "engine/filters/filter_script.h"
#include "engine/filters/filter_tests.h"
#include "engine/filters/list_equality.h"
#include "foundation/threads/thread.h"

namespace {

void AddWhenSet(TPooledList<FilterTest>& tests, const FilterStringList& criterion, FilterTest test)
{
    if (!criterion.IsEmpty()) tests.Append(test);
}

bool AnyPasses(const TPooledList<FilterTest>& tests, const CFilterSet& filters, const CURL& url)
{
    for (FilterTest test : tests)
        if (test(filters, url)) return true;
    return false;
}

}  // namespace

CFilterSet::CFilterSet() { Compile(); }

CFilterSet::CFilterSet(const CFilterSet& other)
{
    CopyCriteria(other);
    Compile();
}

CFilterSet& CFilterSet::operator=(const CFilterSet& other)
{
    if (this != &other) {
        CopyCriteria(other);
        Compile();
    }
    return *this;
}

void CFilterSet::CopyCriteria(const CFilterSet& other)
{
    filenameContains = other.filenameContains;
    filenameBeginsWith = other.filenameBeginsWith;
    filenameEndsWith = other.filenameEndsWith;
    suffixIs = other.suffixIs;
    mimeContains = other.mimeContains;
    pathContains = other.pathContains;
    pathBeginsWith = other.pathBeginsWith;
    pathEndsWith = other.pathEndsWith;
    filenameDoesNotContain = other.filenameDoesNotContain;
    filenameDoesNotBeginWith = other.filenameDoesNotBeginWith;
    filenameDoesNotEndWith = other.filenameDoesNotEndWith;
    suffixIsNot = other.suffixIsNot;
    mimeDoesNotContain = other.mimeDoesNotContain;
    pathDoesNotContain = other.pathDoesNotContain;
    pathDoesNotBeginWith = other.pathDoesNotBeginWith;
    pathDoesNotEndWith = other.pathDoesNotEndWith;
    sizeLessThan = other.sizeLessThan;
    sizeGreaterThan = other.sizeGreaterThan;
    afterDate = other.afterDate;
    beforeDate = other.beforeDate;
    contentQuery = other.contentQuery;
    fileTypes = other.fileTypes;
    pathToScript = other.pathToScript;
}

bool CFilterSet::IsEqual(const CFilterSet& o) const
{
    return SameItems(filenameContains, o.filenameContains) && SameItems(filenameBeginsWith, o.filenameBeginsWith) &&
           SameItems(filenameEndsWith, o.filenameEndsWith) && SameItems(suffixIs, o.suffixIs) &&
           SameItems(mimeContains, o.mimeContains) && SameItems(pathContains, o.pathContains) &&
           SameItems(pathBeginsWith, o.pathBeginsWith) && SameItems(pathEndsWith, o.pathEndsWith) &&
           SameItems(filenameDoesNotContain, o.filenameDoesNotContain) &&
           SameItems(filenameDoesNotBeginWith, o.filenameDoesNotBeginWith) &&
           SameItems(filenameDoesNotEndWith, o.filenameDoesNotEndWith) && SameItems(suffixIsNot, o.suffixIsNot) &&
           SameItems(mimeDoesNotContain, o.mimeDoesNotContain) &&
           SameItems(pathDoesNotContain, o.pathDoesNotContain) &&
           SameItems(pathDoesNotBeginWith, o.pathDoesNotBeginWith) &&
           SameItems(pathDoesNotEndWith, o.pathDoesNotEndWith) && sizeLessThan == o.sizeLessThan &&
           sizeGreaterThan == o.sizeGreaterThan && afterDate == o.afterDate && beforeDate == o.beforeDate &&
           pathToScript == o.pathToScript && SameItems(contentQuery, o.contentQuery) &&
           SameItems(fileTypes, o.fileTypes);
}

void CFilterSet::Compile()
{
    using namespace filter_tests;
    mPositiveTests.Clear();
    mNegativeTests.Clear();
    mOtherTests.Clear();

    AddWhenSet(mPositiveTests, suffixIs, SuffixIs);
    AddWhenSet(mPositiveTests, mimeContains, MimeContains);
    AddWhenSet(mPositiveTests, filenameContains, FilenameContains);
    AddWhenSet(mPositiveTests, filenameBeginsWith, FilenameBeginsWith);
    AddWhenSet(mPositiveTests, filenameEndsWith, FilenameEndsWith);
    AddWhenSet(mPositiveTests, pathContains, PathContains);
    AddWhenSet(mPositiveTests, pathBeginsWith, PathBeginsWith);
    AddWhenSet(mPositiveTests, pathEndsWith, PathEndsWith);

    AddWhenSet(mNegativeTests, suffixIsNot, SuffixIsNot);
    AddWhenSet(mNegativeTests, mimeDoesNotContain, MimeDoesNotContain);
    AddWhenSet(mNegativeTests, filenameDoesNotContain, FilenameDoesNotContain);
    AddWhenSet(mNegativeTests, filenameDoesNotBeginWith, FilenameDoesNotBeginWith);
    AddWhenSet(mNegativeTests, filenameDoesNotEndWith, FilenameDoesNotEndWith);
    AddWhenSet(mNegativeTests, pathDoesNotContain, PathDoesNotContain);
    AddWhenSet(mNegativeTests, pathDoesNotBeginWith, PathDoesNotBeginWith);
    AddWhenSet(mNegativeTests, pathDoesNotEndWith, PathDoesNotEndWith);

    AddWhenSet(mOtherTests, contentQuery, Content);
    if (!fileTypes.IsEmpty()) mOtherTests.Append(FileType);
    if (sizeLessThan != kSizeNotSet || sizeGreaterThan != kSizeNotSet) mOtherTests.Append(Size);
    if (!afterDate.IsEmpty() || !beforeDate.IsEmpty()) mOtherTests.Append(Date);
}

bool CFilterSet::Evaluate(const CURL& url) const
{
    CThread::Yield();
    if (!pathToScript.IsEmpty()) (void)RunScript(url);  // its outcome never decides

    if (AnyPasses(mNegativeTests, *this, url)) return false;
    if (!mPositiveTests.IsEmpty() && !AnyPasses(mPositiveTests, *this, url)) return false;
    return mOtherTests.IsEmpty() || AnyPasses(mOtherTests, *this, url);
}

int CFilterSet::RunScript(const CURL& url) const
{
    if (pathToScript.IsEmpty()) return 0;
    return RunFilterScript(pathToScript.c_str(), url);
}
