// Writing the downloaded archive: a new file, never in place of one.
#pragma once

#include <string>
#include <string_view>

// Writes `bytes` whole (a temporary file beside it, then a rename that never
// replaces) as `name` in `folder`, mode 0644; when the name is taken, under a
// unique variant of it. 0 with the file's path, or a negative errno value
// (nothing is left behind then).
int WriteNewFile(const std::string& folder, const std::string& name, std::string_view bytes, std::string& outPath);
