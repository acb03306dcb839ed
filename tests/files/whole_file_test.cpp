#include "foundation/files/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/files/byte_buffer.h"
#include "foundation/files/file.h"
#include "foundation/files/file_system.h"
#include "tests/files/scratch_folder.h"
#include "tests/support/unusable_places.h"

namespace {

using testsupport::SetImmutable;

TEST(WholeFile, ReplacementLeavesNoOldTail)
{
    struct Case {
        const char* label;
        std::string before;  // empty: no file before
        bool fileBefore;
        std::string after;
    };
    const Case cases[] = {
        {"shorter body over a longer file", std::string(100, 'o'), true, "0123456789"},
        {"empty body over a file", "old content", true, ""},
        {"longer body over a shorter file", "old", true, std::string(70000, 'n')},
        {"new file", "", false, "fresh"},
        {"bytes with NULs", "xxxxxxxxxxxx", true, std::string("a\0b\0c", 5)},
    };
    for (const Case& c : cases) {
        CScratchFolder scratch;
        ASSERT_TRUE(scratch.IsReady());
        std::string path = scratch.At("page.html");
        if (c.fileBefore) {
            ASSERT_TRUE(WriteTextFile(path, c.before));
        }
        EXPECT_EQ(WriteWholeFile(CFileRef(path), c.after).Code(), 0) << c.label;
        EXPECT_EQ(ReadTextFile(path), c.after) << c.label;
        // The temporary file is gone: only the written file is left.
        std::vector<CFileRef> items;
        EXPECT_TRUE(ListFolderRefs(CFileRef(scratch.Path()), items).Ok());
        EXPECT_EQ(items.size(), 1u) << c.label;
    }
}

TEST(WholeFile, DataForkWriteOfTenBytesOverHundredKeepsOnlyTheTen)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    std::string path = scratch.At("body");
    ASSERT_TRUE(WriteTextFile(path, std::string(100, 'x')));
    EXPECT_EQ(CFile::WriteDataFork(CFileRef(path), "0123456789", 10).Code(), 0);
    EXPECT_EQ(ReadTextFile(path), "0123456789");
    CFile file{CFileRef(path)};
    EXPECT_EQ(file.WriteDataFork("ab", 2).Code(), 0);
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(file.ReadDataFork(bytes).Code(), 0);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "ab");
}

TEST(WholeFile, ReplacementKeepsModeAndLabels)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    std::string path = scratch.At("kept");
    ASSERT_TRUE(WriteTextFile(path, "old"));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    bool labels = SupportsUserAttributes(scratch.Path());
    if (labels) {
        ASSERT_EQ(CFile::SetFinderComment(CFileRef(path), "http://h/kept").Code(), 0);
    }
    ASSERT_EQ(WriteWholeFile(CFileRef(path), "new").Code(), 0);
    EXPECT_EQ(ModeOf(path), 0640u);
    if (labels) {
        std::string comment;
        EXPECT_EQ(CFile::GetFinderComment(CFileRef(path), comment).Code(), 0);
        EXPECT_EQ(comment, "http://h/kept");
    }
}

