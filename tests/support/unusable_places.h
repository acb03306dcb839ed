// Places a grab cannot use, made on purpose: a loopback port nothing
// listens on, and a folder nothing can be created in (as any user, root
// included).
#pragma once

#include <string>

namespace testsupport {

// A port the kernel just handed out as free and that was closed again:
// a connection to it is refused (until another program happens to take it).
int ClosedLoopbackPort();

// Sets or clears a file's immutable flag, which stops even root from
// changing it; false when the file system has no such flag.
bool SetImmutable(const std::string& path, bool on);

// Makes an existing folder one in which nothing can be created (read-only
// for an ordinary user, immutable for root) for its lifetime.
class UnwritableFolder {
public:
    explicit UnwritableFolder(std::string path);
    ~UnwritableFolder();
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;

    // False when the folder could not be made unwritable here.
    bool IsReady() const { return mReady; }

private:
    std::string mPath;
    bool mImmutable = false;
    bool mReady = false;
};

}  // namespace testsupport
