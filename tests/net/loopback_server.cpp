#include "loopback_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "foundation/text/ascii.h"
#include "tests/support/loopback_address.h"

namespace nettest {
namespace {

std::vector<std::string_view> HeaderLinesOf(std::string_view head)
{
    std::vector<std::string_view> lines;
    std::size_t start = head.find("\r\n");
    while (start != std::string_view::npos) {
        start += 2;
        const std::size_t end = head.find("\r\n", start);
        if (end == std::string_view::npos || end == start) break;
        lines.push_back(head.substr(start, end - start));
        start = end;
    }
    return lines;
}

}  // namespace

bool PeerSocket::WaitReady(short events, std::chrono::milliseconds timeout)
{
    pollfd entries[2] = {{fd_, events, 0}, {stopFd_, POLLIN, 0}};
    for (;;) {
        const int rc = poll(entries, 2, static_cast<int>(timeout.count()));
        if (rc < 0 && errno == EINTR) continue;
        if (rc <= 0 || entries[1].revents != 0) return false;
        return true;
    }
}

bool PeerSocket::Send(std::string_view bytes)
{
    while (!bytes.empty()) {
        if (!WaitReady(POLLOUT, std::chrono::seconds(10))) return false;
        const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

bool PeerSocket::ReceiveSome(std::string& into, std::chrono::milliseconds timeout)
{
    if (!WaitReady(POLLIN, timeout)) return false;
    char chunk[16384];
    const ssize_t got = recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
    if (got <= 0) return false;
    into.append(chunk, static_cast<std::size_t>(got));
    return true;
}

bool PeerSocket::Pause(std::chrono::milliseconds delay)
{
    pollfd entry{stopFd_, POLLIN, 0};
    return poll(&entry, 1, static_cast<int>(delay.count())) == 0;
}

void PeerSocket::WaitForClientClose()
{
    std::string ignored;
    while (ReceiveSome(ignored, std::chrono::seconds(30))) ignored.clear();
}

LoopbackServer::LoopbackServer(Handler handler, int receiveBufferBytes) : handler_(std::move(handler))
{
    int stopPipe[2];
    if (pipe2(stopPipe, O_CLOEXEC) != 0) std::abort();
    stopRead_.Reset(stopPipe[0]);
    stopWrite_.Reset(stopPipe[1]);
    listenFd_.Reset(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int listener = listenFd_.Get();
    const int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (receiveBufferBytes > 0) {
        // Set on the listener so accepted sockets start with the small window.
        setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &receiveBufferBytes, sizeof receiveBufferBytes);
    }
    sockaddr_in address = LoopbackAddress();
    socklen_t length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 16) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::abort();
    }
    port_ = ntohs(address.sin_port);
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

LoopbackServer::~LoopbackServer()
{
    stopWrite_.Reset();
    acceptThread_.join();
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(threadsMutex_);
        threads.swap(threads_);
    }
    for (std::thread& thread : threads) thread.join();
}

void LoopbackServer::AcceptLoop()
{
    for (;;) {
        pollfd entries[2] = {{listenFd_.Get(), POLLIN, 0}, {stopRead_.Get(), POLLIN, 0}};
        if (poll(entries, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (entries[1].revents != 0) return;
        const int fd = accept4(listenFd_.Get(), nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        ++connections_;
        std::lock_guard<std::mutex> lock(threadsMutex_);
        threads_.emplace_back([this, fd] {
            const CUniqueFd connection(fd);
            PeerSocket peer(fd, stopRead_.Get());
            handler_(peer);
        });
    }
}

std::string ReceivedRequest::RequestLine() const
{
    return head.substr(0, head.find("\r\n"));
}

std::vector<std::string> ReceivedRequest::HeaderNames() const
{
    std::vector<std::string> names;
    for (std::string_view line : HeaderLinesOf(head)) names.emplace_back(line.substr(0, line.find(':')));
    return names;
}

std::string ReceivedRequest::Header(std::string_view name) const
{
    for (std::string_view line : HeaderLinesOf(head)) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !EqualsNoCase(line.substr(0, colon), name)) continue;
        std::string_view value = line.substr(colon + 1);
        while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
        return std::string(value);
    }
    return {};
}

LoopbackHttpServer::LoopbackHttpServer(Responder responder)
    : responder_(std::move(responder)), server_([this](PeerSocket& peer) { Serve(peer); })
{
}

std::string LoopbackHttpServer::Url(std::string_view path) const
{
    return "http://127.0.0.1:" + std::to_string(Port()) + std::string(path);
}

std::vector<ReceivedRequest> LoopbackHttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void LoopbackHttpServer::Serve(PeerSocket& peer)
{
    std::string buffer;
    while (!peer.CloseRequested()) {
        std::size_t headEnd;
        while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
            if (!peer.ReceiveSome(buffer, std::chrono::seconds(30))) return;
        }
        ReceivedRequest request;
        request.head = buffer.substr(0, headEnd + 4);
        buffer.erase(0, headEnd + 4);
        const std::string length = request.Header("Content-Length");
        const std::size_t bodyLength = length.empty() ? 0 : std::stoul(length);
        while (buffer.size() < bodyLength) {
            if (!peer.ReceiveSome(buffer, std::chrono::seconds(30))) return;
        }
        request.body = buffer.substr(0, bodyLength);
        buffer.erase(0, bodyLength);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(request);
        }
        responder_(request, peer);
    }
}

std::string HttpResponse(std::string_view status, std::string_view body, std::string_view extraHeaders)
{
    std::string response = "HTTP/1.1 " + std::string(status) + "\r\nContent-Length: " + std::to_string(body.size()) +
                           "\r\n" + std::string(extraHeaders) + "\r\n";
    response += body;
    return response;
}

}  // namespace nettest
