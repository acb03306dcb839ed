#include "app/windows/search/word_list_source.h"

#include <syslog.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

#include "app/windows/search/word_list_tool.h"
#include "foundation/threads/wake_token.h"
#include "foundation/threads/worker_pool.h"

struct SWordListWork {
    SWordListWork(std::vector<std::string> paths, CWordListCache listCache)
        : cache(std::move(listCache)), items(std::move(paths)), lists(items.size()), listed(items.size(), false)
    {
        for (std::size_t index = 0; index < items.size(); ++index) indexOf.try_emplace(items[index], index);
    }

    // Blocking: the words of each item of the chunk.
    std::vector<SItemWords> ListChunk(const std::vector<std::string>& chunk);
    // The first reason the tool could not be run is kept and logged.
    void NoteToolFailure(const std::string& failure);
    void WorkerLoop(std::size_t chunkItems, std::size_t lookahead);

    const CWordListTool tool;
    const CWordListCache cache;
    const std::vector<std::string> items;
    std::unordered_map<std::string, std::size_t> indexOf;

    std::mutex mutex;
    std::condition_variable moreWanted;
    std::vector<std::optional<SItemWords>> lists;  // until taken
    std::vector<bool> listed;
    std::string toolFailure;
    std::size_t nextItem = 0;   // the first item no worker has taken
    std::size_t reached = 0;    // how far the search thread has asked
    bool cancelled = false;
    CWakeToken listsReady;
};

std::vector<SItemWords> SWordListWork::ListChunk(const std::vector<std::string>& chunk)
{
    std::vector<SItemWords> words(chunk.size());
    std::vector<SFileIdentity> identities(chunk.size());
    std::vector<std::size_t> unlisted;
    std::vector<std::string> toTool;
    for (std::size_t k = 0; k < chunk.size(); ++k) {
        bool regular = false;
        if (!ReadFileIdentity(chunk[k], identities[k], &regular) || !regular) continue;
        if (cache.Find(identities[k], words[k].words)) continue;
        unlisted.push_back(k);
        toTool.push_back(chunk[k]);
    }
    if (toTool.empty()) return words;
    SWordLists made = tool.ListWords(toTool, [this](const std::vector<std::string>& run) {
        {
            std::lock_guard lock(mutex);
            if (cancelled || !toolFailure.empty()) return false;
        }
        for (const std::string& item : run) ::syslog(LOG_DEBUG, "Indexing %s", item.c_str());
        return true;
    });
    if (!made.failure.empty()) NoteToolFailure(made.failure);
    for (std::size_t m = 0; m < unlisted.size(); ++m) {
        const std::size_t k = unlisted[m];
        if (made.Failed(m)) {
            words[k].failed = true;
            ::syslog(LOG_ERR, "The word-list tool failed on %s", chunk[k].c_str());
        }
        if (!made.lists[m]) continue;
        words[k].words = std::move(*made.lists[m]);
        // A file that changed while it was read may not match its list.
        SFileIdentity after;
        if (ReadFileIdentity(chunk[k], after) && after == identities[k]) cache.Store(identities[k], words[k].words);
    }
    return words;
}

void SWordListWork::NoteToolFailure(const std::string& failure)
{
    {
        std::lock_guard lock(mutex);
        if (!toolFailure.empty()) return;
        toolFailure = failure;
    }
    ::syslog(LOG_ERR, "%s", failure.c_str());
    listsReady.Signal();
}

void SWordListWork::WorkerLoop(std::size_t chunkItems, std::size_t lookahead)
{
    std::unique_lock lock(mutex);
    for (;;) {
        moreWanted.wait(lock, [&] { return cancelled || nextItem >= items.size() || nextItem < reached + lookahead; });
        if (cancelled || nextItem >= items.size()) return;
        const std::size_t first = nextItem;
        nextItem = std::min(items.size(), first + chunkItems);
        const std::vector<std::string> chunk(items.begin() + static_cast<std::ptrdiff_t>(first),
                                             items.begin() + static_cast<std::ptrdiff_t>(nextItem));
        lock.unlock();
        std::vector<SItemWords> words = ListChunk(chunk);
        lock.lock();
        for (std::size_t k = 0; k < words.size(); ++k) {
            lists[first + k] = std::move(words[k]);
            listed[first + k] = true;
        }
        listsReady.Signal();
    }
}

CWordListSource::CWordListSource(std::vector<std::string> items, CWordListCache cache, unsigned workers)
    : mWork(std::make_shared<SWordListWork>(std::move(items), std::move(cache)))
{
    workers = std::max(1u, workers);
    const std::size_t chunkItems = std::clamp<std::size_t>(mWork->items.size() / (2 * workers), kMinChunkItems,
                                                           kMaxChunkItems);
    const std::size_t lookahead = chunkItems * kChunksAheadPerWorker * workers;
    const std::size_t chunks = (mWork->items.size() + chunkItems - 1) / chunkItems;
    // Each worker holds the work, so it outlives this source until its run ends.
    for (std::size_t n = 0; n < std::min<std::size_t>(workers, chunks); ++n)
        CWorkerPool::Shared().Submit([work = mWork, chunkItems, lookahead] { work->WorkerLoop(chunkItems, lookahead); });
}

CWordListSource::~CWordListSource()
{
    {
        std::lock_guard lock(mWork->mutex);
        mWork->cancelled = true;
    }
    mWork->moreWanted.notify_all();
}

unsigned CWordListSource::DefaultWorkers() { return std::max(1u, std::thread::hardware_concurrency()); }

std::string CWordListSource::ToolFailure() const
{
    std::lock_guard lock(mWork->mutex);
    return mWork->toolFailure;
}

SItemWords CWordListSource::Take(const std::string& item, const std::function<bool()>& giveUp)
{
    const auto found = mWork->indexOf.find(item);
    std::unique_lock lock(mWork->mutex);
    // An item met after the lists were planned, or taken before.
    if (found == mWork->indexOf.end() || (mWork->listed[found->second] && !mWork->lists[found->second])) {
        lock.unlock();
        std::vector<SItemWords> words;
        RunOnWorker([work = mWork, &item, &words] { words = work->ListChunk({item}); });
        return std::move(words.front());
    }
    const std::size_t index = found->second;
    if (index + 1 > mWork->reached) {
        mWork->reached = index + 1;
        mWork->moreWanted.notify_all();
    }
    while (!mWork->listed[index]) {
        if ((giveUp && giveUp()) || !mWork->toolFailure.empty()) return {};
        lock.unlock();
        mWork->listsReady.Wait();
        lock.lock();
    }
    SItemWords words = std::move(*mWork->lists[index]);
    mWork->lists[index].reset();
    return words;
}
