#include "engine/transfer/download_thread.h"

#include <cstdio>
#include <utility>

#include "engine/owner/crawl_listener.h"
#include "engine/transfer/auto_redirect.h"
#include "engine/transfer/download_busy_flag.h"
#include "engine/transfer/ftp_status_header.h"
#include "engine/transfer/grab_thread.h"
#include "engine/transfer/owner_requests.h"
#include "engine/transfer/transfer_environment.h"
#include "engine/transfer/transfer_messages.h"
#include "engine/url/uri_reference.h"
#include "engine/url/url_record.h"
#include "foundation/errors/framework_exception.h"

namespace {

using namespace std::chrono_literals;

// The last segment of the URL's path, without query or fragment; empty for
// a URL of only a scheme and a host.
std::string ResourceNameOf(const std::string& url)
{
    const std::string_view path = SplitURIReference(url).path;
    const std::size_t lastSlash = path.rfind('/');
    if (lastSlash == std::string_view::npos) return {};
    return std::string(path.substr(lastSlash + 1));
}

// "0:01:05".
std::string ElapsedText(std::chrono::steady_clock::duration elapsed)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

}  // namespace

CDownloadThread::CDownloadThread(CGrabThread* owner, std::string url, std::int32_t stallTimeoutSeconds,
                                 std::string userAgent, std::string user, std::string password)
    : mURL(std::move(url)),
      mStallTimeoutSeconds(StallTimeoutSeconds(stallTimeoutSeconds)),
      mUserAgent(userAgent.empty() ? SettingsUserAgent() : std::move(userAgent)),
      mUser(std::move(user)),
      mPassword(std::move(password)),
      mResourceName(ResourceNameOf(mURL)),
      mSink(std::make_unique<CDownloadSink>())
{
    if (owner != nullptr) mCookieSource = owner->Record().mGrabOwner;
}

CDownloadThread::~CDownloadThread()
{
    ReleaseDownloadBusyFlag(this);
}

void* CDownloadThread::Run()
{
    try {
        TakeDownloadBusyFlag(this);
        Transfer();
    } catch (const CStopException&) {
        EndAborted();
    } catch (...) {
        // The grab thread still waits for an end message.
        EndAborted();
        throw;
    }
    return nullptr;
}

void CDownloadThread::Transfer()
{
    if (mAbortStarted || !IsTransferableURL(mURL)) {
        Broadcast(kMsgDownloadAborted);
        return;
    }
    mAutoRedirect = AutoRedirectEnabled();
    mOpenTime = Clock::now();
    Submit();
    Say("Download initiated...");
    Broadcast(kMsgDownloadStarted);

    Clock::time_point nextTick = mOpenTime + 1s;
    while (!mTransferEnded) {
        try {
            WaitForEvents(nextTick);
            ProcessEvents();
            const Clock::time_point now = Clock::now();
            if (now >= nextTick && !mTransferEnded) {
                Tick(now);
                while (nextTick <= now) nextTick += 1s;
            }
        } catch (const CFrameworkException& error) {
            Say("Error " + error.GetErrorString() + " ( " + std::to_string(error.GetErrorCode()) + " ) occurred.");
            Abort();
            // The end of the transfer may have come with the events that failed.
            if (mSink->Finished()) mTransferEnded = true;
        }
    }
    Broadcast(mDownloadCompleted ? kMsgDownloadComplete : kMsgDownloadAborted);
}

void CDownloadThread::Submit()
{
    net::TransferRequest request = MakeTransferRequest(mURL);
    request.method = net::TransferMethod::kGet;
    request.headerLines = RequestHeaderLines(mCookieSource, mURL, mUser, mPassword, mIfModifiedSince);
    request.userAgent = mUserAgent;
    // The service ends a transfer that trickles below its floor as stalled.
    request.stallTimeoutSeconds = mStallTimeoutSeconds;
    mHandle = SharedDownloadService().Submit(std::move(request), *mSink);
    if (mPaused) SharedDownloadService().Pause(mHandle, true);
}

void CDownloadThread::WaitForEvents(Clock::time_point deadline)
{
    mSink->Token().Wait(deadline);
    if (IsStopRequested()) CheckStop();
}

void CDownloadThread::ProcessEvents()
{
    CDownloadSink::SEvents events = mSink->Take(std::move(mSpareBodyBuffer));
    if (events.headerArrived || !events.body.empty()) DataAvailable(events);
    mSpareBodyBuffer = std::move(events.body);
    // Held back while these bytes waited: they are stored now.
    if (events.heldBack && !mPaused && !events.finished && mHandle != 0)
        SharedDownloadService().Pause(mHandle, false);
    if (events.finished) TransferFinished(events.result);
}

void CDownloadThread::DataAvailable(const CDownloadSink::SEvents& events)
{
    if (events.expected > 0) mResourceSize = static_cast<std::uint64_t>(events.expected);
    if (mDataAvailableSeen) {
        ReadData(events.body);
        if (mBytesReceived != 0) {
            const SDownloadProgress progress{mBytesReceived, mResourceSize, mResourceName};
            Broadcast(kMsgProgress, &progress);
        }
        return;
    }
    mDataAvailableSeen = true;
    Say("Resource found...");
    Say("Downloading data...");
    Say("Data available...");
    if (events.headerArrived && !events.rawHeader.empty()) {
        mResponseHeaderText = events.rawHeader;
        mResponseHeader.Parse(mResponseHeaderText);
        Broadcast(kMsgResponseHeader, &mResponseHeader);
        if (mResourceSize == 0) mResourceSize = mResponseHeader.ContentLengthBytes().value_or(0);
    }
    Broadcast(kMsgResourceInfo, &mResourceName);
    ReadData(events.body);
    const SDownloadProgress progress{0, mResourceSize, mResourceName};
    Broadcast(kMsgDataAvailable, &progress);
}

