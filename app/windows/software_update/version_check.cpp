#include "app/windows/software_update/version_check.h"

#include "app/framework/window.h"
#include "app/windows/software_update/software_update_layout.h"
#include "app/windows/software_update/software_update_windows.h"
#include "app/windows/software_update/update_transfer.h"
#include "engine/transfer/http_request.h"
#include "foundation/settings/app_settings.h"

using namespace softwareupdate;

namespace {

constexpr std::uint32_t kRequestTimeoutSeconds = 60;

std::chrono::milliseconds& Deadline()
{
    static std::chrono::milliseconds deadline = std::chrono::seconds(90);
    return deadline;
}

// Cancels a request when the deadline passes; stopped early once it is done.
class CDeadlineThread : public CThread {
public:
    CDeadlineThread(HTTPRequest& request, Clock::time_point deadline)
        : CThread(EWhenFinished::kKeep), mRequest(request), mDeadline(deadline)
    {
    }

    // From the waiting thread: ends this one and waits for it.
    void Finish()
    {
        RequestStop();
        Wake();
        if (!HasStarted()) return;
        while (!IsFinished()) CThread::Yield();
    }

protected:
    void* Run() override
    {
        try {
            SleepUntil(mDeadline);
            CheckStop();
            mRequest.Cancel();
        } catch (const CStopException&) {
        }
        return nullptr;
    }

private:
    HTTPRequest& mRequest;
    Clock::time_point mDeadline;
};

}  // namespace

CVersionCheckThread* CVersionCheckThread::sCurrent = nullptr;

CVersionCheckThread::CVersionCheckThread(std::string url, bool quiet, CCommander* superCommander, Done done)
    : mURL(std::move(url)), mQuiet(quiet), mSuperCommander(superCommander), mDone(std::move(done))
{
    sCurrent = this;
    // Shown at once, before the thread first runs.
    if (!mQuiet) {
        mCheckingWindow = MakeWindowAs<CCheckingForSoftwareWindow>(kCheckingLayout, mSuperCommander,
                                                                   "CheckForSoftwareUpdate");
        mCheckingWindow->Show();
    }
}

CVersionCheckThread::~CVersionCheckThread()
{
    if (mCheckingWindow != nullptr) mCheckingWindow->AttemptClose();
    if (sCurrent == this) sCurrent = nullptr;
}

void CVersionCheckThread::SetDeadline(std::chrono::milliseconds deadline) { Deadline() = deadline; }

void* CVersionCheckThread::Run()
{
    CUpdateInfo info;
    EVersionCheck result = EVersionCheck::kFailed;
    try {
        result = Check(info);
    } catch (const CStopException&) {
        return nullptr;  // the application quits
    }
    if (mCheckingWindow != nullptr) mCheckingWindow->AttemptClose();
    mCheckingWindow = nullptr;
    if (mDone) mDone(result, info);
    ShowResult(result, info);
    return nullptr;
}

EVersionCheck CVersionCheckThread::Check(CUpdateInfo& info)
{
    if (!IsAllowedUpdateURL(mURL)) return EVersionCheck::kFailed;
    HTTPRequest request(kRequestTimeoutSeconds, false);
    const std::string agent = gAppSettings != nullptr ? gAppSettings->mUserAgent.c_str() : "";
    if (request.StartGet(mURL, agent, "", "").Failed()) return EVersionCheck::kFailed;
    CDeadlineThread deadline(request, Clock::now() + Deadline());
    deadline.Resume();
    try {
        request.WaitUntilDone();
    } catch (...) {
        deadline.Finish();
        throw;
    }
    deadline.Finish();
    const std::optional<std::string> body = CompleteBody(request);
    if (!body || !ParseVersionList(info, *body)) return EVersionCheck::kFailed;
    const std::string own = gAppSettings != nullptr ? gAppSettings->mVersion.c_str() : "";
    return CompareVersions(own, info);
}

void CVersionCheckThread::ShowResult(EVersionCheck result, const CUpdateInfo& info)
{
    switch (result) {
    case EVersionCheck::kUpToDate:
        if (!mQuiet)
            MakeWindowAs<CUpToDateWindow>(kUpToDateLayout, mSuperCommander, "CheckForSoftwareUpdate")->Show();
        break;
    case EVersionCheck::kUpdateAvailable: {
        auto* window = MakeWindowAs<CUpdateAvailableWindow>(kAvailableLayout, mSuperCommander, "CheckForSoftwareUpdate");
        window->SetInfo(info);
        window->Show();
        window->Select();
        break;
    }
    case EVersionCheck::kFailed:
        if (!mQuiet)
            MakeWindowAs<CUpdateCheckFailedWindow>(kFailedLayout, mSuperCommander, "CheckForSoftwareUpdate")->Show();
        break;
    }
}
