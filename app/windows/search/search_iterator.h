// CSearchIterator: the cooperative thread of one search. It walks every item
// under the search folder, takes each item's words (listed ahead of it by
// worker threads, from the cache or the word-list tool, so the windows stay
// live), tests the query's terms against them under the window's options,
// counts what it searched and found in the window, and files each matching
// file into the results. A tool that cannot be run ends the search, and the
// window tells it, as it tells the files the tool failed on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/windows/search/search_words.h"
#include "app/windows/search/word_list_source.h"
#include "foundation/containers/pooled_list.h"
#include "foundation/files/directory_iterator.h"
#include "foundation/text/fixed_string.h"
#include "foundation/threads/thread.h"

class CSearchOwner;

class CSearchIterator : public CThread, public CDirectoryIterator {
public:
    // Created suspended; reads the options and the terms (folded as the
    // word lists are) from the window.
    CSearchIterator(const CFileRef& folder, CSearchOwner* window);
    ~CSearchIterator() override;

    void ProcessItem(const CFileRef& item) override;
    bool Matches(std::string_view wordText) const;
    // The item's words from the tool; an empty dictionary when it gave none.
    // A tool that cannot be run cancels the walk.
    PlistValue CopyWordList(const CFileRef& item);
    // The words each followed by `separator`; nothing for an item without words.
    std::optional<std::string> MakeWordText(const CFileRef& item, std::string_view separator, bool alphabetical);

    // The window gave up waiting (it is going): the thread touches it no more
    // and ends at its next item.
    void DetachWindow();

protected:
    void* Run() override;

private:
    // The items the walk will search, in its order.
    std::vector<std::string> SearchableItems() const;
    // What the end of the search tells of the tool; empty when all went well.
    std::string ToolFailureText() const;

    CSearchOwner* mWindow;
    TPooledList<CFixedString255> mTerms;
    SSearchOptions mOptions;
    std::uint32_t mFound = 0;
    std::uint32_t mSearched = 0;
    std::uint32_t mToolFailedOn = 0;  // items the tool gave no list for
    std::string mToolFailure;        // why it could not be run
    std::unique_ptr<CWordListSource> mLists;
};

// The end text for a search in which the tool failed on `count` files.
std::string ToolFailedOnFilesText(std::uint32_t count);

// Whether the search tests an item's words: not inside-out (a package), and a
// name of at most 255 bytes of UTF-8.
bool IsSearchableItem(const CFileRef& item, std::string* name = nullptr);
