// Small services on single files that the windows and the engine share.
#pragma once

#include <sys/types.h>

#include "foundation/errors/status.h"
#include "foundation/files/file_ref.h"

// True when the name's extension is "webloc" in any case.
[[nodiscard]] bool IsWeblocFile(const CFileRef& file);

// Adds read and write permission for owner, group and others as far as the
// umask allows (0666 less the umask), keeping the other mode bits; never
// makes an item writable beyond what a new file would be. A symbolic link
// gives -ELOOP (its target is not changed).
CStatus AddReadWritePermissions(const CFileRef& item);

// The process's umask, read without changing it.
mode_t CurrentUmask();
