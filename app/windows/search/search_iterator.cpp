#include "app/windows/search/search_iterator.h"

#include <syslog.h>

#include <algorithm>
#include <limits>

#include "app/windows/search/hier_outline_table.h"
#include "app/windows/search/search_panes.h"
#include "app/windows/search/searcher.h"
#include "foundation/files/file.h"
#include "foundation/system/path_names.h"
#include "foundation/text/utf8_validity.h"
#include "foundation/threads/worker_pool.h"

using namespace searchwindow;

CSearchIterator::CSearchIterator(const CFileRef& folder, CSearcher* window)
    : CThread(EWhenFinished::kDeleteSelf), CDirectoryIterator(folder), mWindow(window)
{
    mOptions.matchCase = window->OptionValue(kCaseGroup) == kMatchCase;
    mOptions.allTerms = window->OptionValue(kAllAnyGroup) == kAllTerms;
    mOptions.wholeWords = window->OptionValue(kWholeGroup) == kWholeWords;
    CFixedString255(window->QueryText()).Split(" ", mTerms);
}

CSearchIterator::~CSearchIterator() { mTerms.Clear(); }

void CSearchIterator::DetachWindow()
{
    mWindow = nullptr;
    mCancel = true;
}

void* CSearchIterator::Run()
{
    if (mWindow != nullptr) {
        mWindow->ShowArrows(true);
        mWindow->SetCaption(kFileCaption, " ");
        mWindow->SetCaption(kFoundCaption, "0");
        mWindow->SetCaption(kSearchedCaption, "0");
        try {
            Iterate();
        } catch (const CStopException&) {
            // A stop request (the window closes): the end steps still run.
        }
    }
    if (mWindow != nullptr) mWindow->SearchThreadEnded(this);
    return nullptr;
}

void CSearchIterator::ProcessItem(const CFileRef& item)
{
    CDirectoryIterator::ProcessItem(item);
    if (mWindow == nullptr) {
        mCancel = true;
        return;
    }
    mWindow->SetProgressValue(mItemCount);
    if (IsPackage(item.c_str())) return;
    if (mItemCount % 10 == 0) {
        CheckStop();
        if (mWindow == nullptr) return;  // closed meanwhile
    }
    const std::string name = CopyRefName(item.c_str());
    if (name.empty() || name.size() > 255 || !IsValidUtf8(name)) return;
    mWindow->SetCaption(kFileCaption, name);
    ++mSearched;
    mWindow->SetCaption(kSearchedCaption, std::to_string(mSearched));

    const std::optional<std::string> line = MakeWordText(item, " ", false);
    // The window may have gone while the tool ran.
    if (mWindow == nullptr || !line || !Matches(*line)) return;
    ++mFound;
    mWindow->SetCaption(kFoundCaption, std::to_string(mFound));
    TPooledList<CFixedString255> folders;
    if (ListPathComponents(item.c_str(), folders) != 0) return;
    CFoundFile found;
    found.mRef = item;
    found.mName = CFixedString255(name);
    CFile::GetTotalSize(item, found.mSize);
    CFile::GetModificationSeconds(item, found.mModified);
    mWindow->GetResults()->FileFound(folders, found);
}

bool CSearchIterator::Matches(std::string_view wordText) const
{
    static const CWordDelimiters kNoWindowDelimiters;
    return MatchesTerms(wordText, mTerms, mOptions, mWindow != nullptr ? mWindow->GetDelimiters() : kNoWindowDelimiters);
}

PlistValue CSearchIterator::CopyWordList(const CFileRef& item)
{
    PlistValue words = PlistValue::MakeDictionary();
    const std::string& path = item.Path();
    if (path.empty()) return words;
    ::syslog(LOG_DEBUG, "Indexing %s", path.c_str());
    const CWordListTool& tool = mTool;
    // The worker owns copies: the fiber's objects are only read back after
    // the job has ended.
    RunOnWorker([&tool, path, &words] { tool.ListWords(path, words); });
    return words;
}

std::optional<std::string> CSearchIterator::MakeWordText(const CFileRef& item, std::string_view separator,
                                                         bool alphabetical)
{
    const PlistValue words = CopyWordList(item);
    if (words.Count() == 0) return std::nullopt;
    return ::MakeWordText(words, separator, alphabetical);
}
