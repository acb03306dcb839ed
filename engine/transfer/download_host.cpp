#include "engine/transfer/download_host.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "engine/transfer/transfer_environment.h"
#include "foundation/threads/thread_scheduler.h"

namespace {

constexpr int kLongestWaitMilliseconds = 60 * 1000;

int MillisecondsUntil(std::optional<CThreadScheduler::Clock::time_point> until)
{
    if (!until) return kLongestWaitMilliseconds;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*until - CThreadScheduler::Clock::now());
    return static_cast<int>(std::clamp<long long>(left.count(), 0, kLongestWaitMilliseconds));
}

}  // namespace

void HostDownloadsOnThisThread(std::function<void()> wakeLoop, std::function<void()> afterWait)
{
    net::TransferService& service = SharedDownloadService();
    service.AttachHost(std::move(wakeLoop));
    CThreadScheduler::SetIdleWait(
        [&service, afterWait = std::move(afterWait)](std::optional<CThreadScheduler::Clock::time_point> until) {
            if (!service.HostWait(MillisecondsUntil(until), [] { return CThreadScheduler::HasReadyThreads(); }))
                return false;
            if (afterWait) afterWait();
            return true;
        },
        [&service] { service.WakeHost(); });
}

void StopHostingDownloads()
{
    CThreadScheduler::SetIdleWait(nullptr, nullptr);
    SharedDownloadService().DetachHost();
}

bool TurnHostedDownloads(net::TransferService::HostWatch* watch)
{
    return SharedDownloadService().HostTurn(watch);
}

bool WaitForRunningDownloads(CThreadScheduler::Clock::time_point until)
{
    if (CThreadScheduler::HasReadyThreads()) return false;
    const auto left = std::chrono::floor<std::chrono::milliseconds>(until - CThreadScheduler::Clock::now());
    if (left.count() <= 0) return false;
    return SharedDownloadService().HostWaitWhileRunning(
        static_cast<int>(std::min<long long>(left.count(), kLongestWaitMilliseconds)),
        [] { return CThreadScheduler::HasReadyThreads(); });
}
