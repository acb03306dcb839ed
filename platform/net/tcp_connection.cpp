#include "platform/net/tcp_connection.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/net/socket_wait.h"
#include "platform/net/tls_channel.h"

namespace net {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kReadChunk = 4096;

NetStatus SocketFailure(const char* what, int error)
{
    if (error == EPIPE || error == ECONNRESET) {
        return NetStatus::Failure(NetError::kClosed, "the server closed the connection");
    }
    return NetStatus::Failure(NetError::kIo, std::string(what) + ": " + detail::ErrnoText(error));
}

// One non-blocking connect attempt to one address.
NetStatus ConnectOne(const addrinfo& address, Clock::time_point deadline, CUniqueFd& connected)
{
    CUniqueFd fd(socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol));
    if (!fd.IsOpen()) return SocketFailure("socket", errno);
    if (connect(fd.Get(), address.ai_addr, address.ai_addrlen) != 0 && errno != EINPROGRESS && errno != EINTR)
        return NetStatus::Failure(NetError::kConnect, detail::ErrnoText(errno));
    NetStatus waited = detail::WaitForSocket(fd.Get(), POLLOUT, deadline);
    int error = 0;
    socklen_t length = sizeof error;
    if (waited.ok() && getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    if (!waited.ok() || error != 0)
        return waited.ok() ? NetStatus::Failure(NetError::kConnect, detail::ErrnoText(error)) : waited;
    // Commands go out whole; Nagle would only delay each round trip.
    const int on = 1;
    setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    connected = std::move(fd);
    return NetStatus::Ok();
}

}  // namespace

TcpConnection::TcpConnection() = default;

TcpConnection::~TcpConnection()
{
    Close();
}

NetStatus TcpConnection::Connect(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout)
{
    Close();
    const auto deadline = Clock::now() + timeout;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* addresses = nullptr;
    const int resolved = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses);
    if (resolved != 0) {
        return NetStatus::Failure(NetError::kResolve, "cannot resolve " + host + ": " + gai_strerror(resolved));
    }
    NetStatus last = NetStatus::Failure(NetError::kResolve, "no address for " + host);
    for (const addrinfo* address = addresses; address != nullptr; address = address->ai_next) {
        last = ConnectOne(*address, deadline, fd_);
        if (last.ok()) {
            host_ = host;
            break;
        }
        if (last.error == NetError::kTimedOut) break;
    }
    freeaddrinfo(addresses);
    if (!last.ok()) last.text = "cannot connect to " + host + " port " + std::to_string(port) + ": " + last.text;
    return last;
}

