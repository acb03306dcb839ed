// The part of saving a file that need not wait: a thread that makes new
// files before the crawl asks for them and writes the origin-URL label after
// the file has its name.
//
// Both are slow on a file system that does more than the crawl needs: ext4
// without a journal looks past every inode freed in the last half minute
// when it makes a file, and when a label's attribute block turns out like
// one already on disk (the same site mirrored before, an update replacing a
// file) it shares that block and frees its own, which on a disk mounted
// with discard waits for the device. A crawl saves one file per request,
// one request at a time, so either cost would sit between two requests.
//
// New files have no name (O_TMPFILE) and can take one in any folder of the
// same file system; those nobody takes vanish when closed, even after a
// crash. The origin URL is a label for the desktop only (the crawl reads
// the comment, written before the name), and like every label it is
// skipped where it cannot be kept.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/posix/unique_fd.h"

class CMirrorFileWorker {
public:
    // Keeps `stock` new files (mode 0666 less the umask) ready in the open
    // folder `folder`, which must stay open while the worker lives.
    explicit CMirrorFileWorker(int folder, std::size_t stock = 16);
    // Writes every queued label first.
    ~CMirrorFileWorker();
    CMirrorFileWorker(const CMirrorFileWorker&) = delete;
    CMirrorFileWorker& operator=(const CMirrorFileWorker&) = delete;

    // A new nameless file open for writing, or an empty one when none is
    // ready (or the file system makes none); the stock is topped up behind.
    CUniqueFd TakeNewFile();
    // Writes `url` as the origin-URL label of `file` and closes it, soon.
    void WriteOriginLater(CUniqueFd file, std::string url);
    // Returns once every queued label is written.
    void Settle();

private:
    struct SLabel {
        CUniqueFd file;
        std::string url;
    };

    [[nodiscard]] bool StockWanted() const { return !mStockFailed && mStock.size() <= mStockSize / 2; }
    void Run();

    const int mFolder;
    const std::size_t mStockSize;
    std::mutex mLock;
    std::condition_variable mWake;     // work for the thread
    std::condition_variable mSettled;  // the labels are written
    std::deque<CUniqueFd> mStock;
    std::deque<SLabel> mLabels;
    bool mWriting = false;  // a label taken from the queue is being written
    bool mStopping = false;
    bool mStockFailed = false;  // a make failed: the crawl makes its own
    std::thread mThread;
};
