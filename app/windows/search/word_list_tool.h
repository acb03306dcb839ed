// Running the word-list tool "SearchKitIndexer" for items of a search.
//
// Each search gets a private temporary folder, and each run of the tool a
// fresh folder inside it as its TMPDIR, so no other program, no earlier run
// and no run beside it can leave a list there: a word list is never one of
// another item. A run lists several items (their lists numbered by place);
// a run that is killed at its time-out, or ends some other way than with a
// status of 0 or 1, keeps the lists of the items it finished, the item it
// was on gets none, and the items after it go to a new run.
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
    // several workers at once. Lists the items' words: `lists[i]` is the
    // dictionary of `items[i]`, or none when the tool gave none for it.
    // `beforeRun` (when set) hears the items of each run before it starts,
    // and returns false to start no more runs (the search has ended).
    std::vector<std::optional<PlistValue>> ListWords(
        const std::vector<std::string>& items,
        const std::function<bool(const std::vector<std::string>&)>& beforeRun = {}) const;

private:
    std::string mFolder;
};
