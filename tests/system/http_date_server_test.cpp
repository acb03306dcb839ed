// The dates we write must be ones servers accept: nginx ignores an
// If-Modified-Since whose day lacks its leading zero, which would make every
// re-grab download unchanged files again.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include "foundation/system/http_dates.h"
#include "platform/posix/unique_fd.h"
#include "tests/support/loopback_address.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/temp_dir.h"

namespace {

// The status code of a GET with the given If-Modified-Since; 0 on failure.
int StatusWithIfModifiedSince(int port, const std::string& path, const std::string& date)
{
    const CUniqueFd socketFd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socketFd.IsOpen()) return 0;
    const int fd = socketFd.Get();
    sockaddr_in address = LoopbackAddress(port);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        std::string request =
            "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\nIf-Modified-Since: " + date + "\r\n\r\n";
        if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
            char buffer[1024];
            pollfd watch{fd, POLLIN, 0};
            while (::poll(&watch, 1, 5000) > 0) {
                ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
                if (count <= 0) break;
                answer.append(buffer, static_cast<std::size_t>(count));
            }
        }
    }
    if (answer.rfind("HTTP/1.", 0) != 0 || answer.size() < 12) return 0;
    return std::stoi(answer.substr(9, 3));
}

TEST(HttpDateServer, NginxHonoursOurIfModifiedSince)
{
    testsupport::TempDir site;
    struct Row {
        const char* file;
        std::int64_t modified;
    } rows[] = {
        {"early.html", 1796634303},  // Mon, 07 Dec 2026 09:05:03: a one-digit day
        {"late.html", 784111777},    // Sun, 06 Nov 1994 08:49:37
        {"tenth.html", 1704880800},  // Wed, 10 Jan 2024 10:00:00
    };
    for (const Row& row : rows) {
        std::string path = site.Write(row.file, "<html></html>");
        utimbuf times{static_cast<time_t>(row.modified), static_cast<time_t>(row.modified)};
        ASSERT_EQ(::utime(path.c_str(), &times), 0);
    }
    testsupport::NginxPeer nginx(site.Path(), 60);
    for (const Row& row : rows) {
        CFixedString255 date;
        FormatHTTPDate(row.modified, date);
        EXPECT_EQ(StatusWithIfModifiedSince(nginx.Port(), std::string("/") + row.file, date.c_str()), 304)
            << date.c_str();
        FormatHTTPDate(row.modified - 86400, date);
        EXPECT_EQ(StatusWithIfModifiedSince(nginx.Port(), std::string("/") + row.file, date.c_str()), 200)
            << "a day older is not the same date: " << date.c_str();
    }
}

}  // namespace
