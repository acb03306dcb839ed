// CGrabThread: works for one URL record and the crawl that owns it during
// the crawl's main GET. It runs a CDownloadThread, tells the record's
// listener of the transfer (status, name, size, bytes, whether it can be
// skipped) and turns the end of the transfer into the record's result:
// body, raw header, status and mFetchedOK.
//
// It sleeps while the download runs; the download's end message and the
// Skip button (or kMsgSkip through the record) wake it. When it is
// destroyed the record's mFetchFinished becomes 1 and FinishedToken is
// signalled.
#pragma once

#include <cstdint>
#include <string>

#include "engine/transfer/transfer_messages.h"
#include "foundation/messaging/broadcaster.h"
#include "foundation/threads/thread.h"
#include "foundation/threads/wake_token.h"

class CDownloadThread;
class CCrawlListener;
class CURL;
struct SDownloadProgress;

class CGrabThread : public CThread, public CListener {
public:
    // Sets the record's mStatusCode and mFetchedOK to 0 and mFetchFinished to
    // 0, and listens to the record. The thread deletes itself when done.
    CGrabThread(CURL& url, std::string userAgent, std::string user, std::string password);
    ~CGrabThread() override;

    void ListenToMessage(MessageT message, void* ioParam) override;

    CURL& Record() { return *mURL; }
    // The download in progress, or null.
    CDownloadThread* GetDownloadThread() const { return mDownload; }
    // Signalled when this thread is destroyed.
    CWakeToken FinishedToken() const { return mFinished; }

protected:
    void* Run() override;

private:
    CCrawlListener* Listener() const;
    void StopDownload();
    void ForgetDownload();
    void ShowProgress(const SDownloadProgress& progress);

    CURL* mURL;
    std::string mUserAgent;
    std::string mUser;
    std::string mPassword;
    CBroadcaster* mSkipButton = nullptr;
    CDownloadThread* mDownload = nullptr;
    CWakeToken mFinished;
};
