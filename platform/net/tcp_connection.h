// A TCP client connection for line-based protocols (the mail sender): connect,
// send, read reply lines, upgrade to TLS in place. Every call blocks for at
// most its time-out, so run it on a worker OS thread, never on a fiber.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/net/net_status.h"
#include "platform/posix/unique_fd.h"

namespace net {

class TlsChannel;

class TcpConnection {
public:
    static constexpr std::size_t kDefaultMaxLineLength = 4096;

    TcpConnection();
    ~TcpConnection();  // closes

    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // Tries each address of `host` (IPv4 and IPv6) until one answers; the
    // time-out covers all attempts (name resolution is not bounded by it).
    // Closes a connection that is already open first.
    NetStatus Connect(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout);

    // Sends every byte, however the kernel splits the writes.
    NetStatus SendAll(std::string_view bytes, std::chrono::milliseconds timeout);

    // One line without its CR LF (or bare LF). A line longer than `maxLength`
    // bytes is refused with kLineTooLong instead of growing without bound;
    // the connection is then out of step and should be closed.
    NetStatus ReadLine(std::string& line, std::chrono::milliseconds timeout,
                       std::size_t maxLength = kDefaultMaxLineLength);

    // Upgrades the connection to TLS after the server agreed to STARTTLS. The
    // peer's certificate must be valid for the host given to Connect, checked
    // against the system's CA store, or against `caFile` only when it is set
    // (tests). Refused when the server sent anything past its agreement, as
    // such bytes would pass for protected data.
    NetStatus StartTls(std::chrono::milliseconds timeout, const std::string& caFile = {});

    void Close();

    bool IsOpen() const { return fd_.IsOpen(); }
    bool IsEncrypted() const { return tls_ != nullptr; }

    // This end's numeric address ("192.0.2.7", "::1"), empty when closed.
    std::string LocalAddress() const;

private:
    // Reads what is available into the buffer, waiting up to the deadline.
    NetStatus FillBuffer(std::chrono::steady_clock::time_point deadline);

    CUniqueFd fd_;
    std::string host_;
    std::unique_ptr<TlsChannel> tls_;
    std::string pending_;  // received bytes not yet returned as lines
};

}  // namespace net
