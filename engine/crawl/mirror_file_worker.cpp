#include "engine/crawl/mirror_file_worker.h"

#include <fcntl.h>

#include "platform/xattr/item_attributes.h"

namespace {

// Labels queued at most; past it the crawl writes its own, so that open
// files cannot pile up behind a slow disk.
constexpr std::size_t kQueuedLabels = 64;

}  // namespace

CMirrorFileWorker::CMirrorFileWorker(int folder, std::size_t stock)
    : mFolder(folder), mStockSize(stock), mThread(&CMirrorFileWorker::Run, this)
{
}

CMirrorFileWorker::~CMirrorFileWorker()
{
    {
        std::lock_guard lock(mLock);
        mStopping = true;
    }
    mWake.notify_one();
    mThread.join();
}

CUniqueFd CMirrorFileWorker::TakeNewFile()
{
    CUniqueFd taken;
    bool wake = false;
    {
        std::lock_guard lock(mLock);
        if (!mStock.empty()) {
            taken = std::move(mStock.front());
            mStock.pop_front();
        }
        // Woken at half, so that it makes files in runs, not one per take.
        wake = StockWanted();
    }
    if (wake) mWake.notify_one();
    return taken;
}

void CMirrorFileWorker::WriteLabelsNow(int fd, std::uint32_t type, std::uint32_t creator,
                                       const std::string& originURL)
{
    if (type != 0) (void)WriteOpenItemCode(fd, kFileTypeAttribute, type);
    if (creator != 0) (void)WriteOpenItemCode(fd, kFileCreatorAttribute, creator);
    if (!originURL.empty()) (void)WriteOpenItemAttribute(fd, kOriginURLAttribute, originURL);
}

void CMirrorFileWorker::WriteLabelsLater(CUniqueFd file, std::uint32_t type, std::uint32_t creator,
                                         std::string originURL)
{
    SLabels labels{std::move(file), type, creator, std::move(originURL)};
    bool wake = false;
    {
        std::lock_guard lock(mLock);
        if (mLabels.size() < kQueuedLabels) {
            mLabels.push_back(std::move(labels));
            // The thread wakes for the stock every few files anyway and
            // writes the labels then; a wake per label would cost more than
            // the label.
            wake = mLabels.size() >= kQueuedLabels / 2;
        }
    }
    if (wake) mWake.notify_one();
    if (labels.file.IsOpen()) WriteLabelsNow(labels.file.Get(), labels.type, labels.creator, labels.originURL);
}

void CMirrorFileWorker::Settle()
{
    mWake.notify_one();
    std::unique_lock lock(mLock);
    mSettled.wait(lock, [&] { return mLabels.empty() && !mWriting; });
}

void CMirrorFileWorker::Run()
{
    std::unique_lock lock(mLock);
    for (;;) {
        mWake.wait(lock, [&] { return mStopping || !mLabels.empty() || StockWanted(); });
        // Labels first: the crawl may be waiting for them.
        if (!mLabels.empty()) {
            SLabels labels = std::move(mLabels.front());
            mLabels.pop_front();
            mWriting = true;
            lock.unlock();
            WriteLabelsNow(labels.file.Get(), labels.type, labels.creator, labels.originURL);
            labels.file.Reset();
            lock.lock();
            mWriting = false;
            if (mLabels.empty()) mSettled.notify_all();
            continue;
        }
        if (mStopping) return;
        // Filled up whole once woken: a file made per take would cost a wake
        // per take.
        while (!mStopping && !mStockFailed && mLabels.empty() && mStock.size() < mStockSize) {
            lock.unlock();
            CUniqueFd made(::openat(mFolder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
            lock.lock();
            // No nameless files here, no room or no descriptors: what the
            // crawl then meets making its own, it reports.
            if (made.IsOpen()) mStock.push_back(std::move(made));
            else mStockFailed = true;
        }
    }
}
