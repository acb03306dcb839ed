#include "tests/support/file_bytes.h"

#include "tests/support/json_value.h"

#include <cerrno>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace testsupport {

std::string ReadFileBytes(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return {};
        throw std::system_error(errno, std::generic_category(), "open " + path);
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            int error = errno;
            close(fd);
            throw std::system_error(error, std::generic_category(), "read " + path);
        }
        if (count == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    close(fd);
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
