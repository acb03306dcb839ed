#include "app/windows/search/search_iterator.h"

#include <algorithm>
#include <limits>

#include "app/windows/search/hier_outline_table.h"
#include "app/windows/search/search_owner.h"
#include "app/windows/search/search_panes.h"
#include "app/windows/search/word_list_tool.h"
#include "foundation/files/file.h"
#include "foundation/files/file_system.h"
#include "foundation/system/path_names.h"
#include "foundation/text/utf8_validity.h"
#include "foundation/unicode/compatibility_fold.h"

using namespace searchwindow;

namespace {

std::unique_ptr<CWordListSource> MakeWordListSource(std::vector<std::string> items, unsigned workers)
{
    return std::make_unique<CWordListSource>(
        std::move(items), CWordListCache(CWordListCache::DefaultFolder(), SearchKitIndexerBuild()), workers);
}

}  // namespace

CSearchIterator::CSearchIterator(const CFileRef& folder, CSearchOwner* window)
    : CThread(EWhenFinished::kDeleteSelf), CDirectoryIterator(folder), mWindow(window)
{
    mOptions.matchCase = window->OptionValue(kCaseGroup) == kMatchCase;
    mOptions.allTerms = window->OptionValue(kAllAnyGroup) == kAllTerms;
    mOptions.wholeWords = window->OptionValue(kWholeGroup) == kWholeWords;
    TPooledList<CFixedString255> typed;
    CFixedString255(window->QueryText()).Split(" ", typed);
    for (const CFixedString255& term : typed) mTerms.Append(CFixedString255(FoldCompatibility(term.c_str())));
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
            // The walk clears the cancel flag as it begins: a Stop clicked
            // before this thread first ran must not be lost.
            if (!mCancel) {
                mLists = MakeWordListSource(SearchableItems(), CWordListSource::DefaultWorkers());
                (void)Iterate();
            }
        } catch (const CStopException&) {
            // A stop request (the window closes): the end steps still run.
        }
    }
    mLists.reset();
    if (mWindow != nullptr) mWindow->SearchThreadEnded(this, ToolFailureText());
    return nullptr;
}

std::vector<std::string> CSearchIterator::SearchableItems() const
{
    std::vector<std::string> items;
    (void)WalkFolderTree(mRoot, 0, [&items](const CWalkItem& item) {
        if (IsSearchableItem(item.ref)) items.push_back(item.ref.Path());
        return false;
    });
    return items;
}

std::string CSearchIterator::ToolFailureText() const
{
    if (!mToolFailure.empty()) return mToolFailure;
    return mToolFailedOn > 0 ? ToolFailedOnFilesText(mToolFailedOn) : std::string();
}

std::string ToolFailedOnFilesText(std::uint32_t count)
{
    return "The word-list tool failed on " + std::to_string(count) + (count == 1 ? " file" : " files") +
           " (see the system log)";
}

bool IsSearchableItem(const CFileRef& item, std::string* name)
{
    if (IsPackage(item.c_str())) return false;
    std::string own = CopyRefName(item.c_str());
    if (own.empty() || own.size() > 255 || !IsValidUtf8(own)) return false;
    if (name != nullptr) *name = std::move(own);
    return true;
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
    std::string name;
    if (!IsSearchableItem(item, &name)) return;
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
    (void)CFile::GetTotalSize(item, found.mSize);
    (void)CFile::GetModificationSeconds(item, found.mModified);
    mWindow->GetResults()->FileFound(folders, found);
}

bool CSearchIterator::Matches(std::string_view wordText) const
{
    static const CWordDelimiters kNoWindowDelimiters;
    return MatchesTerms(wordText, mTerms, mOptions, mWindow != nullptr ? mWindow->GetDelimiters() : kNoWindowDelimiters);
}

PlistValue CSearchIterator::CopyWordList(const CFileRef& item)
{
    const std::string& path = item.Path();
    if (path.empty()) return PlistValue::MakeDictionary();
    if (!mLists) mLists = MakeWordListSource({}, 1);
    // Stop, or a window that closes, need not wait for the item's tool run.
    SItemWords taken = mLists->Take(path, [this] { return mCancel || IsStopRequested(); });
    if (taken.failed) ++mToolFailedOn;
    if (mToolFailure.empty()) mToolFailure = mLists->ToolFailure();
    // Every item after would fail the same way.
    if (!mToolFailure.empty()) mCancel = true;
    return std::move(taken.words);
}

std::optional<std::string> CSearchIterator::MakeWordText(const CFileRef& item, std::string_view separator,
                                                         bool alphabetical)
{
    const PlistValue words = CopyWordList(item);
    if (words.Count() == 0) return std::nullopt;
    return ::MakeWordText(words, separator, alphabetical);
}
