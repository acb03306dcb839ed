// A private folder for one test, removed with everything in it at the end.
#pragma once

#include <string>
#include <string_view>

namespace testsupport {

class TempDir {
public:
    // Creates "tidewell-XXXXXX" under $TMPDIR (or /tmp); throws on failure.
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return mPath; }
    // Path() + "/" + name; nothing is created.
    std::string File(std::string_view name) const;
    // Writes `bytes` to File(name), creating the folders on the way.
    std::string Write(std::string_view name, std::string_view bytes) const;
    // Creates the folder File(name) and the ones above it.
    std::string MakeFolder(std::string_view name) const;

private:
    std::string mPath;
};

}  // namespace testsupport
