// The crawl's main fetch: a GET through a grab thread and its download
// thread, which report to the crawl's listener.
#include <string>

#include "engine/transfer/grab_thread.h"
#include "engine/transfer/owner_requests.h"
#include "engine/transfer/transfer_environment.h"
#include "engine/url/url_record.h"
#include "foundation/threads/thread.h"

namespace {

const char* Text(const char* text)
{
    return text != nullptr ? text : "";
}

}  // namespace

std::uint8_t CURL::Grab(CCrawlOwner* owner, CCrawlListener* listener, const char* userAgent, const char* user,
                        const char* password)
{
    mFetchedOK = 0;
    if (!mPostBody.IsEmpty()) {
        if (Fetch(userAgent, user, password, 60)) mFetchedOK = 1;
        return mFetchedOK;
    }
    mGrabOwner = owner;
    mListener = listener;
    if (!IsTransferableURL(mURL)) {
        mStatusCode = 0;
        return 0;
    }
    WaitForGrab(new CGrabThread(*this, Text(userAgent), Text(user), Text(password)));
    return mFetchedOK;
}

// The site login goes to the crawl's start host only, never to the other
// hosts that a crawl may visit.
std::uint8_t CURL::GrabWithLogin(CCrawlOwner* owner, CCrawlListener* listener, const char* userAgent)
{
    std::string user;
    std::string password;
    OwnerSiteLoginFor(owner, mHost, user, password);
    return Grab(owner, listener, userAgent, user.c_str(), password.c_str());
}

// Sleeps until the grab thread is gone. A stop request of the waiting
// thread is passed on to the grab thread; once that has ended, the wait
// ends with the stop exception.
void CURL::WaitForGrab(CGrabThread* grabThread)
{
    if (grabThread == nullptr) return;
    const CWakeToken finished = grabThread->FinishedToken();
    grabThread->Resume();
    CThread* self = CThread::Current();
    bool stopPassedOn = false;
    while (mFetchFinished == 0) {
        // mFetchFinished is set by the grab thread's destructor: while it is
        // 0 the thread exists.
        if (self != nullptr && self->IsStopRequested() && !stopPassedOn) {
            stopPassedOn = true;
            grabThread->RequestStop();
            grabThread->Wake();
        }
        finished.Wait();
    }
    if (mFetchedOK == 1) ParseRawHeaders();
    if (stopPassedOn) self->CheckStop();
}
