#include "tests/support/scripted_tcp_peer.h"

#include "loopback_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace testsupport;
using namespace std::chrono_literals;
using Step = TcpStep;

namespace {

TEST(ScriptedTcpPeer, FollowsItsScript)
{
    struct Exchange {
        std::string send;    // the client sends this first (may be empty)
        std::string expect;  // then expects exactly these bytes
    };
    struct Case {
        const char* name;
        std::vector<TcpStep> steps;
        std::vector<Exchange> exchanges;
        std::vector<std::string> lines;  // what the peer must have recorded
        std::string endReason;
        int mismatchStep = -1;
    };
    const Case cases[] = {
        {"greeting and commands",
         {Step::Send("220 hi\r\n"), Step::Expect("EHLO"), Step::Send("250 ok\r\n"), Step::Expect("QUIT"),
          Step::Send("221 bye\r\n")},
         {{"", "220 hi\r\n"}, {"EHLO me\r\n", "250 ok\r\n"}, {"QUIT\r\n", "221 bye\r\n"}},
         {"EHLO me\r\n", "QUIT\r\n"}, "done"},
        {"message body up to the dot",
         {Step::Expect("DATA"), Step::Send("354 go\r\n"), Step::ReadUntil("."), Step::Send("250 queued\r\n")},
         {{"DATA\r\n", "354 go\r\n"}, {"line one\r\n\r\n.\r\n", "250 queued\r\n"}},
         {"DATA\r\n", "line one\r\n", "\r\n", ".\r\n"}, "done"},
        {"wrong command ends the connection",
         {Step::Send("220 hi\r\n"), Step::Expect("EHLO"), Step::Send("250 ok\r\n")},
         {{"", "220 hi\r\n"}, {"HELO me\r\n", ""}}, {"HELO me\r\n"}, "mismatch", 1},
        {"close now", {Step::Send("421 busy\r\n"), Step::CloseNow(), Step::Send("never\r\n")},
         {{"", "421 busy\r\n"}}, {}, "closed by script"},
        {"sleep delays the answer", {Step::Sleep(0.2), Step::Send("late\r\n")}, {{"", "late\r\n"}}, {}, "done"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedTcpPeer peer(c.steps);
        LoopbackClient client(peer.Port());
        for (const auto& exchange : c.exchanges) {
            if (!exchange.send.empty()) client.Send(exchange.send);
            EXPECT_EQ(client.ReadBytes(exchange.expect.size()), exchange.expect);
        }
        EXPECT_TRUE(client.PeerClosed()) << "the peer closes after its script";
        ASSERT_TRUE(peer.WaitForEnded(1));
        auto connections = peer.Connections();
        ASSERT_EQ(connections.size(), 1u);
        EXPECT_EQ(connections[0].lines, c.lines);
        EXPECT_EQ(connections[0].endReason, c.endReason);
        EXPECT_EQ(connections[0].mismatchStep, c.mismatchStep);
    }
}

TEST(ScriptedTcpPeer, NeverAnswerRecordsButStaysSilent)
{
    ScriptedTcpPeer peer({Step::Send("220 hi\r\n"), Step::NeverAnswer()});
    LoopbackClient client(peer.Port());
    EXPECT_EQ(client.ReadLine(), "220 hi\r\n");
    client.Send("EHLO me\r\n");
    EXPECT_TRUE(client.StaysQuiet(300ms));
    client.Close();
    ASSERT_TRUE(peer.WaitForEnded(1));
    auto connections = peer.Connections();
    ASSERT_EQ(connections.size(), 1u);
    EXPECT_EQ(connections[0].lines, std::vector<std::string>{"EHLO me\r\n"});
    EXPECT_EQ(connections[0].endReason, "client closed");
}

TEST(ScriptedTcpPeer, RunsTheScriptAgainForEachConnection)
{
    ScriptedTcpPeer peer({Step::Send("hello\r\n")});
    for (int i = 0; i < 2; ++i) {
        LoopbackClient client(peer.Port());
        EXPECT_EQ(client.ReadLine(), "hello\r\n");
    }
    ASSERT_TRUE(peer.WaitForEnded(2));
    EXPECT_EQ(peer.Connections().size(), 2u);
}

}  // namespace
