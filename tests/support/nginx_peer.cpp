#include "tests/support/nginx_peer.h"

#include "platform/posix/unique_fd.h"
#include "tests/support/file_bytes.h"
#include "tests/support/loopback_address.h"
#include "tests/support/unusable_places.h"

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr const char* kNginx = "/usr/sbin/nginx";
constexpr const char* kReadyPath = "/__nginx_peer_ready";
constexpr int kStartAttempts = 8;

// A TCP socket; throws when none can be made.
CUniqueFd NewSocket()
{
    CUniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.IsOpen()) throw std::system_error(errno, std::generic_category(), "socket");
    return fd;
}

// Asks the server on `port` for the readiness path; true only when the
// answer carries our token, so a stranger holding the port never counts.
bool AnswersWithToken(int port, const std::string& token)
{
    const CUniqueFd client = NewSocket();
    sockaddr_in address = LoopbackAddress(port);
    if (connect(client.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
    std::string request = std::string("GET ") + kReadyPath + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
    if (send(client.Get(), request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size()))
        return false;
    std::string answer;
    char buffer[1024];
    for (;;) {
        pollfd watch{client.Get(), POLLIN, 0};
        if (poll(&watch, 1, 2000) <= 0) return false;
        ssize_t count = recv(client.Get(), buffer, sizeof buffer, 0);
        if (count <= 0) break;
        answer.append(buffer, static_cast<std::size_t>(count));
    }
    return answer.find(token) != std::string::npos;
}

std::string Config(const TempDir& dir, const std::string& root, int port, const std::string& token,
                   const std::string& serverDirectives)
{
    const std::string& d = dir.Path();
    return "daemon off;\n"
           "master_process off;\n"
           "worker_processes 1;\n"
           "pid " + d + "/nginx.pid;\n"
           "error_log " + d + "/error.log warn;\n"
           "events { worker_connections 256; }\n"
           "http {\n"
           "  access_log " + d + "/access.log;\n"
           "  client_body_temp_path " + d + "/temp/client_body;\n"
           "  proxy_temp_path " + d + "/temp/proxy;\n"
           "  fastcgi_temp_path " + d + "/temp/fastcgi;\n"
           "  uwsgi_temp_path " + d + "/temp/uwsgi;\n"
           "  scgi_temp_path " + d + "/temp/scgi;\n"
           // Our own table, so what the tests see never depends on the host's.
           "  types {\n"
           "    text/html html htm; text/css css; application/javascript js;\n"
           "    text/plain txt; text/xml xml; application/json json;\n"
           "    image/png png; image/jpeg jpg jpeg; image/gif gif; image/svg+xml svg;\n"
           "    application/pdf pdf;\n"
           "  }\n"
           "  default_type application/octet-stream;\n"
           "  sendfile on;\n"
           "  keepalive_requests 100000;\n"
           "  server {\n"
           "    listen 127.0.0.1:" + std::to_string(port) + ";\n"
           "    server_name localhost;\n"
           "    root \"" + root + "\";\n"
           "    " + serverDirectives + "\n"
           "    location = " + kReadyPath + " { access_log off; return 200 \"" + token + "\"; }\n"
           "  }\n"
           "}\n";
}

}  // namespace

NginxPeer::NginxPeer(std::string root, double lifetimeSeconds, std::string serverDirectives)
    : mServerDirectives(std::move(serverDirectives))
{
    mReadyToken = "ready-" + mDir.Path().substr(mDir.Path().rfind('/') + 1);
    mDir.MakeFolder("temp");
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        if (TryStart(root, lifetimeSeconds, ClosedLoopbackPort())) return;
    }
    throw std::runtime_error("nginx did not start: " + ErrorLog());
}

bool NginxPeer::TryStart(const std::string& root, double lifetimeSeconds, int port)
{
    const std::string config = mDir.Write("nginx.conf", Config(mDir, root, port, mReadyToken, mServerDirectives));
    WriteFileBytes(mDir.File("error.log"), "");
    mProcess = std::make_unique<PeerProcess>(PythonPeerArgv(
        "bounded_run.py", {"--lifetime", std::to_string(lifetimeSeconds), "--", kNginx, "-e",
                           mDir.File("error.log"), "-p", mDir.Path(), "-c", config}));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (AnswersWithToken(port, mReadyToken)) {
            mPort = port;
            return true;
        }
        bool collided = ErrorLog().find("Address already in use") != std::string::npos;
        if (collided || !mProcess->Running()) {
            mProcess->Stop();
            if (collided) return false;
            throw std::runtime_error("nginx exited: " + ErrorLog());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    mProcess->Stop();
    throw std::runtime_error("nginx did not answer in time: " + ErrorLog());
}

std::string NginxPeer::BaseUrl() const
{
    return "http://127.0.0.1:" + std::to_string(mPort);
}

std::string NginxPeer::Url(std::string_view pathAndQuery) const
{
    return BaseUrl() + std::string(pathAndQuery);
}

std::string NginxPeer::AccessLog() const
{
    // nginx logs a request after its last bytes went out, so a client can
    // finish reading before the line is written. Its one worker handles
    // events in turn: once a later request is answered, every earlier line
    // is there.
    AnswersWithToken(mPort, mReadyToken);
    return ReadFileBytes(mDir.File("access.log"));
}

std::string NginxPeer::ErrorLog() const
{
    return ReadFileBytes(mDir.File("error.log"));
}

}  // namespace testsupport
