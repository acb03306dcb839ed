#include "engine/transfer/grab_thread.h"

#include <utility>

#include "engine/owner/window_interfaces.h"
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
    if (CGrabberInterface* grabber = Grabber()) grabber->EnableSkipButton(false);
    mURL->mFetchFinished = 1;
    mFinished.Signal();
}

CGrabberInterface* CGrabThread::Grabber() const
{
    return mURL->mOwnerGrabber;
}

void* CGrabThread::Run()
{
    if (IsStopRequested()) CheckStop();
    CGrabberInterface* grabber = Grabber();
    if (grabber != nullptr) {
        mSkipButton = grabber->GetSkipButton();
        if (mSkipButton != nullptr) mSkipButton->AddListener(this);
        grabber->EnableSkipButton(true);
        grabber->SetProgressValue(0);
    }
    const std::int32_t stallTimeout = OwnerTimeoutSeconds(grabber);
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
    CGrabberInterface* grabber = Grabber();
    switch (message) {
    case kMsgStatusText:
        if (grabber != nullptr) grabber->SetStatusText(*static_cast<const std::string*>(ioParam));
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
        if (grabber != nullptr) {
            grabber->EnableSkipButton(false);
            grabber->SetStatusText(" Processing response");
        }
        if (mDownload != nullptr) {
            mURL->mBody = std::move(mDownload->Body());
            mURL->mRawHeader.Assign(std::string_view(mDownload->ResponseHeaderText()));
        }
        ForgetDownload();
        break;
    case kMsgDownloadAborted:
        mURL->mFetchedOK = 0;
        if (grabber != nullptr) grabber->EnableSkipButton(false);
        ForgetDownload();
        break;
    case kMsgDownloadError:
        // Told by the crawl, with the URL it belongs to.
        mURL->mFailureText = static_cast<const SDownloadErrorReport*>(ioParam)->text;
        break;
    case kMsgNetworkError:
        if (grabber != nullptr) grabber->SetNetworkError(*static_cast<const std::int32_t*>(ioParam));
        break;
    case kMsgSkip:
        if (grabber != nullptr) grabber->SetStatusText(" Skipping");
        RequestStop();
        Wake();
        break;
    default:
        break;
    }
}

void CGrabThread::ShowProgress(const SDownloadProgress& progress)
{
    CGrabberInterface* grabber = Grabber();
    if (grabber == nullptr) return;
    if (progress.name != mShownName) {
        mShownName = progress.name;
        grabber->SetTransferName(mShownName);
    }
    if (const std::string size = std::to_string(progress.size); size != mShownSize) {
        mShownSize = size;
        grabber->SetTransferSize(mShownSize);
    }
    if (progress.bytes != 0) grabber->SetTransferReceived(std::to_string(progress.bytes));
    if (progress.size == 0) return;
    const std::int32_t minimum = grabber->GetProgressMin();
    const std::int32_t maximum = grabber->GetProgressMax();
    const double share = static_cast<double>(progress.bytes < progress.size ? progress.bytes : progress.size) /
                         static_cast<double>(progress.size);
    const auto value = static_cast<std::int32_t>(minimum + (static_cast<double>(maximum) - minimum) * share);
    if (value > grabber->GetProgressValue()) grabber->SetProgressValue(value);
}
