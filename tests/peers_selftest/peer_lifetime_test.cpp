// No peer outlives its test: each stops with its object, at the end of its
// lifetime, or when its standard input closes.
#include "tests/support/file_bytes.h"
#include "tests/support/ftp_peer.h"
#include "tests/support/http_peer.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/peer_process.h"
#include "tests/support/scripted_tcp_peer.h"
#include "tests/support/smtp_peer.h"
#include "tests/support/temp_dir.h"

#include "loopback_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include <sys/types.h>

using namespace testsupport;
using namespace std::chrono_literals;

namespace {

// Processes of the group that are still running (zombies left for init to
// reap do not count).
int LiveProcessesInGroup(pid_t group)
{
    int live = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string stat = ReadFileBytes(entry.path().string() + "/stat");
        std::size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int parent = 0;
        int processGroup = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %d %d", &state, &parent, &processGroup) != 3) continue;
        if (processGroup == group && state != 'Z' && state != 'X') ++live;
    }
    return live;
}

bool GroupEnds(pid_t group, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (LiveProcessesInGroup(group) > 0) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// Starts one kind of peer with a given lifetime; the peer object is handed
// back as an opaque owner with its process and port.
struct StartedPeer {
    std::shared_ptr<void> owner;
    PeerProcess* process;
    int port;
};

template <typename Peer>
StartedPeer Hold(std::shared_ptr<Peer> peer)
{
    return {peer, &peer->Process(), peer->Port()};
}

struct PeerKind {
    const char* name;
    std::function<StartedPeer(const TempDir&, double lifetime)> start;
};

std::vector<PeerKind> AllPeerKinds()
{
    return {
        {"http", [](const TempDir&, double t) {
             return Hold(std::make_shared<HttpPeer>(std::vector<HttpRoute>{}, HttpPeerOptions{.lifetimeSeconds = t}));
         }},
        {"ftp", [](const TempDir& dir, double t) {
             return Hold(std::make_shared<FtpPeer>(dir.MakeFolder("ftp"), "u", "p", t));
         }},
        {"smtp", [](const TempDir&, double t) {
             return Hold(std::make_shared<SmtpPeer>(SmtpPeerOptions{.lifetimeSeconds = t}));
         }},
        {"tcp script", [](const TempDir&, double t) {
             return Hold(std::make_shared<ScriptedTcpPeer>(std::vector<TcpStep>{TcpStep::Send("hi\r\n")}, t));
         }},
        {"nginx", [](const TempDir& dir, double t) {
             return Hold(std::make_shared<NginxPeer>(dir.MakeFolder("site"), t));
         }},
    };
}

struct RunningPeer {
    const char* name;
    std::unique_ptr<TempDir> dir;
    StartedPeer peer;
    pid_t group;
};

// Every kind at once, so the waits below overlap.
std::vector<RunningPeer> StartEveryKind(double lifetime)
{
    std::vector<RunningPeer> running;
    for (const auto& kind : AllPeerKinds()) {
        auto dir = std::make_unique<TempDir>();
        StartedPeer peer = kind.start(*dir, lifetime);
        pid_t group = peer.process->Pid();
        running.push_back({kind.name, std::move(dir), std::move(peer), group});
    }
    return running;
}

void ExpectGone(const RunningPeer& r)
{
    SCOPED_TRACE(r.name);
    EXPECT_TRUE(GroupEnds(r.group, 3s));
    EXPECT_TRUE(PortRefusesConnections(r.peer.port));
}

TEST(PeerLifetime, NothingOutlivesThePeerObject)
{
    auto running = StartEveryKind(60);
    for (auto& r : running) {
        EXPECT_GE(LiveProcessesInGroup(r.group), 1) << r.name;
        r.peer.owner.reset();
    }
    for (const auto& r : running) ExpectGone(r);
}

TEST(PeerLifetime, EndsByItselfWhenItsLifetimeIsOver)
{
    auto running = StartEveryKind(0.5);
    for (const auto& r : running) {
        EXPECT_TRUE(r.peer.process->WaitForExit(5s)) << r.name;
        ExpectGone(r);
    }
}

TEST(PeerLifetime, EndsWhenStandardInputCloses)
{
    auto running = StartEveryKind(60);
    for (const auto& r : running) r.peer.process->CloseStdin();
    for (const auto& r : running) {
        EXPECT_TRUE(r.peer.process->WaitForExit(5s)) << r.name;
        ExpectGone(r);
    }
}

TEST(PeerLifetime, ReportsAPeerThatFailsToStartAtOnce)
{
    struct Case {
        const char* name;
        std::vector<std::string> argv;
        std::chrono::milliseconds timeout;
        const char* message;
    };
    const Case cases[] = {
        {"script error", PythonPeerArgv("http_peer.py", {"--script", "/nonexistent/script.json"}), 10s,
         "exited before announcing its port"},
        {"wrong first line", {"/bin/echo", "hello"}, 10s, "expected \"PORT n\""},
        {"silent", {"/bin/sleep", "30"}, 300ms, "no PORT line in time"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PeerProcess process(c.argv);
        // A program that exits or misbehaves is reported then, with its own
        // message, not at the time-out with "no PORT line in time".
        try {
            process.ReadPortLine(c.timeout);
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
    EXPECT_THROW(PeerProcess({"/nonexistent/program"}), std::system_error);
}

}  // namespace
