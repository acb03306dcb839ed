// Whole-file reads and writes for test set-up and for reading peers' logs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

class JsonValue;

// The file's bytes; empty when it does not exist (or is the /proc entry of a
// process that has just ended). Throws on other errors.
std::string ReadFileBytes(const std::string& path);
// Replaces the file's contents; throws on failure.
void WriteFileBytes(const std::string& path, std::string_view bytes);
// Every complete line of a JSON-lines file, parsed; a line still being
// written (no newline yet) is left for the next read.
std::vector<JsonValue> ReadJsonLines(const std::string& path);

}  // namespace testsupport
