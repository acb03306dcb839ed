// The status convention of every layer: 0 for success, a negative errno
// value for a failure (the program's own negative codes are listed in
// foundation/errors/status_codes.h, outside the errno range).
#pragma once

#include <cerrno>

// The status of the call that just failed (never 0, even if errno was not set).
inline int ErrnoStatus() { return errno > 0 ? -errno : -EIO; }
