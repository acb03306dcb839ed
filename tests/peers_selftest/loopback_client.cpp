#include "loopback_client.h"

#include "tests/support/loopback_address.h"

#include <cerrno>
#include <stdexcept>
#include <system_error>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

LoopbackClient::LoopbackClient(int port) : mFd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
{
    if (!mFd.IsOpen()) throw std::system_error(errno, std::generic_category(), "socket");
    sockaddr_in address = LoopbackAddress(port);
    if (connect(mFd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::system_error(errno, std::generic_category(), "connect");
}

LoopbackClient::~LoopbackClient()
{
    Close();
}

void LoopbackClient::Close()
{
    mFd.Reset();
}

void LoopbackClient::Send(std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t sent = send(mFd.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent < 0) throw std::system_error(errno, std::generic_category(), "send");
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

bool LoopbackClient::Fill(Clock::time_point deadline)
{
    if (mEnded) return false;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left < 0) left = 0;
    pollfd watch{mFd.Get(), POLLIN, 0};
    int ready = poll(&watch, 1, static_cast<int>(left));
    if (ready <= 0) return false;
    char chunk[4096];
    ssize_t count = recv(mFd.Get(), chunk, sizeof chunk, 0);
    if (count <= 0) {
        mEnded = true;
        return false;
    }
    mBuffer.append(chunk, static_cast<std::size_t>(count));
    return true;
}

std::string LoopbackClient::ReadLine(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    std::size_t end;
    while ((end = mBuffer.find('\n')) == std::string::npos) {
        if (!Fill(deadline)) return {};
    }
    std::string line = mBuffer.substr(0, end + 1);
    mBuffer.erase(0, end + 1);
    return line;
}

std::string LoopbackClient::ReadBytes(std::size_t count, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (mBuffer.size() < count && Fill(deadline)) {
    }
    std::string bytes = mBuffer.substr(0, count);
    mBuffer.erase(0, bytes.size());
    return bytes;
}

std::string LoopbackClient::ReadToEnd(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (Fill(deadline)) {
    }
    std::string bytes;
    bytes.swap(mBuffer);
    return bytes;
}

bool LoopbackClient::PeerClosed(std::chrono::milliseconds timeout)
{
    ReadToEnd(timeout);
    return mEnded;
}

bool LoopbackClient::StaysQuiet(std::chrono::milliseconds quiet)
{
    return !Fill(Clock::now() + quiet) && !mEnded && mBuffer.empty();
}

bool PortRefusesConnections(int port)
{
    const CUniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address = LoopbackAddress(port);
    return connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 && errno == ECONNREFUSED;
}
