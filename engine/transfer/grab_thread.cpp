#include "engine/transfer/grab_thread.h"

#include <utility>

#include "engine/owner/crawl_listener.h"
#include "engine/transfer/download_thread.h"
#include "engine/transfer/owner_requests.h"
#include "engine/url/url_record.h"
#include "foundation/text/text_encodings.h"

CGrabThread::CGrabThread(CURL& url, std::string userAgent, std::string user, std::string password)
    : mURL(&url), mUserAgent(std::move(userAgent)), mUser(std::move(user)), mPassword(std::move(password))
{
    mURL->mStatusCode = 0;
    mURL->mFetchedOK = 0;
    mURL->mFetchFinished = 0;
    mURL->mFailureText.clear();
    mURL->AddListener(this);
}

CGrabThread::~CGrabThread()
{
    if (mDownload != nullptr) StopDownload();
    mURL->RemoveListener(this);
    if (mSkipButton != nullptr) mSkipButton->RemoveListener(this);
    if (CCrawlListener* listener = Listener()) listener->TransferSkippable(false);
    mURL->mFetchFinished = 1;
    mFinished.Signal();
}

CCrawlListener* CGrabThread::Listener() const
{
    return mURL->mListener;
}

void* CGrabThread::Run()
{
    if (IsStopRequested()) CheckStop();
    CCrawlOwner* owner = mURL->mGrabOwner;
    if (owner != nullptr) {
        mSkipButton = owner->GetSkipBroadcaster();
        if (mSkipButton != nullptr) mSkipButton->AddListener(this);
    }
    if (CCrawlListener* listener = Listener()) {
        listener->TransferSkippable(true);
        listener->TransferBegins();
    }
    const std::int32_t stallTimeout = OwnerTimeoutSeconds(owner);
    mDownload = new CDownloadThread(this, DecodeEntities(mURL->mURL), stallTimeout, mUserAgent, mUser, mPassword);
    mDownload->SetIfModifiedSince(mURL->mIfModifiedSince);
    mDownload->AddListener(this);
    mDownload->Resume();

    // Sleeps until the download's end message or a stop (Skip) wakes it.
    CWakeToken idle;
    while (mDownload != nullptr) {
        if (IsStopRequested()) {
            StopDownload();
            CheckStop();
            break;
        }
        idle.Wait();
    }
    return nullptr;
}

// Aborts the transfer while still listening (so kMsgAbortStarted reaches
// this thread), then leaves the download to end on its own.
void CGrabThread::StopDownload()
{
    CDownloadThread* download = mDownload;
    mDownload = nullptr;
    download->Abort();
    download->RemoveListener(this);
    download->RequestStop();
    download->Wake();
}

void CGrabThread::ForgetDownload()
{
    if (mDownload == nullptr) return;
    mDownload->RemoveListener(this);
    mDownload = nullptr;
    Wake();
}

void CGrabThread::ListenToMessage(MessageT message, void* ioParam)
{
    CCrawlListener* listener = Listener();
    switch (message) {
    case kMsgStatusText:
        if (listener != nullptr) listener->TransferStatus(*static_cast<const std::string*>(ioParam));
        break;
    case kMsgDataAvailable:
        ShowProgress(*static_cast<const SDownloadProgress*>(ioParam));
        break;
    case kMsgProgress: {
        const auto& progress = *static_cast<const SDownloadProgress*>(ioParam);
        if (progress.bytes != 0) ShowProgress(progress);
        break;
    }
    case kMsgResponseHeader: {
        const auto& header = *static_cast<const CResponseHeader*>(ioParam);
        mURL->mRawHeader.Assign(std::string_view(header.mHeaderText));
        mURL->mStatusLine.Assign(std::string_view(header.mStatusLine));
        mURL->mStatusCode = header.mStatusCode;
        break;
    }
    case kMsgDownloadComplete:
        mURL->mFetchedOK = 1;
        if (listener != nullptr) {
            listener->TransferSkippable(false);
            listener->CrawlStatus("Processing response");
        }
        if (mDownload != nullptr) {
            mURL->mBody = std::move(mDownload->Body());
            mURL->mRawHeader.Assign(std::string_view(mDownload->ResponseHeaderText()));
            mURL->KeepReceivedHeader(mDownload->TakeResponseHeader());
        }
        ForgetDownload();
        break;
    case kMsgDownloadAborted:
        mURL->mFetchedOK = 0;
        if (listener != nullptr) listener->TransferSkippable(false);
        ForgetDownload();
        break;
    case kMsgDownloadError:
        // Told by the crawl, with the URL it belongs to.
        mURL->mFailureText = static_cast<const SDownloadErrorReport*>(ioParam)->text;
        break;
    case kMsgSkip:
        if (listener != nullptr) listener->CrawlStatus("Skipping");
        RequestStop();
        Wake();
        break;
    default:
        break;
    }
}

void CGrabThread::ShowProgress(const SDownloadProgress& progress)
{
    CCrawlListener* listener = Listener();
    if (listener == nullptr) return;
    STransferProgress shown;
    shown.name = progress.name;
    shown.size = progress.size;
    shown.received = progress.bytes;
    listener->TransferProgress(shown);
}
