#include "app/main/single_instance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QVariant>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/posix/unique_fd.h"

namespace {

// More than any command line holds; a peer that sends more is cut off.
constexpr qint64 kMaxHandOverBytes = 4 * 1024 * 1024;
constexpr int kClientTimeoutMs = 5000;
constexpr int kServerReadTimeoutMs = 10000;
const std::string kHandOverMagic = "TIDEWELL-ARGS ";

bool IsPrivateFolder(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
           (info.st_mode & 077) == 0;
}

bool WaitFor(int fd, short events, int timeoutMs)
{
    pollfd entry{fd, events, 0};
    int ready;
    do {
        ready = poll(&entry, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

bool SendAll(int fd, const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        if (!WaitFor(fd, POLLOUT, kClientTimeoutMs)) return false;
        ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool PeerIsSameUser(qintptr descriptor)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) return false;
    return credentials.uid == getuid();
}

}  // namespace

std::optional<std::string> InstanceSocketPath()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime != '/' || !IsPrivateFolder(runtime)) return std::nullopt;
    std::string folder = std::string(runtime) + "/tidewell";
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
    if (!IsPrivateFolder(folder)) return std::nullopt;
    std::string path = folder + "/instance";
    if (path.size() >= sizeof(sockaddr_un{}.sun_path)) return std::nullopt;
    return path;
}

bool HandOverArguments(const std::string& socketPath, const std::vector<std::string>& arguments)
{
    const CUniqueFd socketFd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socketFd.IsOpen()) return false;
    const int fd = socketFd.Get();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), std::min(socketPath.size(), sizeof address.sun_path - 1));
    bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (!connected && errno == EINPROGRESS && WaitFor(fd, POLLOUT, kClientTimeoutMs)) {
        int error = 0;
        socklen_t size = sizeof error;
        connected = getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    std::string payload = JoinHandedArguments(arguments);
    bool accepted = false;
    if (connected && SendAll(fd, payload)) {
        std::string answer;
        char chunk[16];
        while (answer.size() < 3 && WaitFor(fd, POLLIN, kClientTimeoutMs)) {
            ssize_t n = recv(fd, chunk, sizeof chunk, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            answer.append(chunk, static_cast<std::size_t>(n));
        }
        accepted = answer.rfind("OK\n", 0) == 0;
    }
    return accepted;
}

std::string JoinHandedArguments(const std::vector<std::string>& arguments)
{
    std::string payload = kHandOverMagic + std::to_string(arguments.size()) + "\n";
    for (const std::string& argument : arguments) {
        payload += argument;
        payload += '\0';
    }
    return payload;
}

std::optional<std::vector<std::string>> SplitHandedArguments(const std::string& bytes)
{
    std::string_view rest = bytes;
    if (rest.substr(0, kHandOverMagic.size()) != kHandOverMagic) return std::nullopt;
    rest.remove_prefix(kHandOverMagic.size());
    std::size_t newline = rest.find('\n');
    if (newline == std::string_view::npos || newline == 0 || newline > 9) return std::nullopt;
    std::size_t count = 0;
    for (char digit : rest.substr(0, newline)) {
        if (digit < '0' || digit > '9') return std::nullopt;
        count = count * 10 + static_cast<std::size_t>(digit - '0');
    }
    rest.remove_prefix(newline + 1);
    std::vector<std::string> arguments;
    while (arguments.size() < count) {
        std::size_t end = rest.find('\0');
        if (end == std::string_view::npos) return std::nullopt;
        arguments.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end + 1);
    }
    return arguments;
}

struct CInstanceServer::SImpl {
    Handler handler;
    QLocalServer server;

    void Accept(QLocalSocket* socket)
    {
        if (!PeerIsSameUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        auto buffer = std::make_shared<QByteArray>();
        auto timer = new QTimer(socket);
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, socket, [socket] { socket->abort(); });
        timer->start(kServerReadTimeoutMs);
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, buffer] {
            if (buffer->isEmpty() && socket->property("done").toBool()) return;
            buffer->append(socket->readAll());
            if (buffer->size() > kMaxHandOverBytes) {
                socket->abort();
                return;
            }
            std::optional<std::vector<std::string>> arguments = SplitHandedArguments(buffer->toStdString());
            if (!arguments) {
                // Not ours at all: no need to wait for more.
                if (buffer->size() >= static_cast<qsizetype>(kHandOverMagic.size()) &&
                    !buffer->startsWith(QByteArray::fromStdString(kHandOverMagic)))
                    socket->abort();
                return;
            }
            buffer->clear();
            socket->setProperty("done", true);
            socket->write("OK\n");
            socket->disconnectFromServer();
            // Opened after this handler returns, from the main loop.
            QTimer::singleShot(0, &server, [this, arguments = std::move(*arguments)] { handler(arguments); });
        });
        QObject::connect(socket, &QLocalSocket::disconnected, socket, [socket] { socket->deleteLater(); });
    }
};

CInstanceServer::CInstanceServer(Handler handler) : mImpl(std::make_unique<SImpl>())
{
    mImpl->handler = std::move(handler);
    mImpl->server.setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(&mImpl->server, &QLocalServer::newConnection, &mImpl->server, [impl = mImpl.get()] {
        while (QLocalSocket* socket = impl->server.nextPendingConnection()) impl->Accept(socket);
    });
}

CInstanceServer::~CInstanceServer() = default;

bool CInstanceServer::Listen(const std::string& socketPath)
{
    QString path = QString::fromStdString(socketPath);
    if (mImpl->server.listen(path)) return true;
    // Nobody answered there (we asked before): a socket left by a crash.
    QLocalServer::removeServer(path);
    return mImpl->server.listen(path);
}
