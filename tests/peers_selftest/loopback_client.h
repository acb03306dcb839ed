// A plain POSIX TCP client on 127.0.0.1 with time-outs, for exact protocol
// exchanges with the peers.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "platform/posix/unique_fd.h"

class LoopbackClient {
public:
    // Connects at once; throws when the connection is refused.
    explicit LoopbackClient(int port);
    ~LoopbackClient();
    LoopbackClient(const LoopbackClient&) = delete;
    LoopbackClient& operator=(const LoopbackClient&) = delete;

    void Send(std::string_view bytes);
    // One line with its LF; empty at end of stream or time-out.
    std::string ReadLine(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Exactly `count` bytes unless the stream ends or time runs out first.
    std::string ReadBytes(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Everything until the peer closes; stops at the time-out.
    std::string ReadToEnd(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // True when the peer has closed its side (reads end of stream in time).
    bool PeerClosed(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // True when nothing at all arrives within `quiet`.
    bool StaysQuiet(std::chrono::milliseconds quiet);
    void Close();

private:
    // Adds what arrives to mBuffer; false at end of stream or time-out.
    bool Fill(std::chrono::steady_clock::time_point deadline);

    CUniqueFd mFd;
    bool mEnded = false;
    std::string mBuffer;
};

// True when nothing listens on 127.0.0.1:port any more.
bool PortRefusesConnections(int port);
