// Internal to platform/net: one TLS client session over a connected
// non-blocking socket, with the peer verified. The caller waits on the
// socket whenever a step asks to read or write.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

namespace net {

class TlsChannel {
public:
    enum class Step { kDone, kWantRead, kWantWrite, kClosed, kFailed };

    // Null with `error` set when no session can be set up. The certificate
    // must name `host` (a name or an IP literal) and chain to `caFile` when
    // it is set, else to the system's CA store.
    static std::unique_ptr<TlsChannel> Create(int fd, const std::string& host, const std::string& caFile,
                                              std::string& error);
    ~TlsChannel();

    TlsChannel(const TlsChannel&) = delete;
    TlsChannel& operator=(const TlsChannel&) = delete;

    Step Handshake();
    Step Read(char* buffer, std::size_t capacity, std::size_t& got);
    Step Write(const char* data, std::size_t size, std::size_t& put);
    void Shutdown();  // sends close_notify if it can without waiting

    // What went wrong in the last kFailed step.
    const std::string& LastError() const { return lastError_; }

private:
    TlsChannel(SSL_CTX* context, SSL* session) : context_(context), session_(session) {}
    Step Classify(int returned);

    SSL_CTX* context_;
    SSL* session_;
    std::string lastError_;
};

}  // namespace net
