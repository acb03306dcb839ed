#include <gtest/gtest.h>

#include <string>

#include "foundation/files/file.h"
#include "platform/xattr/item_attributes.h"
#include "tests/files/scratch_folder.h"

namespace {

class Labels : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mScratch.IsReady());
        if (!SupportsUserAttributes(mScratch.Path()))
            GTEST_SKIP() << "the file system of " << mScratch.Path() << " keeps no user extended attributes";
        ASSERT_TRUE(WriteTextFile(mScratch.At("page.html"), "<html>"));
        mFile = CFileRef(mScratch.At("page.html"));
    }

    CScratchFolder mScratch;
    CFileRef mFile;
};

TEST_F(Labels, CommentsRoundTripAndReportWhatIsMissing)
{
    struct Case {
        std::string stored;  // "" with `store` false: no comment at all
        bool store;
        int fixedStatus;
        std::string fixedResult;  // the fixed string afterwards (starts as "before")
    };
    const std::string url = "http://example.test/a/b.html?x=1";
    const std::string longURL = "http://example.test/" + std::string(300, 'q');
    const std::string accented = "http://h/caf\xC3\xA9";
    const Case cases[] = {
        {url, true, 0, url},
        {accented, true, 0, accented},
        {"", false, -ENODATA, "before"},
        {"", true, 0, "before"},  // an empty comment leaves the text as it was
        {longURL, true, -ERANGE, "before"},
    };
    for (const Case& c : cases) {
        RemoveItemAttribute(mFile.c_str(), kCommentAttribute);
        if (c.store) {
            ASSERT_EQ(CFile::SetFinderComment(mFile, c.stored.c_str()).Code(), 0);
        }
        CFixedString255 fixed("before");
        EXPECT_EQ(CFile::GetFinderComment(mFile, fixed).Code(), c.fixedStatus) << c.stored;
        EXPECT_EQ(fixed.str(), c.fixedResult) << c.stored;
        std::string whole = "before";
        EXPECT_EQ(CFile::GetFinderComment(mFile, whole).Code(), c.store ? 0 : -ENODATA) << c.stored;
        EXPECT_EQ(whole, c.store && !c.stored.empty() ? c.stored : "before");
    }
    std::string raw;
    ASSERT_EQ(CFile::SetFinderComment(mFile, url.c_str()).Code(), 0);
    EXPECT_EQ(ReadItemAttribute(mFile.c_str(), "user.xdg.comment", raw), 0);
    EXPECT_EQ(raw, url);
    ASSERT_EQ(CFile::SetOriginURL(mFile, url.c_str()).Code(), 0);
    EXPECT_EQ(ReadItemAttribute(mFile.c_str(), "user.xdg.origin.url", raw), 0);
    EXPECT_EQ(raw, url);
}

TEST_F(Labels, TypeAndCreatorCodesAreFourBytes)
{
    struct Case {
        std::uint32_t type;
        std::uint32_t creator;
    };
    for (const Case& c : {Case{0x54455854, 0x57647471}, Case{0, 0}}) {
        ASSERT_EQ(CFile::SetFileType(mFile, c.type).Code(), 0);
        ASSERT_EQ(CFile::SetFileCreator(mFile, c.creator).Code(), 0);
        std::uint32_t type = 1, creator = 1;
        EXPECT_EQ(ReadItemCode(mFile.c_str(), "user.tidewell.type", type), 0);
        EXPECT_EQ(ReadItemCode(mFile.c_str(), "user.tidewell.creator", creator), 0);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(creator, c.creator);
    }
    std::string raw;
    ASSERT_EQ(CFile::SetFileType(mFile, 0x54455854).Code(), 0);
    EXPECT_EQ(ReadItemAttribute(mFile.c_str(), "user.tidewell.type", raw), 0);
    EXPECT_EQ(raw, "TEXT");
    ASSERT_EQ(WriteItemAttribute(mFile.c_str(), "user.tidewell.type", "TOOLONG"), 0);
    std::uint32_t type = 0;
    EXPECT_EQ(ReadItemCode(mFile.c_str(), "user.tidewell.type", type), -EINVAL);
}

TEST_F(Labels, ALinkIsLabelledAsItselfNeverThroughItsTarget)
{
    ASSERT_EQ(::symlink("page.html", mScratch.At("alias").c_str()), 0);
    CFileRef link(mScratch.At("alias"));
    EXPECT_TRUE(CFile::SetFinderComment(link, "http://elsewhere/").Failed());
    EXPECT_TRUE(CFile::SetFileType(link, 0x54455854).Failed());
    std::string comment;
    EXPECT_EQ(CFile::GetFinderComment(mFile, comment).Code(), -ENODATA);
}

TEST_F(Labels, CreateTypedFileLabelsTheNewFile)
{
    CFileRef made;
    ASSERT_EQ(CFile::CreateTypedFile(CFileRef(mScratch.Path()), "notes.html", 0, 0x54455854, made).Code(), 0);
    std::uint32_t type = 0, creator = 1;
    EXPECT_EQ(ReadItemCode(made.c_str(), "user.tidewell.type", type), 0);
    EXPECT_EQ(ReadItemCode(made.c_str(), "user.tidewell.creator", creator), 0);
    EXPECT_EQ(type, 0x54455854u);
    EXPECT_EQ(creator, 0u);
}

}  // namespace
