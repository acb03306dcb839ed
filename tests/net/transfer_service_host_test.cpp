// A thread that hosts the transfer service drives its transfers itself while
// it waits: requests it queues (also from inside a report, as a
// redirection's next request is), requests other threads queue while it
// waits, the drive handed to the service thread for a host that blocks
// elsewhere and taken back, and what an event-loop host is told to watch.
#include <gtest/gtest.h>
#include <poll.h>

#include <functional>
#include <future>
#include <thread>
#include <vector>

#include "chaining_sink.h"
#include "loopback_server.h"
#include "platform/net/transfer_service.h"
#include "test_support.h"

namespace {

using namespace nettest;
using namespace std::chrono_literals;
using net::TransferOutcome;
using net::TransferService;

// A lost wake-up leaves HostWait asleep for its whole minute, which the
// suite's time-out turns into a failure.
bool DriveUntil(TransferService& service, const std::function<bool()>& done)
{
    for (int turn = 0; turn < 10000 && !done(); ++turn)
        if (!service.HostWait(60 * 1000, done)) return false;
    return done();
}

// As a host with other work drives between its waits: it waits only while
// a transfer runs, so a false answer before the end is a transfer lost.
bool DriveWhileRunning(TransferService& service, const std::function<bool()>& done)
{
    for (int turn = 0; turn < 10000 && !done(); ++turn)
        if (!service.HostWaitWhileRunning(60 * 1000, done)) return done();
    return done();
}

// As an event loop drives: a turn, then a wait for what the turn said to
// watch. A turn that leaves nothing to watch and no time before an
// unfinished job would put the loop to sleep for ever.
bool DriveLikeALoop(TransferService& service, const std::function<bool()>& done)
{
    TransferService::HostWatch watch;
    for (int turn = 0; turn < 10000; ++turn) {
        if (!service.HostTurn(&watch)) return false;
        if (done()) return true;
        if (watch.sockets.empty() && watch.waitMilliseconds < 0) return false;
        std::vector<pollfd> fds;
        for (const auto& socket : watch.sockets)
            fds.push_back({socket.fd, static_cast<short>((socket.read ? POLLIN : 0) | (socket.write ? POLLOUT : 0)), 0});
        poll(fds.data(), fds.size(), watch.waitMilliseconds);
    }
    return false;
}

TEST(TransferServiceHost, DrivesItsTransfersWhereItWaits)
{
    struct Case {
        const char* name;
        int requests;
        bool queuedByAnotherThread;
    };
    const Case cases[] = {
        {"one request", 1, false},
        {"each request queued by the report of the last", 20, false},
        {"a request another thread queues while the host waits", 1, true},
    };
    struct Driver {
        const char* name;
        bool (*drive)(TransferService&, const std::function<bool()>&);
    };
    const Driver drivers[] = {{"waiting in the service", DriveUntil},
                              {"waiting while a transfer runs", DriveWhileRunning},
                              {"an event loop", DriveLikeALoop}};
    LoopbackHttpServer server([](const ReceivedRequest&, PeerSocket& peer) { peer.Send(HttpResponse("200 OK", "x")); });
    for (const Driver& driver : drivers) {
        for (const Case& c : cases) {
            // The loop's wake is the loop's own; a wait while a transfer
            // runs ends at once before the other thread's request comes.
            if (c.queuedByAnotherThread && driver.drive != DriveUntil) continue;
            const std::string name = std::string(c.name) + ", " + driver.name;
            // Hosted at once, while the new service's thread may still be in
            // its first turn.
            TransferService service;
            service.AttachHost({});
            ChainingSink sink(service, server, c.requests);
            std::thread other;
            if (c.queuedByAnotherThread) other = std::thread([&] { service.Submit(Get(server, "/first"), sink); });
            else service.Submit(Get(server, "/first"), sink);
            EXPECT_TRUE(driver.drive(service, [&] { return sink.finishCalls > 0; })) << name;
            if (other.joinable()) other.join();
            EXPECT_EQ(sink.fetched.load(), c.requests) << name;
            EXPECT_EQ(sink.finishThread, std::this_thread::get_id()) << name;
            // Nothing runs now: a wait that would last a minute ends at once.
            EXPECT_FALSE(service.HostWaitWhileRunning(60 * 1000, [] { return false; })) << name;
            service.DetachHost();
        }
    }
}

TEST(TransferServiceHost, AHostThatBlocksElsewhereHandsOverAndGetsTheDriveBack)
{
    LoopbackHttpServer silent([](const ReceivedRequest&, PeerSocket& peer) {
        peer.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nab");
        peer.WaitForClientClose();
        peer.Close();
    });
    LoopbackHttpServer quick([](const ReceivedRequest&, PeerSocket& peer) { peer.Send(HttpResponse("200 OK", "x")); });
    TransferService service;
    service.AttachHost({});
    RecordingSink slow;
    const net::TransferHandle handle = service.Submit(Get(silent, "/slow"), slow);
    ASSERT_TRUE(DriveUntil(service, [&] { return slow.body.size() >= 2; }));

    // Blocked on a condition, the host drives nothing: the service thread
    // ends the transfer.
    service.HandOver();
    service.Cancel(handle);
    ASSERT_TRUE(slow.WaitFinished(120s));
    EXPECT_EQ(slow.result->outcome, TransferOutcome::kAborted);
    EXPECT_NE(slow.finishThread, std::this_thread::get_id());

    // With nothing left to do the service thread lets go again, at the end
    // of the turn that reported the abort (a request queued before then is
    // still its to drive).
    while (!service.HostTurn()) std::this_thread::yield();
    RecordingSink next;
    service.Submit(Get(quick, "/next"), next);
    ASSERT_TRUE(DriveUntil(service, [&] { return next.finishCalls > 0; }));
    EXPECT_TRUE(next.result->Fetched()) << next.result->errorText;
    EXPECT_EQ(next.finishThread, std::this_thread::get_id());
    service.DetachHost();
}

// Tells when its report has begun and holds the reporting thread in it
// until let go.
class HeldReportSink : public RecordingSink {
public:
    void OnFinished(const net::TransferResult& result) override
    {
        reporting.set_value();
        letGo.get_future().wait();
        RecordingSink::OnFinished(result);
    }
    std::promise<void> reporting;
    std::promise<void> letGo;
};

TEST(TransferServiceHost, AHandOverIsKeptWhateverTheServiceThreadIsDoing)
{
    struct Case {
        const char* name;
        bool serviceThreadStillReporting;  // a transfer it drove before the host came
    };
    const Case cases[] = {
        {"the service thread parked", false},
        {"the service thread still in its turn", true},
    };
    LoopbackHttpServer quick([](const ReceivedRequest&, PeerSocket& peer) { peer.Send(HttpResponse("200 OK", "x")); });
    for (const Case& c : cases) {
        TransferService service;
        HeldReportSink before;
        if (c.serviceThreadStillReporting) {
            service.Submit(Get(quick, "/before"), before);
            before.reporting.get_future().wait();
        }
        service.AttachHost({});
        RecordingSink blocked;
        service.Submit(Get(quick, "/blocked"), blocked);
        // The host blocks outside its waits from here on.
        service.HandOver();
        if (c.serviceThreadStillReporting) before.letGo.set_value();
        ASSERT_TRUE(blocked.WaitFinished(120s)) << c.name;
        EXPECT_TRUE(blocked.result->Fetched()) << c.name << ": " << blocked.result->errorText;
        EXPECT_NE(blocked.finishThread, std::this_thread::get_id()) << c.name;
        service.DetachHost();
    }
}

TEST(TransferServiceHost, TellsAnEventLoopWhatToWatch)
{
    LoopbackHttpServer silent([](const ReceivedRequest&, PeerSocket& peer) {
        peer.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nab");
        peer.WaitForClientClose();
        peer.Close();
    });
    TransferService service;
    service.AttachHost({});
    RecordingSink sink;
    const net::TransferHandle handle = service.Submit(Get(silent, "/slow"), sink);
    ASSERT_TRUE(DriveUntil(service, [&] { return sink.body.size() >= 2; }));

    TransferService::HostWatch watch;
    ASSERT_TRUE(service.HostTurn(&watch));
    ASSERT_EQ(watch.sockets.size(), 1u);
    EXPECT_TRUE(watch.sockets[0].read);
    EXPECT_GE(watch.waitMilliseconds, 0);  // a running transfer is revisited

    // A command queued by the host itself is due at once.
    service.Cancel(handle);
    ASSERT_TRUE(service.HostTurn(&watch));
    EXPECT_EQ(sink.result->outcome, TransferOutcome::kAborted);
    EXPECT_TRUE(watch.sockets.empty());
    EXPECT_EQ(watch.waitMilliseconds, -1);  // nothing runs: nothing is due
    service.DetachHost();
}

TEST(TransferServiceHost, WakesItsLoopForItsOwnCommandsOnlyOutsideATurn)
{
    LoopbackHttpServer quick([](const ReceivedRequest&, PeerSocket& peer) { peer.Send(HttpResponse("200 OK", "x")); });
    TransferService service;
    int wakes = 0;
    service.AttachHost([&wakes] { ++wakes; });
    // The first request is queued outside a turn (as a window's button
    // would); the second from inside the report of the first.
    ChainingSink sink(service, quick, 2);
    service.Submit(Get(quick, "/first"), sink);
    EXPECT_EQ(wakes, 1);
    ASSERT_TRUE(DriveUntil(service, [&] { return sink.finishCalls > 0; }));
    EXPECT_EQ(sink.fetched.load(), 2);
    EXPECT_EQ(wakes, 1);
    service.Cancel(12345);
    EXPECT_EQ(wakes, 2);
    service.DetachHost();
}

}  // namespace
