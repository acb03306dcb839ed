#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "foundation/files/byte_buffer.h"
#include "foundation/files/dynamic_buffer.h"
#include "tests/files/scratch_folder.h"
#include "tests/support/file_size_cap.h"

namespace {

// Points $TMPDIR at the test's own folder while it runs.
class CTemporaryFolderScope {
public:
    explicit CTemporaryFolderScope(const std::string& folder)
    {
        const char* old = std::getenv("TMPDIR");
        mHadOld = old != nullptr;
        if (mHadOld) mOld = old;
        ::setenv("TMPDIR", folder.c_str(), 1);
    }
    ~CTemporaryFolderScope()
    {
        if (mHadOld) ::setenv("TMPDIR", mOld.c_str(), 1);
        else ::unsetenv("TMPDIR");
    }

private:
    bool mHadOld = false;
    std::string mOld;
};

std::string Pattern(std::size_t length)
{
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

TEST(ByteBuffer, FileContentEmptyAndUnreadableAreTold)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    ASSERT_TRUE(WriteTextFile(scratch.At("empty"), ""));
    ASSERT_TRUE(WriteTextFile(scratch.At("full"), "bytes"));
    struct Case {
        const char* name;
        int status;
        const char* bytes;
    };
    for (const Case& c : {Case{"empty", 0, ""}, Case{"full", 0, "bytes"}, Case{"missing", -ENOENT, ""}}) {
        CByteBuffer buffer{CFileRef(scratch.At(c.name))};
        EXPECT_EQ(buffer.ReadStatus(), c.status) << c.name;
        EXPECT_EQ(buffer.View(), c.bytes) << c.name;
    }
}

TEST(ByteBuffer, CopiesRefuseAnEmptyBuffer)
{
    CByteBuffer buffer;
    std::unique_ptr<std::uint8_t[]> copy;
    std::size_t length = 7;
    EXPECT_FALSE(buffer.CopyToPtr(copy, length));
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(length, 0u);
    EXPECT_NE(buffer.NewPtrFromData(), nullptr);  // no empty check there
    ASSERT_TRUE(buffer.AppendBytes("ab", 2));
    ASSERT_TRUE(buffer.AppendBytes("cd", 2));
    ASSERT_TRUE(buffer.CopyToPtr(copy, length));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(copy.get()), length), "abcd");
}

TEST(DynamicBuffer, KeepsEveryByteInMemoryOrSpilled)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    CTemporaryFolderScope temporary(scratch.Path());
    struct Case {
        std::size_t spillSize;
        std::size_t total;
        std::size_t chunk;
        bool spills;
    };
    const Case cases[] = {
        {1000, 999, 100, false},
        {1000, 1000, 1000, false},
        {1000, 1001, 1001, true},
        {1000, 50000, 333, true},
        {0, 10, 10, true},
    };
    for (const Case& c : cases) {
        std::string expected = Pattern(c.total);
        std::string spillPath;
        {
            CLDynamicBuffer buffer(c.spillSize);
            for (std::size_t at = 0; at < c.total; at += c.chunk)
                ASSERT_TRUE(buffer.AppendBytes(expected.data() + at, std::min(c.chunk, c.total - at)));
            EXPECT_EQ(buffer.Length(), c.total);
            std::string copy;
            ASSERT_TRUE(buffer.CopyTo(copy));
            EXPECT_EQ(copy, expected) << c.total;
            std::unique_ptr<std::uint8_t[]> bytes;
            std::size_t length = 0;
            ASSERT_TRUE(buffer.CopyToPtr(bytes, length));
            EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes.get()), length), expected);
            const std::string written = scratch.At("written");
            {
                CUniqueFd out(::open(written.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
                ASSERT_TRUE(out.IsOpen());
                EXPECT_EQ(buffer.WriteTo(out.Get()), 0);
            }
            EXPECT_EQ(ReadTextFile(written), expected);
            ::unlink(written.c_str());

            CFileRef spill;
            EXPECT_EQ(buffer.GetSpillFileRef(spill), c.spills ? 1 : 0) << c.total;
            if (c.spills) {
                spillPath = spill.Path();
                // Nameless from the start: a killed process leaves nothing in $TMPDIR.
                EXPECT_EQ(SnapshotTree(scratch.Path()).size(), 1u);
                struct stat info {};
                ASSERT_EQ(::stat(spillPath.c_str(), &info), 0);
                EXPECT_EQ(info.st_mode & 07777, 0600u);
                EXPECT_EQ(ReadTextFile(spillPath), expected);
                std::string head;
                ASSERT_TRUE(buffer.CopyPrefix(head, c.total / 2));
                EXPECT_EQ(head, expected.substr(0, c.total / 2));

                CLDynamicBuffer copied(buffer);
                std::string again;
                ASSERT_TRUE(copied.CopyTo(again));
                EXPECT_EQ(again, expected);
                CFileRef copiedSpill;
                EXPECT_EQ(copied.GetSpillFileRef(copiedSpill), 1);
                EXPECT_NE(copiedSpill.Path(), spillPath);
            }
        }
    }
    // Nothing is left behind in the temporary folder.
    EXPECT_EQ(SnapshotTree(scratch.Path()).size(), 1u);
}

