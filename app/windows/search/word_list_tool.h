// Running the word-list tool "SearchKitIndexer" for items of a search.
//
// Each search gets a private temporary folder, and each run of the tool a
// fresh folder inside it as its TMPDIR, so no other program, no earlier run
// and no run beside it can leave a list there: a word list is never one of
// another item. A run lists several items (their lists numbered by place);
// a run that is killed at its time-out, or ends some other way than with a
// status of 0 or 1, keeps the lists of the items it finished, the item it
// was on gets none, and the items after it go to a new run. An item the tool
// was given and gave no list for is one it failed on; a tool that cannot be
// started at all fails the whole listing, and says why.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/plist/plist_value.h"

// The file the tool writes in its temporary folder for a single item.
inline constexpr const char* kWordListFileName = "index-1965.dat";

// Where the tool is: beside the running program, unless set (tests, an
// installation that keeps it elsewhere). An empty path restores that.
std::string SearchKitIndexerPath();
void SetSearchKitIndexerPath(std::string path);

// Names the build of the tool (its size and modification time), so that
// lists one build made are not taken for another's; "" when it is missing.
std::string SearchKitIndexerBuild();

// How long one run of the tool may take; 60 seconds unless set.
std::chrono::milliseconds WordListTimeout();
void SetWordListTimeout(std::chrono::milliseconds timeout);

// "The word-list tool could not be run: <tool> (<reason>)" for a status
// (negative errno) that kept it from starting.
std::string WordListToolRunFailure(const std::string& tool, int status);

// What one ListWords call made of its items.
struct SWordLists {
    // lists[i] is the dictionary of items[i], or none when the tool gave none.
    std::vector<std::optional<PlistValue>> lists;
    // How many items, from the first, went to runs of the tool that started;
    // those after them were never tried (the listing was stopped or failed).
    std::size_t tried = 0;
    // Why the tool could not be run; empty when every run started.
    std::string failure;

    // The tool was given the item and gave it no list.
    bool Failed(std::size_t item) const { return item < tried && !lists[item]; }
};

class CWordListTool {
public:
    // Makes the private folder (under $TMPDIR, else /tmp).
    CWordListTool();
    // Removes the folder with what the tool left in it.
    ~CWordListTool();
    CWordListTool(const CWordListTool&) = delete;
    CWordListTool& operator=(const CWordListTool&) = delete;

    const std::string& Folder() const { return mFolder; }

    // Blocking (a worker's job, never a fiber's), and safe to call from
    // several workers at once. Lists the items' words. `beforeRun` (when
    // set) hears the items of each run before it starts, and returns false
    // to start no more runs (the search has ended). A run that cannot start
    // ends the listing: the next would fail the same way.
    SWordLists ListWords(
        const std::vector<std::string>& items,
        const std::function<bool(const std::vector<std::string>&)>& beforeRun = {}) const;

private:
    std::string mFolder;
    int mFolderStatus = 0;  // why the folder could not be made
};
