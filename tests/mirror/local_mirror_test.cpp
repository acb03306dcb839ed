#include "foundation/mirror/local_mirror.h"
#include "foundation/mirror/mirror_names.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/files/file.h"
#include "foundation/errors/status_codes.h"
#include "foundation/files/whole_file.h"
#include "platform/xattr/item_attributes.h"
#include "tests/files/deep_download_folder.h"
#include "tests/files/scratch_folder.h"

namespace {

constexpr std::uint32_t kText = 0x54455854;     // 'TEXT'
constexpr std::uint32_t kCreator = 0x57647471;  // 'Wdtq'

// Everything in the scratch folder outside the download folder is what no
// URL may touch.
class LocalMirror : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mScratch.IsReady());
        ASSERT_TRUE(MakeDeepDownloadFolder(mScratch, mDownload));
    }

    CScratchFolder mScratch;
    std::string mDownload;
};

TEST_F(LocalMirror, HostileComponentsStayInsideTheDownloadFolder)
{
    struct Case {
        std::vector<std::string> segments;
        std::string fileName;  // as the URL record hands it over: decoded
        std::string expected;  // path below the download folder
    };
    const std::string longSegment(300, 's');
    const Case cases[] = {
        {{"host", ".."}, "x.html", "host/%2E%2E/x.html"},
        {{"host", "..", "..", ".."}, "evil.html", "host/%2E%2E/%2E%2E/%2E%2E/evil.html"},
        {{"host", "%2e%2e", "%2E%2e"}, "evil.html", "host/%2E%2E/%2E%2E/evil.html"},
        {{"host", "a%2F..%2F..%2Fb"}, "f", "host/a%2F..%2F..%2Fb/f"},
        {{"host", "%00"}, "n", "host/%00/n"},
        {{"host", "."}, "dot", "host/%2E/dot"},
        {{"host", longSegment}, "long", "host/" + SafeMirrorName(longSegment) + "/long"},
        {{"other"}, "..", "other/%2E%2E"},  // host/%2E%2E is a folder by now
        {{"host"}, "../../evil.html", "host/..%2F..%2Fevil.html"},
        {{"host"}, std::string(300, 'f'), "host/" + SafeMirrorName(std::string(300, 'f'))},
        {{"host"}, "", "host/Index.html"},
        {{"%2E%2E"}, "evil.html", "%2E%2E/evil.html"},
        {{"host", "", "a"}, "skip-empty", "host/a/skip-empty"},
        {{"host", "with%20blank"}, "f", "host/with blank/f"},
    };
    auto before = SnapshotTree(mScratch.Path(), mDownload);
    for (const Case& c : cases) {
        std::string name = c.fileName;
        CFileRef file;
        ASSERT_EQ(PrepareLocalFile(true, true, mDownload, c.segments, name, kCreator, kText, file).Code(), 0) << c.expected;
        EXPECT_EQ(file.Path(), mDownload + "/" + c.expected);
        EXPECT_EQ(name, c.expected.substr(c.expected.rfind('/') + 1));
        ASSERT_EQ(WriteWholeFile(file, "mirrored").Code(), 0) << c.expected;
        EXPECT_TRUE(LiesBelow(file.Path(), mDownload)) << file.Path();
        EXPECT_EQ(ReadTextFile(file.Path()), "mirrored");
    }
    EXPECT_EQ(SnapshotTree(mScratch.Path(), mDownload), before);
    EXPECT_EQ(ReadTextFile(mScratch.At("l1/l2/evil.html")), "beside");
    EXPECT_EQ(ReadTextFile(mScratch.At("l1/l2/l3/evil.html")), "beside");
}

TEST_F(LocalMirror, PlantedLinksAndMisplacedItemsAreErrors)
{
    ASSERT_TRUE(MakeFolder(mDownload + "/host"));
    ASSERT_TRUE(MakeFolder(mDownload + "/host/folder.html"));
    ASSERT_TRUE(WriteTextFile(mDownload + "/host/file", "a file, not a folder"));
    ASSERT_EQ(::symlink(mScratch.At("outside").c_str(), (mDownload + "/host/link").c_str()), 0);
    ASSERT_EQ(::symlink(mScratch.At("outside/evil.html").c_str(), (mDownload + "/host/page.html").c_str()), 0);
    ASSERT_EQ(::symlink(mScratch.At("outside").c_str(), (mDownload + "/linkhost").c_str()), 0);
    ASSERT_EQ(::mkfifo((mDownload + "/host/pipe").c_str(), 0600), 0);
    struct Case {
        std::vector<std::string> segments;
        std::string fileName;
        int status;
    };
    const Case cases[] = {
        {{"host", "file", "below"}, "x.html", -ENOTDIR},
        {{"host", "file"}, "x.html", -ENOTDIR},
        {{"host", "link"}, "new.html", -ELOOP},
        {{"host", "link", "deeper"}, "new.html", -ELOOP},
        {{"linkhost"}, "target.html", -ELOOP},
        {{"host"}, "page.html", -ELOOP},
        {{"host"}, "folder.html", -EISDIR},
        {{"host"}, "pipe", -EINVAL},
    };
    auto outside = SnapshotTree(mScratch.Path(), mDownload);
    auto mirror = SnapshotTree(mDownload);
    for (const Case& c : cases) {
        for (bool create : {true, false}) {
            for (bool overwrite : {true, false}) {
                std::string name = c.fileName;
                CFileRef file;
                EXPECT_EQ(PrepareLocalFile(create, overwrite, mDownload, c.segments, name, kCreator, kText, file).Code(),
                          c.status)
                    << c.segments.back() << "/" << c.fileName << " create " << create;
                EXPECT_FALSE(file.IsValid());
            }
        }
    }
    EXPECT_EQ(SnapshotTree(mScratch.Path(), mDownload), outside);
    EXPECT_EQ(SnapshotTree(mDownload), mirror);
    EXPECT_EQ(ReadTextFile(mScratch.At("outside/evil.html")), "outside");
}

