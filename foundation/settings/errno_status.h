// The negative errno status of the last failed call (never 0).
#pragma once

#include <cerrno>

inline int LastErrnoStatus() { return errno > 0 ? -errno : -EIO; }
