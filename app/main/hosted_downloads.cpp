#include "app/main/hosted_downloads.h"

#include "app/framework/posted_call.h"
#include "app/framework/scheduler_driver.h"
#include "app/framework/socket_watch.h"
#include "engine/transfer/download_host.h"
#include "platform/net/transfer_service.h"

CHostedDownloads::CHostedDownloads()
    : mWatch(std::make_unique<CSocketWatch>([this] { TurnFromLoop(); })),
      mWake(std::make_unique<CPostedCall>([this] { TurnFromLoop(); }))
{
    // A command the GUI thread gives within a pass goes out at the pass's
    // end; one it gives from elsewhere (a button) takes a turn of its own.
    HostDownloadsOnThisThread(
        [this] {
            if (!CSchedulerDriver::PassPending()) mWake->Post();
        },
        [this] { Turn(); });
    CSchedulerDriver::SetPassEndWork([this] { Turn(); });
    CSchedulerDriver::SetPassWait(&WaitForRunningDownloads);
}

CHostedDownloads::~CHostedDownloads()
{
    CSchedulerDriver::SetPassWait(nullptr);
    CSchedulerDriver::SetPassEndWork(nullptr);
    StopHostingDownloads();
}

// A transfer that ends in this turn wakes its fiber, which then runs at
// once.
void CHostedDownloads::TurnFromLoop()
{
    CSchedulerDriver::CPassAfter passAfter;
    Turn();
}

void CHostedDownloads::Turn()
{
    // Kept between turns (two a request): their storage is reused.
    if (!TurnHostedDownloads(&mHostWatch)) {
        mWatch->Clear();
        return;
    }
    mSockets.clear();
    for (const auto& socket : mHostWatch.sockets) mSockets.push_back({socket.fd, socket.read, socket.write});
    mWatch->Watch(mSockets, mHostWatch.waitMilliseconds);
}
