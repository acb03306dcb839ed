// CTextBuffer file round trips in a temporary folder of the test's own.
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "foundation/text/text_buffer.h"

namespace {

namespace fs = std::filesystem;

class TextBufferFiles : public testing::Test {
protected:
    void SetUp() override
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/text_buffer_test.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        mFolder = pattern;
    }
    void TearDown() override
    {
        if (!mFolder.empty()) fs::remove_all(mFolder);
    }

    std::string PathOf(const char* name) const { return (mFolder / name).string(); }
    void Put(const char* name, std::string_view bytes) const
    {
        std::ofstream(mFolder / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Get(const char* name) const
    {
        std::ifstream in(mFolder / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::size_t EntryCount() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(mFolder), fs::directory_iterator()));
    }

    fs::path mFolder;
};

TEST_F(TextBufferFiles, ReadDistinguishesUnreadableFromEmpty)
{
    Put("empty", "");
    Put("nuls", std::string_view("a\0b\0\0c", 6));
    fs::create_directory(mFolder / "folder");
    // A pipe would wait for a writer; a device may never end.
    ASSERT_EQ(::mkfifo(PathOf("pipe").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", mFolder / "zeros");
    struct Case {
        const char* name;
        bool readable;
        std::string_view text;
    } cases[] = {
        {"empty", true, ""},
        {"nuls", true, "a b  c"},  // NULs become blanks, the length stays
        {"missing", false, ""},
        {"folder", false, ""},
        {"pipe", false, ""},
        {"zeros", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTextBuffer text("previous");
        text.Name().Assign("kept");
        EXPECT_EQ(text.ReadFile(PathOf(c.name)), c.readable);
        EXPECT_EQ(text.View(), c.text);
        EXPECT_TRUE(text.HasBuffer());
        EXPECT_STREQ(text.Name().c_str(), "kept");
    }
    CTextBuffer text("previous");
    EXPECT_FALSE(text.ReadFileAtPath(nullptr));
}

TEST_F(TextBufferFiles, ReadSizesCapacityByTheAssignmentRule)
{
    struct Case {
        std::size_t size;
        std::int32_t capacity;
    } cases[] = {{31999, 32000}, {32000, 64000}, {100000, 128000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        std::string bytes(c.size, 'r');
        bytes.front() = '<';
        bytes.back() = '>';
        Put("sized", bytes);
        CTextBuffer text;
        ASSERT_TRUE(text.ReadFile(PathOf("sized")));
        EXPECT_EQ(text.View(), bytes);
        EXPECT_EQ(text.Capacity(), c.capacity);
    }
}

TEST_F(TextBufferFiles, ReadsFilesThatReportNoSize)
{
    CTextBuffer text;
    ASSERT_TRUE(text.ReadFile("/proc/self/status"));
    EXPECT_NE(text.Find("Name:"), -1);
}

TEST_F(TextBufferFiles, WriteReplacesTheWholeContentOfAnExistingFile)
{
    Put("page.html", "an old and much longer body that must not survive");
    const CTextBuffer text("new\xA5\r\xC3\xA9");
    EXPECT_EQ(text.WriteFile(PathOf("page.html")).Code(), 0);
    EXPECT_EQ(Get("page.html"), "new\xA5\r\xC3\xA9");

    CTextBuffer back;
    ASSERT_TRUE(back.ReadFile(PathOf("page.html")));
    EXPECT_EQ(back, text);
}

TEST_F(TextBufferFiles, WriteToAMissingFileIsAnError)
{
    EXPECT_EQ(CTextBuffer("x").WriteFile(PathOf("missing")).Code(), -ENOENT);
    EXPECT_FALSE(fs::exists(mFolder / "missing"));
    fs::create_directory(mFolder / "folder");
    EXPECT_EQ(CTextBuffer("x").WriteFile(PathOf("folder")).Code(), -EISDIR);
}

TEST_F(TextBufferFiles, WriteAtPathCreatesOrReplacesWholly)
{
    const CTextBuffer text("body");
    EXPECT_EQ(text.WriteFileAtPath(PathOf("new.txt").c_str()).Code(), 0);
    EXPECT_EQ(Get("new.txt"), "body");

    Put("old.txt", "a longer old body");
    EXPECT_EQ(text.WriteFileAtPath(PathOf("old.txt").c_str()).Code(), 0);
    EXPECT_EQ(Get("old.txt"), "body");
    EXPECT_EQ(EntryCount(), 2u);  // no temporary file is left behind

    // A name as long as the file system allows still gets its temporary file.
    const std::string longName(255, 'n');
    EXPECT_EQ(text.WriteFileAtPath(PathOf(longName.c_str()).c_str()).Code(), 0);
    EXPECT_EQ(Get(longName.c_str()), "body");
}

TEST_F(TextBufferFiles, WriteAtPathFailuresLeaveNothingBehind)
{
    fs::create_directory(mFolder / "folder");
    Put("folder/inside", "kept");
    const CTextBuffer text("body");
    EXPECT_TRUE(text.WriteFileAtPath(PathOf("folder").c_str()).Failed());
    EXPECT_EQ(Get("folder/inside"), "kept");
    EXPECT_EQ(text.WriteFileAtPath(PathOf("no/such/folder").c_str()).Code(), -ENOENT);
    EXPECT_EQ(text.WriteFileAtPath(nullptr).Code(), -EINVAL);
    EXPECT_EQ(EntryCount(), 1u);
}

}  // namespace