// A batch renames nothing before its flush, so until then every old file
// stays whole; past the flush each file holds its new content with its old
// mode, labels and the date asked for. A full batch flushes by itself.
TEST(WholeFile, BatchReplacesOnlyOnFlushAndKeepsTraits)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    ASSERT_TRUE(MakeFolder(scratch.At("folder")));
    const bool labels = SupportsUserAttributes(scratch.Path());
    const std::size_t count = CWholeFileBatch::kBatchFiles + 3;
    auto name = [](std::size_t i) { return "page" + std::to_string(i) + ".html"; };
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_TRUE(WriteTextFile(scratch.At(name(i)), "old " + std::to_string(i)));
        ASSERT_EQ(::chmod(scratch.At(name(i)).c_str(), 0640), 0);
        if (labels) {
            ASSERT_EQ(CFile::SetFinderComment(CFileRef(scratch.At(name(i))), ("http://h/" + name(i)).c_str()).Code(), 0);
        }
    }
    CWholeFileBatch batch;
    EXPECT_EQ(batch.Replace(CFileRef(scratch.At("folder")), "x", std::nullopt), -EISDIR);
    EXPECT_EQ(batch.Replace(CFileRef(scratch.At("missing/name")), "x", std::nullopt), -ENOENT);
    for (std::size_t i = 0; i < count; ++i)
        ASSERT_EQ(batch.Replace(CFileRef(scratch.At(name(i))), "new " + std::to_string(i), 1000000000 + i), 0);
    // The first full batch went when the next file came; the rest waits.
    EXPECT_EQ(ReadTextFile(scratch.At(name(0))), "new 0");
    EXPECT_EQ(ReadTextFile(scratch.At(name(count - 1))), "old " + std::to_string(count - 1));
    EXPECT_EQ(batch.Flush(), 0);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string path = scratch.At(name(i));
        EXPECT_EQ(ReadTextFile(path), "new " + std::to_string(i)) << i;
        EXPECT_EQ(ModeOf(path), 0640u) << i;
        std::int64_t modified = 0;
        EXPECT_EQ(CFile::GetModificationSeconds(CFileRef(path), modified).Code(), 0);
        EXPECT_EQ(modified, static_cast<std::int64_t>(1000000000 + i)) << i;
        if (labels) {
            std::string comment;
            EXPECT_EQ(CFile::GetFinderComment(CFileRef(path), comment).Code(), 0);
            EXPECT_EQ(comment, "http://h/" + name(i)) << i;
        }
    }
    // Only the pages and the folder: no temporary file is left.
    std::vector<CFileRef> items;
    EXPECT_TRUE(ListFolderRefs(CFileRef(scratch.Path()), items).Ok());
    EXPECT_EQ(items.size(), count + 1);
    EXPECT_TRUE(ReadTextFile(scratch.At("folder")).empty());
}

TEST(WholeFile, NewFileModeIsReadWriteLessTheUmask)
{
    struct Case {
        mode_t mask;
        mode_t expected;
    };
    for (const Case& c : {Case{022, 0644}, Case{027, 0640}, Case{0, 0666}}) {
        CScratchFolder scratch;
        ASSERT_TRUE(scratch.IsReady());
        CUmaskScope mask(c.mask);
        std::string path = scratch.At("new");
        ASSERT_EQ(WriteWholeFile(CFileRef(path), "x").Code(), 0);
        EXPECT_EQ(ModeOf(path), c.expected) << std::oct << c.mask;
        CFileRef created;
        ASSERT_EQ(CFile::CreateFromPath(scratch.At("empty").c_str(), created).Code(), 0);
        EXPECT_EQ(ModeOf(created.Path()), c.expected) << std::oct << c.mask;
    }
}

TEST(WholeFile, FailuresAreReportedAndChangeNothing)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    ASSERT_TRUE(MakeFolder(scratch.At("folder")));
    ASSERT_TRUE(WriteTextFile(scratch.At("folder/inside"), "keep"));
    ASSERT_TRUE(WriteTextFile(scratch.At("plain"), "plain"));
    struct Case {
        std::string path;
        int expected;
    };
    const Case cases[] = {
        {scratch.At("missing/name"), -ENOENT},
        {scratch.At("folder"), -EISDIR},
        {scratch.At("plain/name"), -ENOTDIR},
        {"", -EINVAL},
    };
    auto before = SnapshotTree(scratch.Path());
    for (const Case& c : cases) {
        EXPECT_EQ(WriteWholeFile(CFileRef(c.path), "data").Code(), c.expected) << c.path;
    }
    EXPECT_EQ(SnapshotTree(scratch.Path()), before);
}

