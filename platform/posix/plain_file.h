// Opening a file a user or a site may have swapped for something else: only
// a plain (regular) file is taken, and the open itself never waits on a pipe.
#pragma once

#include <sys/types.h>

#include "platform/posix/unique_fd.h"

// Opens `path` with `flags` (and `mode` when they create) into `out`. The
// descriptor blocks as usual once open. 0, or a negative status: -EISDIR for
// a folder, -EINVAL for anything else that is not a regular file, or the
// open's own.
int OpenPlainFile(const char* path, int flags, mode_t mode, CUniqueFd& out);
