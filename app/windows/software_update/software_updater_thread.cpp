#include "app/windows/software_update/software_updater_thread.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "app/windows/software_update/archive_file.h"
#include "app/windows/software_update/software_update_layout.h"
#include "app/windows/software_update/software_update_windows.h"
#include "app/windows/software_update/update_transfer.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/user_folders.h"

using namespace softwareupdate;

namespace {

constexpr std::uint32_t kTransferTimeoutSeconds = 60;

std::string UserAgent() { return gAppSettings != nullptr ? gAppSettings->mUserAgent.c_str() : std::string(); }

}  // namespace

CSoftwareUpdaterThread* CSoftwareUpdaterThread::sCurrent = nullptr;

CSoftwareUpdaterThread::CSoftwareUpdaterThread(std::string url, CCommander* superCommander)
    : mURL(std::move(url)), mSuperCommander(superCommander)
{
    sCurrent = this;
}

CSoftwareUpdaterThread::~CSoftwareUpdaterThread()
{
    CloseProgressWindow();
    if (sCurrent == this) sCurrent = nullptr;
}

void StartUpdateDownload(const std::string& url, CCommander* superCommander)
{
    if (CSoftwareUpdaterThread::Current() != nullptr) return;
    (new CSoftwareUpdaterThread(url, superCommander))->Resume();
}

void CSoftwareUpdaterThread::QueueMessage(std::uint32_t type, const void* data, std::int32_t length)
{
    {
        std::lock_guard<std::mutex> lock(mQueueLock);
        mMessages.push_back({type, std::string(static_cast<const char*>(data), length > 0 ? length : 0)});
    }
    mQueued.Signal();
}

bool CSoftwareUpdaterThread::DrainMessages()
{
    std::vector<SMessage> messages;
    {
        std::lock_guard<std::mutex> lock(mQueueLock);
        messages.swap(mMessages);
    }
    bool ended = false;
    for (const SMessage& message : messages) {
        if (message.type != kBytesReceivedMessage || message.data.size() != sizeof(std::int32_t)) continue;
        std::int32_t count = 0;
        std::memcpy(&count, message.data.data(), sizeof count);
        if (count < 0) {
            ended = true;
            continue;
        }
        mReceived += count;
        if (mExpected > 0 && mProgressWindow != nullptr)
            mProgressWindow->SetPercent(static_cast<std::int32_t>(
                std::min<std::uint64_t>(100, static_cast<std::uint64_t>(mReceived) * 100 / mExpected)));
    }
    return ended;
}

void CSoftwareUpdaterThread::Cancel()
{
    mCancelled = true;
    Wake();
}

void* CSoftwareUpdaterThread::Run()
{
    mProgressWindow = MakeWindowAs<CDownloadUpdateWindow>(kDownloadLayout, mSuperCommander, "StartUpdateDownload");
    mProgressWindow->SetCancelHook([this] { Cancel(); });
    mProgressWindow->Show();
    try {
        Download();
    } catch (const CStopException&) {
        // The application quits: no result window follows.
        CloseProgressWindow();
        return nullptr;
    }
    CloseProgressWindow();
    auto* result = MakeWindowAs<CUpdateResultWindow>(kResultLayout, mSuperCommander, "StartUpdateDownload");
    result->SetResult(mSucceeded, mCancelled, mArchivePath);
    result->Show();
    result->Select();
    return nullptr;
}

void CSoftwareUpdaterThread::Download()
{
    if (!IsAllowedUpdateURL(mURL)) return;
    {
        HTTPRequest head(kTransferTimeoutSeconds, false);
        if (head.StartHead(mURL, UserAgent(), "", "").Ok()) head.WaitUntilDone();
        mExpected = ExpectedSize(head);
    }
    CheckStop();
    if (mCancelled) return;
    if (mExpected > 0) mProgressWindow->ShowDeterminate();

    HTTPRequest get(this, kTransferTimeoutSeconds, false);
    if (get.StartGet(mURL, UserAgent(), "", "").Ok()) {
        bool ended = false;
        while (!ended && !get.mThreadDone.load()) {
            mQueued.Wait();
            ended = DrainMessages();
            CheckStop();
            if (mCancelled) {
                get.Cancel();
                break;
            }
        }
        get.WaitUntilDone();
    }
    DrainMessages();
    if (mExpected > 0) mProgressWindow->SetPercent(0);
    if (mCancelled) return;
    std::optional<std::string> body = CompleteBody(get);
    if (!body) return;
    const std::string folder = UserDownloadFolder();
    ::mkdir(folder.c_str(), 0755);  // a first download makes the folder
    mSucceeded = WriteNewFile(folder, ArchiveFileName(mURL), *body, mArchivePath) == 0;
}

void CSoftwareUpdaterThread::CloseProgressWindow()
{
    if (mProgressWindow == nullptr) return;
    mProgressWindow->SetCancelHook({});
    mProgressWindow->AttemptClose();
    mProgressWindow = nullptr;
}
