#include "platform/xattr/item_attributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/posix/errno_status.h"

namespace {

// Reads through `get(buffer, size)`, which behaves like getxattr: the value
// may grow between the size query and the read, so retry on ERANGE.
template <typename Get>
int ReadGrowing(Get get, std::string& value)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        ssize_t size = get(nullptr, 0);
        if (size < 0) return ErrnoStatus();
        std::string buffer(static_cast<std::size_t>(size), '\0');
        ssize_t got = get(buffer.data(), buffer.size());
        if (got >= 0) {
            buffer.resize(static_cast<std::size_t>(got));
            value = std::move(buffer);
            return 0;
        }
        if (errno != ERANGE) return ErrnoStatus();
    }
    return -ERANGE;
}

std::string CodeText(std::uint32_t code)
{
    std::string text(4, '\0');
    for (int i = 0; i < 4; ++i) text[i] = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
    return text;
}

}  // namespace

int ReadItemAttribute(const char* path, const char* name, std::string& value)
{
    return ReadGrowing([&](char* buffer, std::size_t size) { return ::lgetxattr(path, name, buffer, size); },
                       value);
}

int WriteItemAttribute(const char* path, const char* name, std::string_view value)
{
    return ::lsetxattr(path, name, value.data(), value.size(), 0) == 0 ? 0 : ErrnoStatus();
}

int RemoveItemAttribute(const char* path, const char* name)
{
    return ::lremovexattr(path, name) == 0 ? 0 : ErrnoStatus();
}

int ReadOpenItemAttribute(int fd, const char* name, std::string& value)
{
    return ReadGrowing([&](char* buffer, std::size_t size) { return ::fgetxattr(fd, name, buffer, size); }, value);
}

int WriteOpenItemAttribute(int fd, const char* name, std::string_view value)
{
    return ::fsetxattr(fd, name, value.data(), value.size(), 0) == 0 ? 0 : ErrnoStatus();
}

int CopyUserAttributes(int fromFd, int toFd)
{
    std::string names;
    int status = ReadGrowing([&](char* buffer, std::size_t size) { return ::flistxattr(fromFd, buffer, size); },
                             names);
    if (status == -ENOTSUP) return 0;
    if (status != 0) return status;
    for (std::size_t at = 0; at < names.size();) {
        const char* name = names.c_str() + at;
        std::size_t length = std::strlen(name);
        at += length + 1;
        if (std::strncmp(name, "user.", 5) != 0) continue;
        std::string value;
        status = ReadOpenItemAttribute(fromFd, name, value);
        if (status == -ENODATA) continue;  // removed meanwhile
        if (status == 0) status = WriteOpenItemAttribute(toFd, name, value);
        if (status != 0) return status;
    }
    return 0;
}

int ReadItemCode(const char* path, const char* name, std::uint32_t& code)
{
    std::string text;
    int status = ReadItemAttribute(path, name, text);
    if (status != 0) return status;
    if (text.size() != 4) return -EINVAL;
    code = 0;
    for (unsigned char c : text) code = (code << 8) | c;
    return 0;
}

int WriteItemCode(const char* path, const char* name, std::uint32_t code)
{
    return WriteItemAttribute(path, name, CodeText(code));
}

int WriteOpenItemCode(int fd, const char* name, std::uint32_t code)
{
    return WriteOpenItemAttribute(fd, name, CodeText(code));
}
