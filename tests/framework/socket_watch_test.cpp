// The loop's watch of sockets it does not own: a watched socket that is
// ready or a wait that is over runs the job; a read watch kept past its use
// fires once, quietly, and goes off; a write watch goes off at once; a
// cleared watch runs nothing; a socket closed under the watch is let go
// without the loop's warning, and its number watched again when reused.
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <memory>

#include "app/framework/socket_watch.h"
#include "framework_environment.h"

namespace {

class CSocketPair {
public:
    CSocketPair() { EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, mFds), 0); }
    ~CSocketPair()
    {
        close(mFds[0]);
        close(mFds[1]);
    }
    int Watched() const { return mFds[0]; }
    void SendToWatched() const { EXPECT_EQ(write(mFds[1], "x", 1), 1); }

private:
    int mFds[2] = {-1, -1};
};

void RunPendingEvents()
{
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
}

TEST(SocketWatch, RunsItsJobForWhatItWatchesOnly)
{
    struct Case {
        const char* name;
        // Sets the watch up and makes something happen.
        std::function<void(CSocketWatch&, const CSocketPair&)> act;
        bool runs;
    };
    const Case cases[] = {
        {"data on a watched socket",
         [](CSocketWatch& watch, const CSocketPair& pair) {
             watch.Watch({{pair.Watched(), true, false}}, -1);
             pair.SendToWatched();
         },
         true},
        {"a writable socket watched for writing",
         [](CSocketWatch& watch, const CSocketPair& pair) { watch.Watch({{pair.Watched(), false, true}}, -1); },
         true},
        {"a wait that is over", [](CSocketWatch& watch, const CSocketPair&) { watch.Watch({}, 1); }, true},
        {"data on a socket no longer watched",
         [](CSocketWatch& watch, const CSocketPair& pair) {
             watch.Watch({{pair.Watched(), true, false}}, -1);
             watch.Watch({}, -1);
             pair.SendToWatched();
         },
         false},
        {"a writable socket now watched for reading only",
         [](CSocketWatch& watch, const CSocketPair& pair) {
             watch.Watch({{pair.Watched(), true, true}}, -1);
             watch.Watch({{pair.Watched(), true, false}}, -1);
         },
         false},
        {"a cleared watch",
         [](CSocketWatch& watch, const CSocketPair& pair) {
             watch.Watch({{pair.Watched(), true, true}}, 1);
             watch.Clear();
             pair.SendToWatched();
         },
         false},
    };
    for (const Case& c : cases) {
        int runs = 0;
        CSocketWatch watch([&runs] { ++runs; });
        CSocketPair pair;
        c.act(watch, pair);
        if (c.runs) {
            EXPECT_TRUE(RunLoopUntil([&runs] { return runs > 0; })) << c.name;
        } else {
            RunPendingEvents();
            EXPECT_EQ(runs, 0) << c.name;
        }
    }
}

// A socket closed under its notifier is given up by the loop; a connection
// that later gets the same number must still be watched.
TEST(SocketWatch, WatchesANewSocketWithTheNumberOfAClosedOne)
{
    struct Case {
        const char* name;
        bool wantedWhenClosed;
    };
    const Case cases[] = {
        {"closed while watched", true},
        {"closed while its read watch was kept", false},
    };
    for (const Case& c : cases) {
        int runs = 0;
        CSocketWatch watch([&runs] { ++runs; });
        auto closed = std::make_unique<CSocketPair>();
        const int fd = closed->Watched();
        watch.Watch({{fd, true, false}}, -1);
        if (!c.wantedWhenClosed) watch.Watch({}, -1);
        closed.reset();
        RunPendingEvents();
        runs = 0;
        CSocketPair reused;
        ASSERT_EQ(reused.Watched(), fd) << c.name;
        watch.Watch({{fd, true, false}}, -1);
        reused.SendToWatched();
        EXPECT_TRUE(RunLoopUntil([&runs] { return runs > 0; })) << c.name;
    }
}

int gLoopWarnings = 0;

void CountLoopWarning(QtMsgType type, const QMessageLogContext&, const QString&)
{
    if (type == QtWarningMsg) ++gLoopWarnings;
}

// A connection closed in a turn is no longer watched when the turn ends: the
// loop is not left to find the closed socket and warn.
TEST(SocketWatch, LetsGoQuietlyOfASocketClosedBeforeTheNextWatch)
{
    struct Case {
        const char* name;
        std::function<void(CSocketWatch&)> next;
    };
    const Case cases[] = {
        {"watching nothing", [](CSocketWatch& watch) { watch.Watch({}, -1); }},
        {"cleared", [](CSocketWatch& watch) { watch.Clear(); }},
    };
    for (const Case& c : cases) {
        CSocketWatch watch([] {});
        auto closed = std::make_unique<CSocketPair>();
        watch.Watch({{closed->Watched(), true, false}}, -1);
        closed.reset();
        c.next(watch);
        gLoopWarnings = 0;
        const QtMessageHandler previous = qInstallMessageHandler(CountLoopWarning);
        RunPendingEvents();
        qInstallMessageHandler(previous);
        EXPECT_EQ(gLoopWarnings, 0) << c.name;
    }
}

}  // namespace
