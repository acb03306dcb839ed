#include "engine/transfer/http_request.h"

#include <chrono>
#include <utility>

#include "engine/owner/crawl_listener.h"
#include "engine/transfer/auto_redirect.h"
#include "engine/transfer/ftp_status_header.h"
#include "engine/transfer/owner_requests.h"
#include "engine/transfer/transfer_environment.h"
#include "foundation/text/text_encodings.h"
#include "foundation/threads/thread.h"

namespace {

constexpr const char* kFormContentTypeLine = "Content-Type: application/x-www-form-urlencoded";

std::int64_t SecondsNow()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

net::TransferMethod MethodFor(const std::string& method)
{
    if (method == "POST") return net::TransferMethod::kPost;
    if (method == "HEAD") return net::TransferMethod::kHead;
    return net::TransferMethod::kGet;
}

bool IsHeaderLineNamed(const std::string& line, std::string_view name)
{
    return line.size() > name.size() && line[name.size()] == ':' &&
           CompareTextNoCase(line.c_str(), std::string(name).c_str(), name.size()) == 0;
}

void RemoveHeaderLines(std::vector<std::string>& lines, std::string_view name)
{
    std::erase_if(lines, [name](const std::string& line) { return IsHeaderLineNamed(line, name); });
}

}  // namespace

// Receives one transfer's events on the service's thread.
class HTTPRequest::CRequestSink : public net::TransferSink {
public:
    explicit CRequestSink(HTTPRequest& request) : mRequest(request) {}

    bool OnBodyBytes(const char* data, std::size_t size) override
    {
        const std::uint64_t limit = mRequest.mBodyLimit;
        const std::uint64_t have = mRequest.mResponseBody.Length();
        if (limit > 0 && have + size >= limit) {
            (void)mRequest.mResponseBody.AppendBytes(data, static_cast<std::size_t>(limit - have));
            mRequest.mBodyLimitReached = true;
            return false;
        }
        if (!mRequest.mResponseBody.AppendBytes(data, size)) return false;
        mRequest.NoteProgress(size);
        return true;
    }

    void OnProgress(std::uint64_t, std::int64_t expected) override
    {
        if (mRequest.mContentLengthRead) return;
        mRequest.mContentLengthRead = true;
        mRequest.mContentLength = expected > 0 ? static_cast<std::uint64_t>(expected) : 0;
    }

    void OnFinished(const net::TransferResult& result) override { mRequest.TransferEnded(result); }

private:
    HTTPRequest& mRequest;
};

HTTPRequest::HTTPRequest(std::uint32_t timeoutSeconds, bool synchronous)
    : mTimeoutSeconds(timeoutSeconds), mSynchronous(synchronous)
{
}

HTTPRequest::HTTPRequest(CCrawlOwner* owner, CCrawlListener* listener, std::uint32_t timeoutSeconds,
                         bool synchronous)
    : mTimeoutSeconds(timeoutSeconds), mSynchronous(synchronous), mOwner(owner), mListener(listener)
{
}

HTTPRequest::HTTPRequest(CTransferMessageQueue* messageQueue, std::uint32_t timeoutSeconds, bool synchronous)
    : mTimeoutSeconds(timeoutSeconds), mSynchronous(synchronous), mMessageQueue(messageQueue)
{
}

HTTPRequest::~HTTPRequest()
{
    Cancel();
    Join();
}

CStatus HTTPRequest::StartGet(std::string_view url, std::string_view agent, std::string_view user,
                              std::string_view password)
{
    return Start(DecodeEntities(url), agent, user, password, "GET", {});
}

CStatus HTTPRequest::StartPost(std::string_view url, std::string_view agent, std::string_view user,
                               std::string_view password, std::string_view body)
{
    return Start(DecodeEntities(url), agent, user, password, "POST", body);
}

CStatus HTTPRequest::StartHead(std::string_view url, std::string_view agent, std::string_view user,
                               std::string_view password)
{
    return Start(DecodeEntities(url), agent, user, password, "HEAD", {});
}

