#include "platform/net/tls_channel.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdint>

#include "platform/net/socket_wait.h"

namespace net {
namespace {

// OpenSSL's own socket BIO writes with write(2), which raises SIGPIPE when
// the peer has gone; ours sends with MSG_NOSIGNAL so a dead mail server is a
// returned error, not a killed program.
int SocketOf(BIO* bio)
{
    return static_cast<int>(reinterpret_cast<std::intptr_t>(BIO_get_data(bio)));
}

bool IsRetryable(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

int BioWrite(BIO* bio, const char* data, int size)
{
    BIO_clear_retry_flags(bio);
    const ssize_t sent = send(SocketOf(bio), data, static_cast<std::size_t>(size), MSG_NOSIGNAL);
    if (sent >= 0) return static_cast<int>(sent);
    if (IsRetryable(errno)) BIO_set_retry_write(bio);
    return -1;
}

int BioRead(BIO* bio, char* data, int size)
{
    BIO_clear_retry_flags(bio);
    const ssize_t got = recv(SocketOf(bio), data, static_cast<std::size_t>(size), 0);
    if (got >= 0) return static_cast<int>(got);
    if (IsRetryable(errno)) BIO_set_retry_read(bio);
    return -1;
}

long BioControl(BIO*, int command, long, void*)
{
    return command == BIO_CTRL_FLUSH ? 1 : 0;
}

int BioCreate(BIO* bio)
{
    BIO_set_init(bio, 1);
    return 1;
}

const BIO_METHOD* SocketMethod()
{
    static const BIO_METHOD* method = [] {
        BIO_METHOD* made = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "tidewell socket");
        if (made == nullptr) return static_cast<BIO_METHOD*>(nullptr);
        BIO_meth_set_write(made, BioWrite);
        BIO_meth_set_read(made, BioRead);
        BIO_meth_set_ctrl(made, BioControl);
        BIO_meth_set_create(made, BioCreate);
        return made;
    }();
    return method;
}

std::string OpenSslErrors()
{
    std::string text;
    while (const unsigned long code = ERR_get_error()) {
        char buffer[256];
        ERR_error_string_n(code, buffer, sizeof buffer);
        if (!text.empty()) text += "; ";
        text += buffer;
    }
    return text;
}

bool IsIpLiteral(const std::string& host)
{
    unsigned char address[16];
    return inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1;
}

}  // namespace

std::unique_ptr<TlsChannel> TlsChannel::Create(int fd, const std::string& host, const std::string& caFile,
                                               std::string& error)
{
    ERR_clear_error();
    const BIO_METHOD* method = SocketMethod();
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    if (method == nullptr || context == nullptr) {
        error = "cannot set up TLS: " + OpenSslErrors();
        SSL_CTX_free(context);
        return nullptr;
    }
    SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
#ifdef SSL_OP_IGNORE_UNEXPECTED_EOF
    // A peer that closes without close_notify has closed; replies are framed
    // by the protocol, so nothing can be cut off unnoticed.
    SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF);
#endif
    const int loaded = caFile.empty() ? SSL_CTX_set_default_verify_paths(context)
                                      : SSL_CTX_load_verify_locations(context, caFile.c_str(), nullptr);
    SSL* session = loaded == 1 ? SSL_new(context) : nullptr;
    BIO* bio = session != nullptr ? BIO_new(method) : nullptr;
    if (bio == nullptr) {
        error = "cannot set up TLS: " + OpenSslErrors();
        SSL_free(session);
        SSL_CTX_free(context);
        return nullptr;
    }
    std::unique_ptr<TlsChannel> channel(new TlsChannel(context, session));
    BIO_set_data(bio, reinterpret_cast<void*>(static_cast<std::intptr_t>(fd)));
    SSL_set_bio(session, bio, bio);  // the session owns the BIO now
    SSL_set_mode(session, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    X509_VERIFY_PARAM* param = SSL_get0_param(session);
    X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    bool named = false;
    if (IsIpLiteral(host)) {
        named = X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str()) == 1;
    } else {
        named = SSL_set1_host(session, host.c_str()) == 1 && SSL_set_tlsext_host_name(session, host.c_str()) == 1;
    }
    if (!named) {
        error = "cannot set the TLS peer name: " + OpenSslErrors();
        return nullptr;
    }
    return channel;
}

TlsChannel::~TlsChannel()
{
    SSL_free(session_);
    SSL_CTX_free(context_);
}

TlsChannel::Step TlsChannel::Classify(int returned)
{
    const int savedErrno = errno;
    switch (SSL_get_error(session_, returned)) {
    case SSL_ERROR_WANT_READ: return Step::kWantRead;
    case SSL_ERROR_WANT_WRITE: return Step::kWantWrite;
    case SSL_ERROR_ZERO_RETURN: return Step::kClosed;
    case SSL_ERROR_SYSCALL: {
        std::string queued = OpenSslErrors();
        if (queued.empty() && (returned == 0 || savedErrno == ECONNRESET || savedErrno == EPIPE)) {
            return Step::kClosed;
        }
        lastError_ = queued.empty() ? detail::ErrnoText(savedErrno) : queued;
        return Step::kFailed;
    }
    default: {
        const long verified = SSL_get_verify_result(session_);
        lastError_ = verified != X509_V_OK
                         ? std::string("certificate not trusted: ") + X509_verify_cert_error_string(verified)
                         : OpenSslErrors();
        ERR_clear_error();
        if (lastError_.empty()) lastError_ = "TLS failure";
        return Step::kFailed;
    }
    }
}

TlsChannel::Step TlsChannel::Handshake()
{
    ERR_clear_error();
    const int returned = SSL_connect(session_);
    return returned == 1 ? Step::kDone : Classify(returned);
}

TlsChannel::Step TlsChannel::Read(char* buffer, std::size_t capacity, std::size_t& got)
{
    ERR_clear_error();
    got = 0;
    const int returned = SSL_read_ex(session_, buffer, capacity, &got);
    return returned == 1 ? Step::kDone : Classify(returned);
}

TlsChannel::Step TlsChannel::Write(const char* data, std::size_t size, std::size_t& put)
{
    ERR_clear_error();
    put = 0;
    const int returned = SSL_write_ex(session_, data, size, &put);
    return returned == 1 ? Step::kDone : Classify(returned);
}

void TlsChannel::Shutdown()
{
    ERR_clear_error();
    SSL_shutdown(session_);
    ERR_clear_error();
}

}  // namespace net