TEST_F(LocalMirror, CreateAndLookupModes)
{
    const std::vector<std::string> segments = {"host", "8080", "dir"};
    bool labels = SupportsUserAttributes(mScratch.Path());
    std::string name = "page.html";
    CFileRef file;

    // Lookup of a missing file: success with no file, but the folders are made.
    EXPECT_EQ(PrepareLocalFile(false, false, mDownload, segments, name, kCreator, kText, file).Code(), 0);
    EXPECT_FALSE(file.IsValid());
    EXPECT_TRUE(ItemExists(mDownload + "/host/8080/dir"));
    EXPECT_FALSE(ItemExists(mDownload + "/host/8080/dir/page.html"));

    EXPECT_EQ(PrepareLocalFile(true, false, mDownload, segments, name, kCreator, kText, file).Code(), 0);
    ASSERT_EQ(file.Path(), mDownload + "/host/8080/dir/page.html");
    ASSERT_EQ(WriteWholeFile(file, "first body").Code(), 0);

    // No overwrite: the existing file is named and left untouched.
    CFileRef again;
    EXPECT_EQ(PrepareLocalFile(true, false, mDownload, segments, name, 0, 0, again).Code(), kStatusDuplicateName);
    EXPECT_EQ(again, file);
    EXPECT_EQ(ReadTextFile(file.Path()), "first body");

    // Overwrite: 0, the data is kept, the labels are set again.
    EXPECT_EQ(PrepareLocalFile(true, true, mDownload, segments, name, 0x3F3F3F3F, 0x48544D4C, again).Code(), 0);
    EXPECT_EQ(ReadTextFile(file.Path()), "first body");
    if (labels) {
        std::uint32_t type = 0, creator = 0;
        EXPECT_EQ(ReadItemCode(file.c_str(), kFileTypeAttribute, type), 0);
        EXPECT_EQ(ReadItemCode(file.c_str(), kFileCreatorAttribute, creator), 0);
        EXPECT_EQ(type, 0x48544D4Cu);
        EXPECT_EQ(creator, 0x3F3F3F3Fu);
    }

    // Lookup of an existing file names it.
    again = CFileRef();
    EXPECT_EQ(PrepareLocalFile(false, false, mDownload, segments, name, 0, 0, again).Code(), 0);
    EXPECT_EQ(again, file);

    // A base with a trailing slash names the same folders.
    again = CFileRef();
    EXPECT_EQ(PrepareLocalFile(false, false, mDownload + "/", segments, name, 0, 0, again).Code(), 0);
    EXPECT_EQ(again, file);
}

TEST_F(LocalMirror, MissingBaseFolderIsNeverMade)
{
    std::string name = "x.html";
    CFileRef file;
    auto before = SnapshotTree(mScratch.Path());
    EXPECT_EQ(PrepareLocalFile(true, true, mScratch.At("absent"), {{"host"}}, name, 0, 0, file).Code(), -ENOENT);
    EXPECT_EQ(PrepareLocalFile(true, true, "", {{"host"}}, name, 0, 0, file).Code(), -EINVAL);
    CFileRef folder;
    EXPECT_EQ(MakeLocalFolder(mScratch.At("absent"), {{"host"}}, folder).Code(), -ENOENT);
    EXPECT_EQ(SnapshotTree(mScratch.Path()), before);
}

TEST_F(LocalMirror, ModesFollowTheUmask)
{
    CUmaskScope mask(027);
    std::string name = "f.html";
    CFileRef file;
    ASSERT_EQ(PrepareLocalFile(true, false, mDownload, {{"host", "sub"}}, name, 0, 0, file).Code(), 0);
    EXPECT_EQ(ModeOf(mDownload + "/host"), 0750u);
    EXPECT_EQ(ModeOf(mDownload + "/host/sub"), 0750u);
    EXPECT_EQ(ModeOf(file.Path()), 0640u);
}

TEST_F(LocalMirror, FixedStringInterfaceWritesTheNameBack)
{
    TPooledList<CFixedString255> segments;
    segments.Append(CFixedString255("host"));
    segments.Append(CFixedString255("%2e%2e"));
    CFixedString255 name("");
    CFileRef file;
    ASSERT_EQ(PrepareLocalFile(true, false, mDownload.c_str(), segments, name, kCreator, kText, file).Code(), 0);
    EXPECT_STREQ(name.c_str(), "Index.html");
    EXPECT_EQ(file.Path(), mDownload + "/host/%2E%2E/Index.html");
    CFileRef folder;
    ASSERT_EQ(MakeLocalFolder(mDownload.c_str(), segments, folder).Code(), 0);
    EXPECT_EQ(folder.Path(), mDownload + "/host/%2E%2E");
    TPooledList<CFixedString255> none;
    ASSERT_EQ(MakeLocalFolder(mDownload.c_str(), none, folder).Code(), 0);
    EXPECT_EQ(folder.Path(), mDownload);
}

}  // namespace