CStatus HTTPRequest::Start(std::string_view url, std::string_view agent, std::string_view user,
                           std::string_view password, std::string_view method, std::string_view body)
{
    Cancel();
    Join();
    ResetForStart();
    mURL.assign(url);
    mUserAgent.assign(agent);
    mMethod.assign(method);
    mPostBody.assign(body);
    mAutoRedirect = AutoRedirectEnabled();
    if (!IsTransferableURL(mURL)) {
        mErrorText = "only http, https and ftp URLs are requested";
        Finish(false);
        return {};
    }

    // Built here, on the caller's side: the cookie store belongs to the
    // crawl's cooperative thread.
    mHeaderLines = RequestHeaderLines(mOwner, mURL, user, password, mMethod == "GET" ? mIfModifiedSince : 0);
    if (mMethod == "POST") mHeaderLines.emplace_back(kFormContentTypeLine);

    mCurrentURL = mURL;
    mCurrentMethod = mMethod;
    mCurrentBody = mPostBody;
    mCurrentHeaderLines = mHeaderLines;
    mFirstOrigin = URLOrigin(mURL);
    mRedirects = 0;
    if (!mSink) mSink = std::make_unique<CRequestSink>(*this);
    mSubmitted = true;
    Submit();
    if (mSynchronous) WaitUntilDone();
    return {};
}

void HTTPRequest::ResetForStart()
{
    mThreadDone.store(false, std::memory_order_relaxed);
    mSucceeded.store(false, std::memory_order_relaxed);
    mCancel.store(false, std::memory_order_relaxed);
    mDone = CWakeToken();
    mHeaderLines.clear();
    mResponseBody.Clear();
    mBodyLimitReached = false;
    mResponseHeader.clear();
    mStatusCode = 0;
    mErrorText.clear();
    mTimedOut = false;
    mContentLength = 0;
    mContentLengthRead = false;
    mBytesReceived = 0;
    mStartTime = 0;
    mNow = 0;
}

void HTTPRequest::Cancel()
{
    mCancel.store(true, std::memory_order_relaxed);
    const std::lock_guard<std::mutex> lock(mMutex);
    if (mHandle != 0) SharedDownloadService().Cancel(mHandle);
}

void HTTPRequest::Join()
{
    if (!mSubmitted) return;
    // A thread that hosts the downloads blocks here outside its waits, so the
    // service's own thread ends the transfer.
    if (!mThreadDone.load(std::memory_order_acquire)) SharedDownloadService().HandOver();
    std::unique_lock<std::mutex> lock(mMutex);
    mFinished.wait(lock, [this] { return mThreadDone.load(std::memory_order_acquire); });
    mSubmitted = false;
}

void HTTPRequest::WaitUntilDone()
{
    if (!mSubmitted && !mThreadDone.load(std::memory_order_acquire)) return;  // never started
    CThread* self = CThread::Current();
    bool cancelledForStop = false;
    while (!mThreadDone.load(std::memory_order_acquire)) {
        if (self != nullptr && self->IsStopRequested() && !cancelledForStop) {
            Cancel();
            cancelledForStop = true;
        }
        mDone.Wait();
    }
    Join();
    if (cancelledForStop) self->CheckStop();
}

std::unique_ptr<std::string> HTTPRequest::NewBodyPtr() const
{
    if (!mThreadDone.load(std::memory_order_acquire) || !Succeeded()) return nullptr;
    auto body = std::make_unique<std::string>();
    if (!mResponseBody.CopyTo(*body)) return nullptr;
    return body;
}

CLDynamicBuffer HTTPRequest::TakeBody()
{
    if (!mThreadDone.load(std::memory_order_acquire) || !Succeeded()) return CLDynamicBuffer();
    return std::move(mResponseBody);
}

