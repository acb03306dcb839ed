// Status codes of the file layer.
//
// Every routine that reports a status returns 0 on success and a negative
// errno value on failure (-ENOENT when an item is missing, -ENOTDIR when a
// file stands where a folder is needed, -ENOTSUP when the file system keeps
// no user attributes, ...). Only -ENOENT means "missing": every other error
// is a failure the caller must not take for absence. Routines that answer a
// question return 1 for yes and 0 for no, with the same negative errors.
#pragma once

#include <cerrno>

#include "platform/posix/errno_status.h"

// The name is already taken (the crawl's "do not overwrite" answer).
inline constexpr int kStatusDuplicateName = -EEXIST;
// The operation has no meaning on this platform (inter-application events,
// process look-ups); such routines do nothing and return this.
inline constexpr int kStatusNoLinuxMeaning = -ENOSYS;