TEST(DynamicBuffer, ClearAndMoveKeepOwnershipOfTheSpillFile)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    CTemporaryFolderScope temporary(scratch.Path());
    CLDynamicBuffer buffer(8);
    ASSERT_TRUE(buffer.AppendBytes("0123456789", 10));
    CFileRef spill;
    ASSERT_EQ(buffer.GetSpillFileRef(spill), 1);
    CLDynamicBuffer moved(std::move(buffer));
    EXPECT_EQ(buffer.Length(), 0u);
    EXPECT_EQ(buffer.GetSpillFileRef(spill), 0);
    std::string bytes;
    ASSERT_TRUE(moved.CopyTo(bytes));
    EXPECT_EQ(bytes, "0123456789");
    moved.Clear();
    EXPECT_EQ(moved.Length(), 0u);
    EXPECT_EQ(moved.GetSpillFileRef(spill), 0);
    EXPECT_EQ(SnapshotTree(scratch.Path()).size(), 1u);
    ASSERT_TRUE(moved.AppendBytes("ab", 2));
    ASSERT_TRUE(moved.CopyTo(bytes));
    EXPECT_EQ(bytes, "ab");
}

// A replacement takes all the new bytes or keeps the old ones: a body must
// never be left empty because its new bytes could not be stored. The spill
// file is capped with RLIMIT_FSIZE in a child process.
TEST(DynamicBuffer, AReplacementTakesAllTheNewBytesOrKeepsTheOld)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    CTemporaryFolderScope temporary(scratch.Path());
    constexpr rlim_t kFileCap = 16;
    const struct {
        const char* name;
        std::size_t spillSize;
        std::string replacement;
        bool replaced;
    } cases[] = {
        {"in memory", 64, "new bytes", true},
        {"spilled", 4, "new bytes", true},
        {"past the file size cap", 4, std::string(kFileCap * 2, 'n'), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string told = testsupport::InChildWithFileSizeCap(kFileCap, [&] {
            CLDynamicBuffer buffer(c.spillSize);
            std::string result = buffer.AppendBytes("old bytes", 9) ? "+" : "-";
            result += buffer.ReplaceBytes(c.replacement.data(), c.replacement.size()) ? "+" : "-";
            std::string bytes;
            return result + (buffer.CopyTo(bytes) ? bytes : "unreadable");
        });
        EXPECT_EQ(told, std::string("+") + (c.replaced ? "+" + c.replacement : "-old bytes"));
    }
}

TEST(DynamicBuffer, StaysInMemoryWhenNoSpillFileCanBeMade)
{
    CTemporaryFolderScope temporary("/nonexistent-tidewell-folder");
    CLDynamicBuffer buffer(4);
    ASSERT_TRUE(buffer.AppendBytes("0123456789", 10));
    CFileRef spill;
    EXPECT_EQ(buffer.GetSpillFileRef(spill), 0);
    std::string bytes;
    ASSERT_TRUE(buffer.CopyTo(bytes));
    EXPECT_EQ(bytes, "0123456789");
}

}  // namespace
