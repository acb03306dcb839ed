// TcpConnection against real peers: reply lines with a length cap, time-outs,
// writes larger than the socket buffers, a peer that goes away, STARTTLS.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "loopback_server.h"
#include "platform/net/tcp_connection.h"
#include "platform/posix/unique_fd.h"
#include "tests/support/loopback_address.h"
#include "test_support.h"

namespace {

using namespace nettest;
using namespace std::chrono_literals;
using net::NetError;
using net::TcpConnection;
using Clock = std::chrono::steady_clock;

// Sends each piece after a short pause, then waits for the client to close.
LoopbackServer::Handler SendPieces(std::vector<std::string> pieces)
{
    return [pieces](PeerSocket& peer) {
        for (const std::string& piece : pieces) {
            if (!peer.Pause(20ms) || !peer.Send(piece)) return;
        }
        peer.WaitForClientClose();
    };
}

TEST(TcpConnectionReadLine, SplitsLinesAndRefusesOverlongOnes)
{
    struct Case {
        const char* name;
        std::vector<std::string> pieces;
        std::size_t maxLength;
        std::vector<std::string> lines;  // read in order before `last`
        NetError last;                   // what the read after them gives
    };
    const std::string exactly(4096, 'x');
    const Case cases[] = {
        {"greeting", {"220 ready\r\n"}, 4096, {"220 ready"}, NetError::kTimedOut},
        {"several in one packet", {"a\r\nb\nc\r\n"}, 4096, {"a", "b", "c"}, NetError::kTimedOut},
        {"line split across packets", {"250-first\r", "\n250 sec", "ond\r\n"}, 4096, {"250-first", "250 second"},
         NetError::kTimedOut},
        {"empty line", {"\r\n"}, 4096, {""}, NetError::kTimedOut},
        {"exactly the cap", {exactly + "\r\n"}, 4096, {exactly}, NetError::kTimedOut},
        {"one past the cap", {exactly + "y\r\n"}, 4096, {}, NetError::kLineTooLong},
        {"endless line", {std::string(100000, 'z')}, 4096, {}, NetError::kLineTooLong},
        {"small cap", {"12345678\r\n"}, 4, {}, NetError::kLineTooLong},
        {"closed mid-line", {"partial"}, 4096, {}, NetError::kClosed},
    };
    for (const Case& c : cases) {
        std::vector<std::string> pieces = c.pieces;
        const bool closeAfter = c.last == NetError::kClosed;
        LoopbackServer server([pieces, closeAfter](PeerSocket& peer) {
            for (const std::string& piece : pieces) {
                if (!peer.Pause(20ms) || !peer.Send(piece)) return;
            }
            if (!closeAfter) peer.WaitForClientClose();
        });
        TcpConnection connection;
        ASSERT_TRUE(connection.Connect("127.0.0.1", server.Port(), 2s).ok()) << c.name;
        for (const std::string& expected : c.lines) {
            std::string line;
            const net::NetStatus status = connection.ReadLine(line, 2s, c.maxLength);
            EXPECT_TRUE(status.ok()) << c.name << ": " << status.text;
            EXPECT_EQ(line, expected) << c.name;
        }
        std::string line;
        const net::NetStatus status = connection.ReadLine(line, 300ms, c.maxLength);
        EXPECT_EQ(status.error, c.last) << c.name << ": " << net::NetErrorName(status.error) << " " << status.text;
        EXPECT_FALSE(status.text.empty()) << c.name;
    }
}

TEST(TcpConnectionReadLine, TimesOutOnASilentServer)
{
    LoopbackServer server([](PeerSocket& peer) { peer.WaitForClientClose(); });
    TcpConnection connection;
    ASSERT_TRUE(connection.Connect("127.0.0.1", server.Port(), 2s).ok());
    std::string line;
    const auto started = Clock::now();
    const net::NetStatus status = connection.ReadLine(line, 400ms);
    const auto took = Clock::now() - started;
    EXPECT_EQ(status.error, NetError::kTimedOut);
    EXPECT_GE(took, 390ms);  // the server never answers: only the time-out ends the read
}

TEST(TcpConnectionConnect, ReportsFailuresAsStatuses)
{
    // A port that was just free: nothing listens there.
    std::uint16_t closedPort = 0;
    {
        const CUniqueFd probe(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address = LoopbackAddress();
        socklen_t length = sizeof address;
        ASSERT_EQ(bind(probe.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        getsockname(probe.Get(), reinterpret_cast<sockaddr*>(&address), &length);
        closedPort = ntohs(address.sin_port);
    }

    TcpConnection connection;
    net::NetStatus status = connection.Connect("127.0.0.1", closedPort, 2s);
    EXPECT_EQ(status.error, NetError::kConnect) << status.text;
    EXPECT_FALSE(connection.IsOpen());

    std::string line;
    EXPECT_EQ(connection.ReadLine(line, 100ms).error, NetError::kNotConnected);
    EXPECT_EQ(connection.SendAll("x", 100ms).error, NetError::kNotConnected);
    EXPECT_EQ(connection.StartTls(100ms).error, NetError::kNotConnected);
}

TEST(TcpConnectionConnect, ReachesAServerByName)
{
    LoopbackServer server(SendPieces({"220 named\r\n"}));
    TcpConnection connection;
    // "localhost" may list ::1 first; the IPv4 listener must still be found.
    const net::NetStatus status = connection.Connect("localhost", server.Port(), 2s);
    ASSERT_TRUE(status.ok()) << status.text;
    EXPECT_EQ(connection.LocalAddress(), "127.0.0.1");
    std::string line;
    EXPECT_TRUE(connection.ReadLine(line, 2s).ok());
    EXPECT_EQ(line, "220 named");
}

TEST(TcpConnectionConnect, ReachesAnIpv6Server)
{
    const CUniqueFd listenerFd(socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int listener = listenerFd.Get();
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    socklen_t length = sizeof address;
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 1) != 0)
        GTEST_SKIP() << "no IPv6 loopback here";
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    std::thread server([listener] {
        const CUniqueFd peer(accept(listener, nullptr, nullptr));
        if (!peer.IsOpen()) return;
        send(peer.Get(), "220 six\r\n", 9, MSG_NOSIGNAL);
        char ignored[16];
        recv(peer.Get(), ignored, sizeof ignored, 0);  // until the client closes
    });
    TcpConnection connection;
    const net::NetStatus status = connection.Connect("::1", ntohs(address.sin6_port), 2s);
    EXPECT_TRUE(status.ok()) << status.text;
    std::string line;
    EXPECT_TRUE(connection.ReadLine(line, 2s).ok());
    EXPECT_EQ(line, "220 six");
    EXPECT_EQ(connection.LocalAddress(), "::1");
    connection.Close();
    shutdown(listener, SHUT_RDWR);  // frees a server still waiting in accept
    server.join();
}

TEST(TcpConnectionSend, DeliversWritesLargerThanTheSocketBuffers)
{
    std::string payload(6 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>('a' + (i * 7 + i / 4096) % 26);
    std::string received;
    std::mutex receivedMutex;
    LoopbackServer server(
        [&](PeerSocket& peer) {
            // Let the client fill every buffer first, then read in small steps.
            if (!peer.Pause(300ms)) return;
            std::string got;
            while (got.size() < payload.size() && peer.ReceiveSome(got, 5s)) {
            }
            std::lock_guard<std::mutex> lock(receivedMutex);
            received = std::move(got);
        },
        4096);
    TcpConnection connection;
    ASSERT_TRUE(connection.Connect("127.0.0.1", server.Port(), 2s).ok());
    const net::NetStatus status = connection.SendAll(payload, 20s);
    EXPECT_TRUE(status.ok()) << status.text;
    connection.Close();
    for (int i = 0; i < 200; ++i) {
        {
            std::lock_guard<std::mutex> lock(receivedMutex);
            if (received.size() == payload.size()) break;
        }
        std::this_thread::sleep_for(20ms);
    }
    std::lock_guard<std::mutex> lock(receivedMutex);
    EXPECT_EQ(received.size(), payload.size());
    EXPECT_TRUE(received == payload);
}

TEST(TcpConnectionSend, FailsInsteadOfBlockingOrDying)
{
    struct Case {
        const char* name;
        LoopbackServer::Handler handler;
        NetError expected;
    };
    const Case cases[] = {
        // Never reads: the write must give up at its time-out.
        {"server never reads", [](PeerSocket& peer) { peer.Pause(10s); }, NetError::kTimedOut},
        // Goes away: a write must return an error, never raise SIGPIPE.
        {"server closed", [](PeerSocket&) {}, NetError::kClosed},
    };
    const std::string chunk(64 * 1024 * 1024, 'w');
    for (const Case& c : cases) {
        LoopbackServer server(c.handler, 4096);
        TcpConnection connection;
        ASSERT_TRUE(connection.Connect("127.0.0.1", server.Port(), 2s).ok()) << c.name;
        std::this_thread::sleep_for(100ms);
        // A write that ignored its time-out would end only when the silent
        // server closes, with kClosed instead of kTimedOut.
        net::NetStatus status;
        for (int i = 0; i < 5 && status.ok(); ++i) status = connection.SendAll(chunk, 500ms);
        EXPECT_EQ(status.error, c.expected) << c.name << ": " << net::NetErrorName(status.error) << " " << status.text;
    }
}

const char* const kStartTlsPeer = R"(
import socket, ssl
certificate, key, mode = sys.argv[1], sys.argv[2], sys.argv[3]
listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
listener.bind(('127.0.0.1', 0))
listener.listen(4)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(certificate, key)
print('PORT %d' % listener.getsockname()[1], flush=True)
def read_line(stream):
    data = b''
    while not data.endswith(b'\n'):
        piece = stream.recv(1)
        if not piece:
            raise EOFError()
        data += piece
    return data
while True:
    connection, _ = listener.accept()
    try:
        connection.settimeout(10)
        connection.sendall(b'220 ready\r\n')
        read_line(connection)
        extra = b'250 injected\r\n' if mode == 'inject' else b''
        connection.sendall(b'220 go ahead\r\n' + extra)
        secure = context.wrap_socket(connection, server_side=True)
        line = read_line(secure)
        secure.sendall(b'250 ' + line)
        read_line(secure)
    except Exception:
        pass
    finally:
        connection.close()
)";

TEST(TcpConnectionStartTls, UpgradesOnlyToAVerifiedPeer)
{
    TempFolder folder;
    ASSERT_TRUE(MakeSelfSignedCertificate(folder));
    ASSERT_TRUE(MakeSelfSignedCertificate(folder, "other", "DNS:other.test"));
    struct Case {
        const char* name;
        std::string certificate;
        std::string mode;
        std::string host;
        bool trustCa;
        NetError expected;
    };
    const Case cases[] = {
        {"trusted, by address", "cert", "plain", "127.0.0.1", true, NetError::kNone},
        {"trusted, by name", "cert", "plain", "localhost", true, NetError::kNone},
        {"not trusted", "cert", "plain", "127.0.0.1", false, NetError::kTls},
        {"trusted but for another name", "other", "plain", "127.0.0.1", true, NetError::kTls},
        {"bytes sent before the handshake", "cert", "inject", "127.0.0.1", true, NetError::kTls},
    };
    for (const Case& c : cases) {
        const std::string certificate = folder.File(c.certificate + ".pem");
        PythonPeer peer(kStartTlsPeer, {certificate, folder.File(c.certificate + "-key.pem"), c.mode});
        ASSERT_TRUE(peer.Started()) << c.name;
        TcpConnection connection;
        ASSERT_TRUE(connection.Connect(c.host, peer.Port(), 5s).ok()) << c.name;
        std::string line;
        ASSERT_TRUE(connection.ReadLine(line, 5s).ok()) << c.name;
        ASSERT_TRUE(connection.SendAll("STARTTLS\r\n", 5s).ok()) << c.name;
        ASSERT_TRUE(connection.ReadLine(line, 5s).ok()) << c.name;
        EXPECT_EQ(line, "220 go ahead") << c.name;
        if (c.mode == "inject") std::this_thread::sleep_for(100ms);  // let the extra line arrive

        const net::NetStatus status = connection.StartTls(5s, c.trustCa ? certificate : std::string());
        EXPECT_EQ(status.error, c.expected) << c.name << ": " << status.text;
        if (c.expected != NetError::kNone) {
            EXPECT_FALSE(connection.IsOpen()) << c.name;
            continue;
        }
        EXPECT_TRUE(connection.IsEncrypted()) << c.name;
        ASSERT_TRUE(connection.SendAll("EHLO [127.0.0.1]\r\n", 5s).ok()) << c.name;
        ASSERT_TRUE(connection.ReadLine(line, 5s).ok()) << c.name;
        EXPECT_EQ(line, "250 EHLO [127.0.0.1]") << c.name;
    }
}

}  // namespace
