// Whole-file writes for files that hold passwords.
#pragma once

#include <string>
#include <string_view>

#include "foundation/errors/status.h"

// Writes `bytes` as the whole file `name` in the folder `folderPath`, mode
// 0600 from the moment it exists: a temporary file beside it is written,
// flushed and then renamed into place, so the old file stays whole until the
// new one replaces it. Without `replace`, the file is only put in place when
// the name is free (-EEXIST otherwise, nothing changed). A failure's code is
// a negative errno value; on failure no temporary file is left.
CStatus WritePrivateFile(const std::string& folderPath, const std::string& name, std::string_view bytes, bool replace);
