// Internal to platform/net: waiting on one non-blocking socket until a
// deadline.
#pragma once

#include <chrono>
#include <string>

#include "platform/net/net_status.h"

namespace net::detail {

// Waits until `fd` is ready for `events` (POLLIN, POLLOUT): kTimedOut when
// the deadline passes first, kIo when poll fails. Signals do not cut it short.
NetStatus WaitForSocket(int fd, short events, std::chrono::steady_clock::time_point deadline);

// The text of an errno value.
std::string ErrnoText(int error);

}  // namespace net::detail
