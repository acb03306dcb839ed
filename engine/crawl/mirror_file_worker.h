// The part of saving a file that need not wait: a thread that makes new
// files before the crawl asks for them and writes the labels that live in
// the attribute block (the codes and the origin URL) after the file has its
// name.
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
// crash. The crawl reads only the comment (written before the name) while
// it runs; the block's labels are for the desktop, the mail and the
// corrected pages, which settle first. Like every label they are skipped
// where they cannot be kept. One file's block labels are written one after
// the other, so no half-labelled block stays around for ext4 to share:
// sharing it would cost a copy (and a freed block) at the next label.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
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
    // Writes the type and creator codes (those not 0) and the origin URL
    // (unless empty) as labels of `file` and closes it, soon.
    void WriteLabelsLater(CUniqueFd file, std::uint32_t type, std::uint32_t creator, std::string originURL);
    // Returns once every queued label is written.
    void Settle();

private:
    struct SLabels {
        CUniqueFd file;
        std::uint32_t type = 0;
        std::uint32_t creator = 0;
        std::string originURL;
    };

    static void WriteLabelsNow(int fd, std::uint32_t type, std::uint32_t creator, const std::string& originURL);
    [[nodiscard]] bool StockWanted() const { return !mStockFailed && mStock.size() <= mStockSize / 2; }
    void Run();

    const int mFolder;
    const std::size_t mStockSize;
    std::mutex mLock;
    std::condition_variable mWake;     // work for the thread
    std::condition_variable mSettled;  // the labels are written
    std::deque<CUniqueFd> mStock;
    std::deque<SLabels> mLabels;
    bool mWriting = false;  // a label taken from the queue is being written
    bool mStopping = false;
    bool mStockFailed = false;  // a make failed: the crawl makes its own
    std::thread mThread;
};
