// The word lists of a search's items, made ahead of the search thread.
//
// The search thread takes the items' lists one at a time in walk order; to
// keep that cheap, worker threads list the items in chunks of consecutive
// items, several chunks at once, a bounded distance ahead of it: a chunk's
// files that have not changed since an earlier search come from the cache,
// the others go to one run of the tool, and their lists go to the cache.
// So the search finds exactly what a search that lists each item in turn
// would, in the same order.
//
// Only plain files have words: a folder, a link or a special file gets an
// empty list without a run of the tool. A list the tool could not make is
// empty and not kept, and its item is named in the system log. A tool that
// cannot be run at all is told there once, and no further runs start.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/windows/search/word_list_cache.h"
#include "platform/plist/plist_value.h"

struct SWordListWork;

// An item's words as the search takes them.
struct SItemWords {
    PlistValue words = PlistValue::MakeDictionary();  // empty when it has none
    bool failed = false;  // the tool was given the item and gave no list
};

class CWordListSource {
public:
    // Starts listing `items` (paths, in the order they will be taken) with
    // `workers` threads.
    CWordListSource(std::vector<std::string> items, CWordListCache cache, unsigned workers);
    // The workers finish the run in hand and stop; nothing waits for them.
    ~CWordListSource();
    CWordListSource(const CWordListSource&) = delete;
    CWordListSource& operator=(const CWordListSource&) = delete;

    // On the search thread: the item's words. The calling CThread sleeps
    // until they are ready, or until it is woken and `giveUp` says so, or
    // the tool could not be run (empty then). An item that was not among
    // `items` is listed on its own.
    SItemWords Take(const std::string& item, const std::function<bool()>& giveUp);

    // Why the tool could not be run; empty while it could.
    std::string ToolFailure() const;

    // Items per run of the tool: enough that starting the tool costs little
    // beside listing them, few enough that every worker gets several runs.
    static constexpr std::size_t kMinChunkItems = 16;
    static constexpr std::size_t kMaxChunkItems = 64;
    // How many chunks ahead of the search thread each worker may list.
    static constexpr std::size_t kChunksAheadPerWorker = 4;

    // A worker per core, at least one.
    static unsigned DefaultWorkers();

private:
    std::shared_ptr<SWordListWork> mWork;
};
