#include "platform/net/net_status.h"

namespace net {

const char* NetErrorName(NetError error)
{
    switch (error) {
    case NetError::kNone: return "none";
    case NetError::kNotConnected: return "not connected";
    case NetError::kResolve: return "resolve";
    case NetError::kConnect: return "connect";
    case NetError::kTimedOut: return "timed out";
    case NetError::kClosed: return "closed";
    case NetError::kLineTooLong: return "line too long";
    case NetError::kTls: return "tls";
    case NetError::kIo: return "io";
    }
    return "unknown";
}

}  // namespace net
