// Running the word-list tool "SearchKitIndexer" for one item of a search.
//
// Each search gets a private temporary folder, handed to the tool as its
// TMPDIR, so no other program and no earlier search can leave a list there.
// Before each run the old list is deleted, and a list is read only when the
// tool exited with status 0: a word list is never one of another item. A tool
// that runs past the time-out is killed with its process group.
#pragma once

#include <chrono>
#include <string>

#include "platform/plist/plist_value.h"

// The file the tool writes in its temporary folder.
inline constexpr const char* kWordListFileName = "index-1965.dat";

// Where the tool is: beside the running program, unless set (tests, an
// installation that keeps it elsewhere). An empty path restores that.
std::string SearchKitIndexerPath();
void SetSearchKitIndexerPath(std::string path);

// How long one item may take; 60 seconds unless set.
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

    // Blocking (a worker's job, never a fiber's): runs the tool for the item
    // and fills `words` (emptied first) from its list. 0 when a list was read;
    // -ETIMEDOUT when the tool was killed; a negative errno when it could not
    // be started or its list not read; a positive exit status of the tool.
    int ListWords(const std::string& itemPath, PlistValue& words) const;

private:
    std::string mFolder;
};