void CDownloadThread::ReadData(const std::string& bytes)
{
    if (bytes.empty()) return;
    if (!mBody.AppendBytes(bytes.data(), bytes.size()))
        throw CFrameworkException(kDownloadErrorFailed, "storing the received data");
    mBytesReceived += bytes.size();
    std::string text = "Downloading data...( " + std::to_string(mBytesReceived);
    if (mResourceSize > 0) text += " of " + std::to_string(mResourceSize);
    text += " bytes. )";
    Say(text);
}

void CDownloadThread::TransferFinished(const net::TransferResult& result)
{
    switch (result.outcome) {
    case net::TransferOutcome::kCompleted:
        if (!mAbortStarted && FollowRedirect(result)) return;
        if (IsFtpURL(mURL)) {
            CDownloadSink::SEvents answer;
            answer.headerArrived = true;
            answer.rawHeader = FtpStatusHeader(result.statusCode, static_cast<std::int64_t>(mBytesReceived));
            if (!mDataAvailableSeen) {
                DataAvailable(answer);
            } else {
                mResponseHeaderText = answer.rawHeader;
                mResponseHeader.Parse(mResponseHeaderText);
                Broadcast(kMsgResponseHeader, &mResponseHeader);
            }
        }
        if (mAbortStarted) {
            Say("Abort completed...");
            mAbortCompleted = true;
        } else {
            Say("Download completed...");
            mDownloadCompleted = true;
        }
        break;
    case net::TransferOutcome::kAborted:
        Say("Abort completed...");
        mAbortCompleted = true;
        break;
    case net::TransferOutcome::kStalled:
        // The service's stall check (silence, or a rate below its floor for
        // a whole time-out) is the stall time-out's abort.
        Abort();
        Say("Abort completed...");
        mAbortCompleted = true;
        break;
    case net::TransferOutcome::kFailed:
    case net::TransferOutcome::kTruncated: {
        const std::int32_t code =
            result.outcome == net::TransferOutcome::kTruncated ? kDownloadErrorTruncated : kDownloadErrorFailed;
        Say("An error occurred: " + std::to_string(code));
        Say(result.errorText);
        const SDownloadErrorReport report{code, result.errorText};
        Broadcast(kMsgDownloadError, &report);
        Broadcast(kMsgNetworkError, &code);
        break;
    }
    }
    mTransferEnded = true;
}

// With the settings' auto-redirect switch on, a redirect is fetched in place
// of its response. Credentials go no further than their own site; cookies
// are chosen again for the new URL.
bool CDownloadThread::FollowRedirect(const net::TransferResult& result)
{
    std::string target = NextAutoRedirect(mAutoRedirect, mRedirects, mURL, result.statusCode, result.rawHeader);
    if (target.empty()) return false;
    if (URLOrigin(target) != URLOrigin(mURL)) {
        mUser.clear();
        mPassword.clear();
    }
    mURL = std::move(target);
    mResourceName = ResourceNameOf(mURL);
    // The date of a saved copy belongs to the URL first asked for.
    mIfModifiedSince = 0;
    mBody.Clear();
    mBytesReceived = 0;
    mResourceSize = 0;
    mDataAvailableSeen = false;
    mResponseHeaderText.clear();
    mSink->Reset();
    Submit();
    return true;
}

// The stall check is the service's (kStalled), which knows a paused
// transfer cannot stall.
void CDownloadThread::Tick(Clock::time_point now)
{
    const std::string elapsed = ElapsedText(now - mOpenTime);
    Broadcast(kMsgElapsedTime, &elapsed);
}

// A stop request (or a failure) ends the transfer as aborted. The wait for
// the service to let go of the sink cannot be cut short, and takes no time
// after a cancel.
void CDownloadThread::EndAborted()
{
    if (mEndAnnounced) return;
    if (mHandle != 0 && !mTransferEnded) {
        Abort();
        while (!mSink->Finished()) mSink->Token().Wait();
    }
    Broadcast(kMsgDownloadAborted);
}

void CDownloadThread::Abort()
{
    mPaused = false;
    if (mAbortStarted) return;
    mAbortStarted = true;
    if (mHandle != 0 && !mTransferEnded) SharedDownloadService().Cancel(mHandle);
    Broadcast(kMsgAbortStarted);
    Say("Abort initiated...");
}

void CDownloadThread::TogglePause()
{
    const bool wasPaused = mPaused;
    mPaused = !mPaused;
    if (mHandle != 0 && !mTransferEnded) SharedDownloadService().Pause(mHandle, mPaused);
    Broadcast(wasPaused ? kMsgResumed : kMsgPause);
}

void CDownloadThread::ListenToMessage(MessageT message, void*)
{
    if (message == kMsgCancel) Abort();
    else if (message == kMsgPause) TogglePause();
}

void CDownloadThread::Say(const std::string& text)
{
    Broadcast(kMsgStatusText, &text);
}

void CDownloadThread::Broadcast(MessageT message, const void* payload)
{
    if (message == kMsgDownloadComplete || message == kMsgDownloadAborted) mEndAnnounced = true;
    BroadcastMessage(message, const_cast<void*>(payload));
}
