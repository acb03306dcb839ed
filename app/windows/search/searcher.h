// CSearcher: the search of downloaded files. The user types search terms,
// names a folder (typed, dropped or chosen), picks three options and clicks
// Search; a CSearchIterator walks the folder on a cooperative thread, has the
// word-list tool list each item's words, and files the matching files into
// the results outline, shown by folder under a resizable heading.
//
// A search goes: idle -> searching (Search clicked on a folder: the button
// reads "Stop") -> idle, when the thread has walked every item or the user
// clicked Stop (the thread then winds down at its next item). Closing the
// window stops a running search and waits for its thread, with a bound.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/framework/grayscale_window.h"
#include "app/windows/search/search_owner.h"
#include "app/windows/search/search_words.h"
#include "foundation/files/file_ref.h"

class CHierOutlineTable;
class CSearchIterator;

class CSearcher : public GGrayscaleWindow, public CSearchOwner {
public:
    CSearcher(const SLayout& layout, CCommander* superCommander);
    // Saves the folder field, stops the search and waits for its thread.
    ~CSearcher() override;

    bool GetPaneHelpText(PaneIDT paneID, std::string& outText) override;
    void ListenToMessage(MessageT message, void* ioParam) override;

    // The folder field and the folder a search starts from.
    void SetSearchFolder(const std::string& path);
    // Search or Stop, as the 'SRCH' button.
    void SearchOrStop();

    bool IsSearching() const { return mSearching; }
    CSearchIterator* GetSearchThread() const { return mThread; }
    const CWordDelimiters& GetDelimiters() const override { return mDelimiters; }
    CHierOutlineTable* GetResults() const override { return mResults; }

    // For the search thread ------------------------------------------------------------
    void SetCaption(PaneIDT pane, const std::string& text) override;
    void SetProgressValue(std::uint64_t value) override;
    void ShowArrows(bool shown) override;
    std::int32_t OptionValue(PaneIDT group) override;
    std::string QueryText() override;
    void SearchThreadEnded(CSearchIterator* thread, const std::string& failure) override;

    // Asks the user for a folder, starting in `start`; nothing on Cancel.
    // Tests replace it; an empty function restores the desktop's dialog.
    using FolderChooser = std::function<std::optional<std::string>(const std::string& start)>;
    static void SetFolderChooser(FolderChooser chooser);

    // Counts the items under a folder before a search (0, or the walk's
    // error). Tests replace it; an empty function restores the folder walk.
    using ItemCounter = std::function<int(const CFileRef& folder, std::uint64_t& count)>;
    static void SetItemCounter(ItemCounter counter);

    // How long closing waits for a running search to wind down (3 seconds
    // unless set); a search still running then lets go of the window and
    // ends on its own.
    static void SetCloseWait(std::chrono::milliseconds wait);

protected:
    void FinishCreateSelf() override;

private:
    void StopSearch();
    void StartSearch();
    void ChooseFolder();
    void OpenHelp();

    CFileRef mSearchFolder;
    CPane* mHeadingPane = nullptr;
    CHierOutlineTable* mResults = nullptr;
    CSearchIterator* mThread = nullptr;
    bool mSearching = false;
    CWordDelimiters mDelimiters;
};
