// Whole-file replacement: readers see old or new bytes, never a mix; the new
// file gets the asked permission; failures leave nothing behind.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "platform/posix/atomic_file.h"
#include "platform/posix/unique_fd.h"
#include "tests/plist/plist_test_folder.h"

namespace {

// The preference store's writes: the asked mode less the umask, the folder flushed.
int ReplaceFileAtomically(const std::string& path, std::string_view bytes, mode_t mode)
{
    AtomicWriteOptions options;
    options.mode = mode;
    options.syncFolder = true;
    return WriteFileAtomically(path, bytes, options);
}

class AtomicFile : public PlistTestFolder {};

mode_t ModeOf(const std::string& path)
{
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

TEST_F(AtomicFile, NewFileTakesTheAskedModeLessTheUmask)
{
    struct Case {
        const char* name;
        mode_t asked;
        mode_t umask;
        mode_t expected;
    } cases[] = {
        {"secret", 0600, 022, 0600},
        {"shared", 0644, 022, 0644},
        {"shared under a strict umask", 0644, 077, 0600},
        {"secret under a loose umask", 0600, 000, 0600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mode_t previous = ::umask(c.umask);
        int status = ReplaceFileAtomically(PathOf(c.name), "bytes", c.asked);
        ::umask(previous);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(ModeOf(PathOf(c.name)), c.expected);
        EXPECT_EQ(Get(c.name), "bytes");
    }
    EXPECT_EQ(EntryCount(), 4u);  // no temporary file left beside them
}

TEST_F(AtomicFile, ReaderOfTheOldFileKeepsTheOldBytes)
{
    Put("prefs", "old contents that are longer");
    const CUniqueFd reader(::open(PathOf("prefs").c_str(), O_RDONLY));
    ASSERT_TRUE(reader.IsOpen());
    ASSERT_EQ(ReplaceFileAtomically(PathOf("prefs"), "new", 0644), 0);
    char buffer[64] = {};
    ssize_t n = ::read(reader.Get(), buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0), "old contents that are longer");
    EXPECT_EQ(Get("prefs"), "new");  // no old tail
}

TEST_F(AtomicFile, FailuresAreReportedAndLeaveNothingBehind)
{
    Put("a file", "x");
    struct Case {
        const char* name;
        std::string path;
        int status;
    } cases[] = {
        {"missing folder", PathOf("nowhere/prefs"), -ENOENT},
        {"a file where a folder should be", PathOf("a file/prefs"), -ENOTDIR},
        {"empty path", "", -EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReplaceFileAtomically(c.path, "bytes", 0644), c.status);
    }
    if (::geteuid() != 0) {
        ASSERT_EQ(::mkdir(PathOf("locked").c_str(), 0500), 0);
        EXPECT_EQ(ReplaceFileAtomically(PathOf("locked") + "/prefs", "bytes", 0644), -EACCES);
        ::chmod(PathOf("locked").c_str(), 0700);
    }
    EXPECT_EQ(Get("a file"), "x");
}

// A folder that cannot be flushed (a descriptor that only names it) fails a
// write that asked for the flush: the new name may not survive a crash. The
// bytes stand under the name already.
TEST_F(AtomicFile, AFolderThatCannotBeFlushedFailsTheWriteThatAskedForIt)
{
    const CUniqueFd folder(::open(mFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(folder.IsOpen());
    struct Case {
        const char* name;
        bool syncFolder;
        int status;
    } cases[] = {
        {"flushed", true, -EBADF},
        {"not flushed", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AtomicWriteOptions options;
        options.syncFolder = c.syncFolder;
        const int status = WriteFileAtomically(
            folder.Get(), c.name, [](int fd) { return ::write(fd, "new", 3) == 3 ? 0 : -errno; }, options);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(Get(c.name), "new");
    }
}

TEST_F(AtomicFile, ReadGivesTheBytesOrTheReason)
{
    Put("data", std::string("a\0b\r\n", 5));
    std::string out = "stale";
    EXPECT_EQ(ReadFileBytes(PathOf("data"), out), 0);
    EXPECT_EQ(out, std::string("a\0b\r\n", 5));
    EXPECT_EQ(ReadFileBytes(PathOf("missing"), out), -ENOENT);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(ReadFileBytes(mFolder.string(), out), -EISDIR);
}

}  // namespace
