// CSoftwareUpdaterThread: downloads the update archive with a progress
// window, writes it into the user's download folder under a new name and
// shows what became of it. The transfer reports received bytes from its own
// OS thread into a queue that wakes this thread; nothing polls.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "app/windows/software_update/update_download.h"
#include "engine/transfer/http_request.h"
#include "foundation/threads/thread.h"
#include "foundation/threads/wake_token.h"

class CCommander;
class CDownloadUpdateWindow;

class CSoftwareUpdaterThread : public CThread, public CTransferMessageQueue {
public:
    CSoftwareUpdaterThread(std::string url, CCommander* superCommander);
    ~CSoftwareUpdaterThread() override;

    // The transfer's OS thread: copies the message and wakes this thread.
    void QueueMessage(std::uint32_t type, const void* data, std::int32_t length) override;
    // The progress window's Cancel.
    void Cancel();

    // The download that runs, or null.
    static CSoftwareUpdaterThread* Current() { return sCurrent; }
    std::int64_t Received() const { return mReceived; }
    std::uint64_t Expected() const { return mExpected; }

protected:
    void* Run() override;

private:
    struct SMessage {
        std::uint32_t type;
        std::string data;
    };
    // Applies the queued messages; true once the transfer's end was among them.
    bool DrainMessages();
    void Download();
    void CloseProgressWindow();

    std::mutex mQueueLock;
    std::vector<SMessage> mMessages;  // under mQueueLock
    CWakeToken mQueued;

    std::string mURL;
    CCommander* mSuperCommander;
    bool mSucceeded = false;
    bool mCancelled = false;
    std::int64_t mReceived = 0;
    std::uint64_t mExpected = 0;
    std::string mArchivePath;
    CDownloadUpdateWindow* mProgressWindow = nullptr;

    static CSoftwareUpdaterThread* sCurrent;
};
