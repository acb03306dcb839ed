#include "tests/support/file_bytes.h"

#include "platform/posix/atomic_file.h"
#include "tests/support/json_value.h"

#include <cerrno>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace testsupport {

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    const int status = ::ReadFileBytes(path, bytes);
    // A /proc entry of a process reaped between open and read reads as ESRCH:
    // it is gone just as a missing file is.
    if (status == -ENOENT || status == -ESRCH) return {};
    if (status != 0) throw std::system_error(-status, std::generic_category(), "read " + path);
    return bytes;
}

void WriteFileBytes(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<JsonValue> ReadJsonLines(const std::string& path)
{
    std::string text = ReadFileBytes(path);
    std::vector<JsonValue> records;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string_view line(text.data() + start, end - start);
        if (!line.empty()) records.push_back(JsonValue::Parse(line));
    }
    return records;
}

}  // namespace testsupport
