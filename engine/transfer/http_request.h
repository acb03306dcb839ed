// HTTPRequest: one HTTP, HTTPS or FTP request on the shared download
// service (SharedDownloadService), whose one OS thread runs every transfer
// of the program and keeps their connections, DNS answers and TLS sessions.
//
// A cooperative thread starts the request and sleeps in WaitUntilDone until
// the service wakes it; nothing polls. Redirects are followed on the
// service's thread, only when the settings' auto-redirect switch is on.
//
// Everything the service reads is copied on the caller's side before the
// request is submitted (URL, method, header lines, cookies); what it writes
// (body, header, status) is read by the caller only once mThreadDone is set.
// The flags are atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "foundation/errors/status.h"
#include "foundation/files/dynamic_buffer.h"
#include "foundation/threads/wake_token.h"
#include "platform/net/transfer_result.h"
#include "platform/net/transfer_service.h"

class CCrawlListener;
class CCrawlOwner;

// Where a request reports the bytes it receives, on the request's own OS
// thread (the software updater's message queue). Implementations copy the
// data and lock what they share.
class CTransferMessageQueue {
public:
    // Type of the message that carries a signed 32-bit count of bytes just
    // received; -1 marks the end of the request.
    static constexpr std::uint32_t kBytesReceivedMessage = 2;

    virtual ~CTransferMessageQueue() = default;
    virtual void QueueMessage(std::uint32_t type, const void* data, std::int32_t length) = 0;
};

class HTTPRequest {
public:
    // `timeoutSeconds` is an inactivity time-out (0: none). A synchronous
    // request returns from Start only once the request has ended.
    HTTPRequest(std::uint32_t timeoutSeconds, bool synchronous);
    // The owner gives the cookies of its running crawl; the listener hears
    // the progress, from the request's OS thread. Either may be null.
    HTTPRequest(CCrawlOwner* owner, CCrawlListener* listener, std::uint32_t timeoutSeconds, bool synchronous);
    HTTPRequest(CTransferMessageQueue* messageQueue, std::uint32_t timeoutSeconds, bool synchronous);
    // Cancels a request still running and waits until the service has let
    // go of it.
    ~HTTPRequest();
    HTTPRequest(const HTTPRequest&) = delete;
    HTTPRequest& operator=(const HTTPRequest&) = delete;

    // The three methods decode HTML character entities in a copy of the URL
    // ("&amp;" becomes "&") and then call Start.
    CStatus StartGet(std::string_view url, std::string_view agent, std::string_view user, std::string_view password);
    CStatus StartPost(std::string_view url, std::string_view agent, std::string_view user, std::string_view password,
                      std::string_view body);
    CStatus StartHead(std::string_view url, std::string_view agent, std::string_view user, std::string_view password);

    // Starts the request: `method` is "GET", "POST" or "HEAD"; Basic
    // authorization is sent when user and password are both non-empty. A URL
    // that is not http, https or ftp (any case) is refused at once, with no
    // network activity: the request is then done and failed. Answers
    // success: how the request went is told by Succeeded and ErrorText. A
    // request still running is cancelled and waited for first. A
    // synchronous request waits as WaitUntilDone does.
    CStatus Start(std::string_view url, std::string_view agent, std::string_view user, std::string_view password,
                  std::string_view method, std::string_view body);

    // Any OS thread: ends the request as failed as soon as possible.
    void Cancel();

    // Sleeps until the request is done (on a CThread; outside any thread the
    // scheduler runs meanwhile). A stop request of the waiting thread (with a
    // Wake, as every stop request gives) cancels the request; once the
    // service has let go of the request, the wait ends with
    // CThread::CStopException.
    void WaitUntilDone();

    // Valid once mThreadDone is set.
    [[nodiscard]] bool Succeeded() const { return mSucceeded.load(std::memory_order_acquire); }
    // A copy of the body when the request succeeded, else null.
    std::unique_ptr<std::string> NewBodyPtr() const;
    // The body itself when the request succeeded (a large one lies in its
    // spill file, never whole in memory), else an empty buffer.
    CLDynamicBuffer TakeBody();
    // Only the first `bytes` of a body are wanted (0: all of it): the
    // transfer stops there and the request still succeeds. Set before Start.
    void SetBodyLimit(std::uint64_t bytes) { mBodyLimit = bytes; }
    // The body limit cut the body short (valid once done).
    [[nodiscard]] bool BodyLimitReached() const { return mBodyLimitReached; }
    // A GET asks for the body only when it is newer than these Unix seconds
    // (0: always). Set before Start.
    void SetIfModifiedSince(std::int64_t seconds) { mIfModifiedSince = seconds; }
    // The response header block as received, status line first (FTP: the
    // header of ftp_status_header.h); empty unless the request succeeded.
    const std::string& ResponseHeader() const { return mResponseHeader; }
    [[nodiscard]] int StatusCode() const { return mStatusCode; }
    // How the transfer ended, for log texts.
    const std::string& ErrorText() const { return mErrorText; }
    // The server stayed silent (or too slow) for the time-out.
    [[nodiscard]] bool TimedOut() const { return mTimedOut; }

    // Set when the request has finished (and for a refused request).
    std::atomic<bool> mThreadDone{false};
    // The outcome: a whole response arrived (any status code).
    std::atomic<bool> mSucceeded{false};

private:
    class CRequestSink;

    void ResetForStart();
    // Blocks until a submitted request has finished (briefly: after Cancel).
    void Join();
    void Finish(bool succeeded);
    // On the service's thread from the first redirect on: one transfer of
    // the request, and its end.
    void Submit();
    void TransferEnded(net::TransferResult result);
    void NoteProgress(std::size_t count);
    void PostProgress(bool finished);

    // Arguments, copied by Start before the thread exists.
    std::string mURL;
    std::string mUserAgent;
    std::string mMethod;
    std::string mPostBody;
    std::vector<std::string> mHeaderLines;
    const std::uint32_t mTimeoutSeconds;
    const bool mSynchronous;
    CCrawlOwner* const mOwner = nullptr;
    CCrawlListener* const mListener = nullptr;
    CTransferMessageQueue* const mMessageQueue = nullptr;
    bool mAutoRedirect = false;

    // The transfer in flight: its URL, method, body and header lines change
    // as redirects are followed.
    std::string mCurrentURL;
    std::string mCurrentMethod;
    std::string mCurrentBody;
    std::vector<std::string> mCurrentHeaderLines;
    std::string mFirstOrigin;
    int mRedirects = 0;

    // Written on the service's thread, read by the caller once done.
    CLDynamicBuffer mResponseBody;
    std::uint64_t mBodyLimit = 0;
    std::int64_t mIfModifiedSince = 0;
    bool mBodyLimitReached = false;
    std::string mResponseHeader;
    int mStatusCode = 0;
    std::string mErrorText;
    bool mTimedOut = false;
    std::uint64_t mContentLength = 0;  // expected length, for progress only
    std::uint64_t mBytesReceived = 0;
    std::int64_t mStartTime = 0;       // seconds, when the transfer began
    std::int64_t mNow = 0;             // seconds, at the last progress update
    bool mContentLengthRead = false;

    std::atomic<bool> mCancel{false};
    CWakeToken mDone;
    std::unique_ptr<CRequestSink> mSink;
    // Guards the handle (Cancel comes from any thread) and the end: the
    // caller waits under it, so the sink outlives the service's last call.
    std::mutex mMutex;
    std::condition_variable mFinished;
    net::TransferHandle mHandle = 0;
    bool mSubmitted = false;  // caller's side: a request went to the service
};
