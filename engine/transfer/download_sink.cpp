#include "engine/transfer/download_sink.h"

#include <utility>

CDownloadSink::SEvents CDownloadSink::Take(std::string&& reuse)
{
    SEvents taken;
    reuse.clear();
    std::lock_guard lock(mMutex);
    taken = std::move(mPending);
    mPending = SEvents();
    mPending.body = std::move(reuse);
    mPending.expected = taken.expected;
    return taken;
}

bool CDownloadSink::Finished() const
{
    std::lock_guard lock(mMutex);
    return mFinished;
}

void CDownloadSink::Reset()
{
    std::lock_guard lock(mMutex);
    mPending = SEvents();
    mFinished = false;
}

void CDownloadSink::OnResponseHeader(int, std::string_view rawHeader)
{
    std::lock_guard lock(mMutex);
    mPending.headerArrived = true;
    mPending.rawHeader.assign(rawHeader);
}

bool CDownloadSink::OnBodyBytes(const char* data, std::size_t size)
{
    std::lock_guard lock(mMutex);
    mPending.body.append(data, size);
    return true;
}

bool CDownloadSink::PauseAfterBody()
{
    std::lock_guard lock(mMutex);
    if (mPending.body.size() < kMaxPendingBytes) return false;
    mPending.heldBack = true;
    return true;
}

void CDownloadSink::OnProgress(std::uint64_t, std::int64_t expected)
{
    std::lock_guard lock(mMutex);
    mPending.expected = expected;
}

void CDownloadSink::OnCallsDone()
{
    std::lock_guard lock(mMutex);
    mToken.Signal();
}

// Signals under the lock, which Take and Finished take too: once the fiber
// sees the transfer finished, this call is past its last use of the sink.
void CDownloadSink::OnFinished(const net::TransferResult& result)
{
    std::lock_guard lock(mMutex);
    mPending.finished = true;
    mPending.result = result;
    mFinished = true;
    mToken.Signal();
}
