// Path text helpers of the file layer.
#pragma once

#include <string>

#include "foundation/errors/status.h"

// `path` as an absolute path without empty or "." components. A relative
// path is taken from the current folder; a path whose last component is
// ".." is resolved through the file system.
CStatus AbsolutePathOf(const std::string& path, std::string& absolute);

// The folder part of an absolute path ("/" for "/x"); empty for "/".
std::string ParentPathOf(const std::string& absolute);