TEST(WholeFile, LinkAtTheNameIsReplacedNotFollowed)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    ASSERT_TRUE(MakeFolder(scratch.At("outside")));
    ASSERT_TRUE(MakeFolder(scratch.At("mirror")));
    ASSERT_TRUE(WriteTextFile(scratch.At("outside/target"), "secret"));
    ASSERT_EQ(::symlink(scratch.At("outside/target").c_str(), scratch.At("mirror/page").c_str()), 0);
    ASSERT_EQ(WriteWholeFile(CFileRef(scratch.At("mirror/page")), "body").Code(), 0);
    EXPECT_EQ(ReadTextFile(scratch.At("outside/target")), "secret");
    struct stat info;
    ASSERT_EQ(::lstat(scratch.At("mirror/page").c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(ReadTextFile(scratch.At("mirror/page")), "body");
}

TEST(WholeFile, ReadsTellUnreadableFromEmpty)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    ASSERT_TRUE(WriteTextFile(scratch.At("empty"), ""));
    ASSERT_TRUE(WriteTextFile(scratch.At("full"), "abc"));
    ASSERT_TRUE(MakeFolder(scratch.At("folder")));
    // A pipe with no writer: reading it would wait forever.
    ASSERT_EQ(::mkfifo(scratch.At("pipe").c_str(), 0600), 0);
    struct Case {
        std::string path;
        int expected;
        std::string bytes;
    };
    const Case cases[] = {
        {scratch.At("empty"), 0, ""},
        {scratch.At("full"), 0, "abc"},
        {scratch.At("missing"), -ENOENT, ""},
        {scratch.At("folder"), -EISDIR, ""},
        {scratch.At("full/below"), -ENOTDIR, ""},
        {scratch.At("pipe"), -EINVAL, ""},
    };
    for (const Case& c : cases) {
        std::string text = "stale";
        EXPECT_EQ(ReadWholeFile(CFileRef(c.path), text).Code(), c.expected) << c.path;
        EXPECT_EQ(text, c.bytes) << c.path;
        std::vector<std::uint8_t> bytes{1, 2};
        EXPECT_EQ(ReadDataFork(CFileRef(c.path), bytes).Code(), c.expected) << c.path;
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.bytes) << c.path;
    }
}

// Reading must not need write access: a file that cannot be opened for
// writing (read-only for a normal user, immutable for root) still reads.
TEST(WholeFile, DataForkIsReadFromAFileThatCannotBeWritten)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    std::string path = scratch.At("locked");
    ASSERT_TRUE(WriteTextFile(path, "read me"));
    bool immutable = false;
    if (::geteuid() == 0) {
        immutable = SetImmutable(path, true);
        if (!immutable) GTEST_SKIP() << "running as root on a file system without the immutable flag";
    } else {
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    }
    std::vector<std::uint8_t> bytes;
    int status = ReadDataFork(CFileRef(path), bytes).Code();
    CByteBuffer buffer{CFileRef(path)};
    if (immutable) SetImmutable(path, false);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "read me");
    EXPECT_EQ(buffer.ReadStatus(), 0);
    EXPECT_EQ(buffer.View(), "read me");
}

}  // namespace

// Another program's lease on a file (file servers take them) delays a read
// until the lease is given up; it is no failure. The holder here gives it up
// by dying of the signal that announces the break.
TEST(WholeFile, AReadWaitsForALeaseToBeGivenUp)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    const std::string path = scratch.At("leased");
    ASSERT_TRUE(WriteTextFile(path, "leased words"));
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        ::signal(SIGIO, SIG_DFL);
        const int fd = ::open(path.c_str(), O_RDONLY);
        const char answer = fd >= 0 && ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0 ? 'y' : 'n';
        if (::write(ready[1], &answer, 1) != 1 || answer != 'y') ::_exit(1);
        for (;;) ::pause();
    }
    ::close(ready[1]);
    char answer = 'n';
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ::close(ready[0]);
    if (answer != 'y') {
        ::waitpid(holder, nullptr, 0);
        GTEST_SKIP() << "this file system takes no leases";
    }
    std::string text;
    EXPECT_EQ(ReadWholeFile(CFileRef(path), text).Code(), 0);
    EXPECT_EQ(text, "leased words");
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
}