void HTTPRequest::Submit()
{
    net::TransferRequest request = MakeTransferRequest(mCurrentURL);
    request.method = MethodFor(mCurrentMethod);
    request.headerLines = mCurrentHeaderLines;
    request.userAgent = mUserAgent;
    request.stallTimeoutSeconds = static_cast<int>(mTimeoutSeconds);
    if (request.method == net::TransferMethod::kPost) request.postBody = mCurrentBody;
    mStartTime = SecondsNow();
    mContentLengthRead = false;
    {
        // A cancel before the handle exists is seen here, one after it
        // cancels the handle.
        const std::lock_guard<std::mutex> lock(mMutex);
        if (!mCancel.load(std::memory_order_relaxed)) {
            mHandle = SharedDownloadService().Submit(std::move(request), *mSink);
            return;
        }
    }
    net::TransferResult cancelled;
    cancelled.outcome = net::TransferOutcome::kAborted;
    cancelled.errorText = "the request was cancelled";
    TransferEnded(std::move(cancelled));
}

void HTTPRequest::TransferEnded(net::TransferResult result)
{
    try {
        // The part of the body that was asked for is a whole answer.
        const bool completed = result.outcome == net::TransferOutcome::kCompleted ||
                               (mBodyLimitReached && result.outcome == net::TransferOutcome::kAborted &&
                                !mCancel.load(std::memory_order_relaxed));
        std::string target;
        if (completed && !mCancel.load(std::memory_order_relaxed))
            target = NextAutoRedirect(mAutoRedirect, mRedirects, mCurrentURL, result.statusCode, result.rawHeader);
        if (target.empty()) {
            mStatusCode = result.statusCode;
            mErrorText = std::move(result.errorText);
            mTimedOut = result.outcome == net::TransferOutcome::kStalled;
            if (completed) {
                mResponseHeader = IsFtpURL(mCurrentURL) ? FtpStatusHeader(result.statusCode,
                                                                          static_cast<std::int64_t>(mResponseBody.Length()))
                                                        : std::move(result.rawHeader);
            }
            Finish(completed);
            return;
        }
        if (!RedirectKeepsMethod(result.statusCode) && mCurrentMethod != "HEAD") {
            mCurrentMethod = "GET";
            mCurrentBody.clear();
            RemoveHeaderLines(mCurrentHeaderLines, "Content-Type");
        }
        // The date of a saved copy belongs to the URL first asked for.
        RemoveHeaderLines(mCurrentHeaderLines, "If-Modified-Since");
        // The login and the cookies were meant for the first site only.
        if (URLOrigin(target) != mFirstOrigin) {
            RemoveHeaderLines(mCurrentHeaderLines, "Authorization");
            RemoveHeaderLines(mCurrentHeaderLines, "Cookie");
        }
        mCurrentURL = std::move(target);
        mResponseBody.Clear();
        Submit();
    } catch (...) {
        mErrorText = "the request failed";
        Finish(false);
    }
}

void HTTPRequest::NoteProgress(std::size_t count)
{
    mBytesReceived += count;
    if (mMessageQueue != nullptr) {
        const auto received = static_cast<std::int32_t>(count);
        mMessageQueue->QueueMessage(CTransferMessageQueue::kBytesReceivedMessage, &received, sizeof received);
    }
    mNow = SecondsNow();
    if (mNow != mStartTime) PostProgress(false);
}

void HTTPRequest::PostProgress(bool finished)
{
    if (mListener == nullptr) return;
    const std::int64_t seconds = mNow - mStartTime;
    const std::uint64_t rate = seconds > 0 ? mBytesReceived / static_cast<std::uint64_t>(seconds) : 0;
    STransferProgress progress;
    progress.size = mContentLength;
    progress.received = mBytesReceived;
    progress.bytesPerSecond = rate;
    progress.finished = finished;
    mListener->PostTransferProgress(progress);
}

void HTTPRequest::Finish(bool succeeded)
{
    mSucceeded.store(succeeded, std::memory_order_release);
    mNow = SecondsNow();
    PostProgress(true);
    if (mMessageQueue != nullptr) {
        const std::int32_t end = -1;
        mMessageQueue->QueueMessage(CTransferMessageQueue::kBytesReceivedMessage, &end, sizeof end);
    }
    // Copy the token first: once mThreadDone is set the caller may go on;
    // only the lock keeps this object alive until the end is told.
    const CWakeToken done = mDone;
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mHandle = 0;
        mThreadDone.store(true, std::memory_order_release);
        mFinished.notify_all();
    }
    done.Signal();
}