NetStatus TcpConnection::SendAll(std::string_view bytes, std::chrono::milliseconds timeout)
{
    if (!fd_.IsOpen()) return NetStatus::Failure(NetError::kNotConnected, "not connected");
    const auto deadline = Clock::now() + timeout;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        short waitFor = POLLOUT;
        if (tls_ != nullptr) {
            std::size_t put = 0;
            switch (tls_->Write(bytes.data() + sent, bytes.size() - sent, put)) {
            case TlsChannel::Step::kDone: sent += put; continue;
            case TlsChannel::Step::kWantRead: waitFor = POLLIN; break;
            case TlsChannel::Step::kWantWrite: break;
            case TlsChannel::Step::kClosed:
                return NetStatus::Failure(NetError::kClosed, "the server closed the connection");
            case TlsChannel::Step::kFailed: return NetStatus::Failure(NetError::kTls, tls_->LastError());
            }
        } else {
            const ssize_t put = send(fd_.Get(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (put > 0) {
                sent += static_cast<std::size_t>(put);
                continue;
            }
            if (put < 0 && errno == EINTR) continue;
            if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return SocketFailure("send", errno);
        }
        NetStatus waited = detail::WaitForSocket(fd_.Get(), waitFor, deadline);
        if (!waited.ok()) return waited;
    }
    return NetStatus::Ok();
}

NetStatus TcpConnection::ReadLine(std::string& line, std::chrono::milliseconds timeout, std::size_t maxLength)
{
    line.clear();
    if (!fd_.IsOpen()) return NetStatus::Failure(NetError::kNotConnected, "not connected");
    const auto deadline = Clock::now() + timeout;
    std::size_t scanned = 0;
    for (;;) {
        const std::size_t end = pending_.find('\n', scanned);
        if (end != std::string::npos) {
            std::size_t length = end;
            if (length > 0 && pending_[length - 1] == '\r') --length;
            if (length > maxLength) break;
            line.assign(pending_, 0, length);
            pending_.erase(0, end + 1);
            return NetStatus::Ok();
        }
        scanned = pending_.size();
        if (pending_.size() > maxLength + 1) break;  // + 1: a CR may still come before the LF
        NetStatus filled = FillBuffer(deadline);
        if (!filled.ok()) return filled;
    }
    pending_.clear();
    return NetStatus::Failure(NetError::kLineTooLong,
                              "the server sent a line longer than " + std::to_string(maxLength) + " bytes");
}

NetStatus TcpConnection::FillBuffer(Clock::time_point deadline)
{
    char chunk[kReadChunk];
    for (;;) {
        short waitFor = POLLIN;
        if (tls_ != nullptr) {
            std::size_t got = 0;
            switch (tls_->Read(chunk, sizeof chunk, got)) {
            case TlsChannel::Step::kDone: pending_.append(chunk, got); return NetStatus::Ok();
            case TlsChannel::Step::kWantRead: break;
            case TlsChannel::Step::kWantWrite: waitFor = POLLOUT; break;
            case TlsChannel::Step::kClosed:
                return NetStatus::Failure(NetError::kClosed, "the server closed the connection");
            case TlsChannel::Step::kFailed: return NetStatus::Failure(NetError::kTls, tls_->LastError());
            }
        } else {
            const ssize_t got = recv(fd_.Get(), chunk, sizeof chunk, 0);
            if (got > 0) {
                pending_.append(chunk, static_cast<std::size_t>(got));
                return NetStatus::Ok();
            }
            if (got == 0) return NetStatus::Failure(NetError::kClosed, "the server closed the connection");
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) return SocketFailure("recv", errno);
        }
        NetStatus waited = detail::WaitForSocket(fd_.Get(), waitFor, deadline);
        if (!waited.ok()) return waited;
    }
}

NetStatus TcpConnection::StartTls(std::chrono::milliseconds timeout, const std::string& caFile)
{
    if (!fd_.IsOpen()) return NetStatus::Failure(NetError::kNotConnected, "not connected");
    if (tls_ != nullptr) return NetStatus::Failure(NetError::kTls, "TLS is already on");
    // A failed upgrade closes the connection: nothing may go on in plain text.
    if (!pending_.empty()) {
        Close();
        return NetStatus::Failure(NetError::kTls, "the server sent data before the TLS handshake");
    }
    const auto deadline = Clock::now() + timeout;
    std::string error;
    std::unique_ptr<TlsChannel> channel = TlsChannel::Create(fd_.Get(), host_, caFile, error);
    if (channel == nullptr) {
        Close();
        return NetStatus::Failure(NetError::kTls, error);
    }
    for (;;) {
        short waitFor = POLLIN;
        switch (channel->Handshake()) {
        case TlsChannel::Step::kDone: tls_ = std::move(channel); return NetStatus::Ok();
        case TlsChannel::Step::kWantRead: break;
        case TlsChannel::Step::kWantWrite: waitFor = POLLOUT; break;
        case TlsChannel::Step::kClosed:
            Close();
            return NetStatus::Failure(NetError::kTls, "the server closed the connection during the TLS handshake");
        case TlsChannel::Step::kFailed: {
            NetStatus failed = NetStatus::Failure(NetError::kTls, "TLS handshake failed: " + channel->LastError());
            Close();
            return failed;
        }
        }
        NetStatus waited = detail::WaitForSocket(fd_.Get(), waitFor, deadline);
        if (!waited.ok()) {
            Close();
            return waited;
        }
    }
}

void TcpConnection::Close()
{
    if (tls_ != nullptr) {
        tls_->Shutdown();
        tls_.reset();
    }
    fd_.Reset();
    pending_.clear();
    host_.clear();
}

std::string TcpConnection::LocalAddress() const
{
    if (!fd_.IsOpen()) return {};
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(fd_.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) return {};
    char text[INET6_ADDRSTRLEN] = {};
    const void* bytes = address.ss_family == AF_INET6
                            ? static_cast<const void*>(&reinterpret_cast<const sockaddr_in6*>(&address)->sin6_addr)
                            : static_cast<const void*>(&reinterpret_cast<const sockaddr_in*>(&address)->sin_addr);
    if (inet_ntop(address.ss_family, bytes, text, sizeof text) == nullptr) return {};
    return text;
}

}  // namespace net
