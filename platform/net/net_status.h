// Result of a blocking socket call: success, or what went wrong and a text
// for the log. Calls of this layer report failures this way and never throw.
#pragma once

#include <string>
#include <utility>

namespace net {

enum class NetError {
    kNone = 0,
    kNotConnected,  // no connection, or the call does not fit its state
    kResolve,       // the host name has no address
    kConnect,       // every address refused or failed
    kTimedOut,      // the call's time-out ran out
    kClosed,        // the peer closed or reset the connection
    kLineTooLong,   // a reply line passed the length cap
    kTls,           // handshake, certificate or TLS record failure
    kIo,            // any other socket error
};

struct NetStatus {
    NetError error = NetError::kNone;
    std::string text;

    bool ok() const { return error == NetError::kNone; }

    static NetStatus Ok() { return {}; }
    static NetStatus Failure(NetError error, std::string text) { return {error, std::move(text)}; }
};

// Name of an error kind for logs and test messages.
const char* NetErrorName(NetError error);

}  // namespace net
