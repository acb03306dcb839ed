// CDownloadThread: the transfer of the crawl's main GET, for one grab
// thread. It takes the global busy flag, runs its transfer on the shared
// download service and tells its listeners everything as broadcast messages
// (transfer_messages.h).
//
// The thread sleeps while the transfer runs: the service's callbacks wake
// it, and a one-second deadline drives the elapsed-time message; the
// service's stall check ends a silent or trickling transfer. A transfer
// ends with kMsgDownloadComplete only when the whole response arrived and
// nobody aborted it; a stall, an error, a cut-off body, an abort or a stop
// request end it with kMsgDownloadAborted, so a partial body is never taken
// for a fetched one. FTP answers get the status header of
// ftp_status_header.h.
//
// Commands: kMsgCancel aborts the transfer; kMsgPause toggles pausing it.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/http/response_header.h"
#include "engine/transfer/download_sink.h"
#include "foundation/files/dynamic_buffer.h"
#include "foundation/messaging/broadcaster.h"
#include "foundation/threads/thread.h"
#include "platform/net/transfer_service.h"

class CCrawlOwner;
class CGrabThread;

class CDownloadThread : public CThread, public CListener, public CBroadcaster {
public:
    // Empty strings stand for "none"; without a user agent the settings'
    // one is sent. Without a stall time-out (0 or less) the settings'
    // network time-out applies. The cookies come from the running crawl of
    // the owner's record's grabber window.
    CDownloadThread(CGrabThread* owner, std::string url, std::int32_t stallTimeoutSeconds, std::string userAgent,
                    std::string user, std::string password);
    // Gives the busy flag back when this thread holds it.
    ~CDownloadThread() override;

    void ListenToMessage(MessageT message, void* ioParam) override;

    // Aborts the transfer (once): kMsgAbortStarted, then the transfer ends
    // with kMsgDownloadAborted. Also before the transfer began: it then never
    // begins.
    void Abort();

    // The GET asks for the body only when it is newer than these Unix
    // seconds (0: always). Set before Resume.
    void SetIfModifiedSince(std::int64_t seconds) { mIfModifiedSince = seconds; }

    // What arrived; read them on kMsgDownloadComplete.
    CLDynamicBuffer& Body() { return mBody; }
    const std::string& ResponseHeaderText() const { return mResponseHeaderText; }
    // The header parsed as it arrived, for a record that would otherwise
    // parse its text again; the download keeps an empty one.
    CResponseHeader TakeResponseHeader() { return std::exchange(mResponseHeader, CResponseHeader()); }
    [[nodiscard]] bool IsPaused() const { return mPaused; }

protected:
    void* Run() override;

private:
    using Clock = std::chrono::steady_clock;

    void Transfer();
    void Submit();
    void WaitForEvents(Clock::time_point deadline);
    void ProcessEvents();
    void DataAvailable(const CDownloadSink::SEvents& events);
    void ReadData(const std::string& bytes);
    void TransferFinished(const net::TransferResult& result);
    [[nodiscard]] bool FollowRedirect(const net::TransferResult& result);
    void Tick(Clock::time_point now);
    void EndAborted();
    void TogglePause();

    void Say(const std::string& text);
    void Broadcast(MessageT message, const void* payload = nullptr);

    // Given at construction.
    std::string mURL;
    std::int32_t mStallTimeoutSeconds;
    std::string mUserAgent;
    std::string mUser;
    std::string mPassword;
    CCrawlOwner* mCookieSource = nullptr;
    std::string mResourceName;
    bool mAutoRedirect = false;
    int mRedirects = 0;
    std::int64_t mIfModifiedSince = 0;

    // The response.
    std::string mResponseHeaderText;
    CResponseHeader mResponseHeader;
    // A body past a megabyte goes to its spill file as it arrives.
    CLDynamicBuffer mBody{kBodySpillBytes};
    static constexpr std::size_t kBodySpillBytes = 1u << 20;
    std::uint64_t mBytesReceived = 0;
    std::uint64_t mResourceSize = 0;
    bool mDataAvailableSeen = false;

    // State.
    bool mPaused = false;
    bool mAbortStarted = false;
    bool mAbortCompleted = false;
    bool mDownloadCompleted = false;
    bool mTransferEnded = false;
    bool mEndAnnounced = false;
    Clock::time_point mOpenTime;

    std::unique_ptr<CDownloadSink> mSink;
    std::string mSpareBodyBuffer;
    net::TransferHandle mHandle = 0;
};
