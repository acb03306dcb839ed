// Test peers on 127.0.0.1: a TCP server that runs a handler per accepted
// connection on its own thread, and an HTTP/1.1 server on top of it that
// records every request and lets each test script the reply bytes.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/posix/unique_fd.h"

namespace nettest {

// One accepted connection. Every wait also ends when the server stops.
class PeerSocket {
public:
    PeerSocket(int fd, int stopFd) : fd_(fd), stopFd_(stopFd) {}

    bool Send(std::string_view bytes);
    // Appends what arrives within `timeout` (at least one byte); false on
    // close, stop or time-out.
    bool ReceiveSome(std::string& into, std::chrono::milliseconds timeout);
    // Sleeps unless the server stops; false when it stops.
    bool Pause(std::chrono::milliseconds delay);
    // Blocks until the client closes the connection or the server stops.
    void WaitForClientClose();
    // Ends the connection once the handler returns.
    void Close() { closeRequested_ = true; }
    bool CloseRequested() const { return closeRequested_; }
    int Fd() const { return fd_; }

private:
    bool WaitReady(short events, std::chrono::milliseconds timeout);

    int fd_;
    int stopFd_;
    bool closeRequested_ = false;
};

class LoopbackServer {
public:
    using Handler = std::function<void(PeerSocket&)>;

    explicit LoopbackServer(Handler handler, int receiveBufferBytes = 0);
    ~LoopbackServer();  // stops every wait, joins every thread

    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    std::uint16_t Port() const { return port_; }
    int Connections() const { return connections_.load(); }

private:
    void AcceptLoop();

    Handler handler_;
    CUniqueFd listenFd_;
    // Closing the write end wakes every poll on the read end.
    CUniqueFd stopRead_;
    CUniqueFd stopWrite_;
    std::uint16_t port_ = 0;
    std::atomic<int> connections_{0};
    std::mutex threadsMutex_;
    std::vector<std::thread> threads_;
    std::thread acceptThread_;
};

struct ReceivedRequest {
    std::string head;  // request line and header lines through the empty line
    std::string body;

    std::string RequestLine() const;
    std::vector<std::string> HeaderNames() const;  // in order, as sent
    std::string Header(std::string_view name) const;  // value, "" when absent
};

class LoopbackHttpServer {
public:
    // Writes the reply for one request; may call peer.Close() to end the
    // connection afterwards. Runs on the connection's thread.
    using Responder = std::function<void(const ReceivedRequest&, PeerSocket&)>;

    explicit LoopbackHttpServer(Responder responder);

    std::uint16_t Port() const { return server_.Port(); }
    std::string Url(std::string_view path) const;
    int Connections() const { return server_.Connections(); }
    std::vector<ReceivedRequest> Requests() const;

private:
    void Serve(PeerSocket& peer);

    Responder responder_;
    mutable std::mutex mutex_;
    std::vector<ReceivedRequest> requests_;
    LoopbackServer server_;  // last: its threads use the members above
};

// "HTTP/1.1 <status>\r\nContent-Length: n\r\n<extra>\r\n<body>"
std::string HttpResponse(std::string_view status, std::string_view body, std::string_view extraHeaders = {});

}  // namespace nettest
