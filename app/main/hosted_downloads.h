// The GUI thread drives the crawl's downloads itself: a fiber's request goes
// out at the end of the scheduler's pass, and the event loop watches the
// connections, so no request waits for the download service's thread to
// wake and hand back (two thread wake-ups per request). A fiber that blocks
// outside the loop hands the downloads to that thread meanwhile.
#pragma once

#include <memory>
#include <vector>

#include "app/framework/socket_watch.h"
#include "platform/net/transfer_service.h"

class CPostedCall;

class CHostedDownloads {
public:
    // GUI thread, with the scheduler driver installed.
    CHostedDownloads();
    ~CHostedDownloads();

    CHostedDownloads(const CHostedDownloads&) = delete;
    CHostedDownloads& operator=(const CHostedDownloads&) = delete;

private:
    void Turn();
    void TurnFromLoop();

    std::unique_ptr<CSocketWatch> mWatch;
    std::unique_ptr<CPostedCall> mWake;
    net::TransferService::HostWatch mHostWatch;
    std::vector<SWatchedSocket> mSockets;
};
