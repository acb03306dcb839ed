// The fiber scheduler's thread drives the crawl's downloads itself while it
// waits for them: a fiber's request goes out in the scheduler's next wait and
// its answer is read there, with no hand-off to the download service's
// thread and back (two thread wake-ups per request).
#pragma once

#include <functional>

#include "foundation/threads/thread_scheduler.h"
#include "platform/net/transfer_service.h"

// The scheduler's thread. A thread whose waiting is an event loop passes
// `wakeLoop`, called from other threads when the downloads need a turn, and
// `afterWait`, called after the scheduler's own wait has driven them (what
// the loop watches may have changed); it takes its turns with
// TurnHostedDownloads.
void HostDownloadsOnThisThread(std::function<void()> wakeLoop = {}, std::function<void()> afterWait = {});
// The scheduler's thread: the download service's thread drives again.
void StopHostingDownloads();

// The hosting thread: moves the downloads on without waiting and says in
// `watch` what to wait for. False while the service's thread drives.
bool TurnHostedDownloads(net::TransferService::HostWatch* watch = nullptr);
// The hosting thread, when no fiber is ready: while a download runs, waits
// for the downloads up to `until` (a wake from another thread ends the wait
// early) and drives them. False, without waiting, when none runs, when
// `until` has come or while the service's thread drives.
bool WaitForRunningDownloads(CThreadScheduler::Clock::time_point until);
