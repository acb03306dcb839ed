#include "foundation/files/file.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "foundation/files/file_services.h"
#include "foundation/files/file_system.h"
#include "foundation/files/unique_name.h"
#include "foundation/text/utf8_validity.h"
#include "tests/files/scratch_folder.h"

namespace {

const char* const kUUID = "[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}";

TEST(UniqueName, KeepsStemUUIDAndExtensionWithinTheNameLimit)
{
    std::string accented;
    for (int i = 0; i < 200; ++i) accented += "\xC3\xA9";  // 400 bytes of two-byte characters
    struct Case {
        std::string name;
        std::string pattern;  // regular expression of the whole result
    };
    const Case cases[] = {
        {"page.html", std::string("page - ") + kUUID + "\\.html"},
        {"README", std::string("README - ") + kUUID},
        {"archive.tar.gz", std::string("archive\\.tar - ") + kUUID + "\\.gz"},
        {".hidden", std::string(" - ") + kUUID + "\\.hidden"},
        {std::string(250, 's') + ".html", std::string("s{211} - ") + kUUID + "\\.html"},
        {accented + ".htm", std::string("(\xC3\xA9){106} - ") + kUUID + "\\.htm"},
        {"x." + std::string(300, 'e'), std::string(" - ") + kUUID + "\\.e{215}"},
    };
    for (const Case& c : cases) {
        std::string unique = MakeUniqueFileName(c.name);
        EXPECT_LE(unique.size(), kFileNameByteLimit) << c.name;
        EXPECT_TRUE(IsValidUtf8(unique)) << unique;
        EXPECT_TRUE(std::regex_match(unique, std::regex(c.pattern))) << unique;
    }
    EXPECT_NE(NewUUIDText(), NewUUIDText());
}

TEST(CreateFile, UniqueNamingOnlyWhenTheNameIsTaken)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    CFileRef folder(scratch.Path());
    ASSERT_TRUE(WriteTextFile(scratch.At("taken.html"), "old"));
    ASSERT_TRUE(MakeFolder(scratch.At("dir.html")));
    struct Case {
        const char* name;
        bool unique;
        int status;
        std::string pattern;  // the name afterwards
    };
    const Case cases[] = {
        {"free.html", true, 0, "free\\.html"},
        {"taken.html", true, 0, std::string("taken - ") + kUUID + "\\.html"},
        {"taken.html", false, 0, "taken\\.html"},  // existing file: nothing made, content kept
        {"dir.html", false, -EISDIR, "dir\\.html"},
        {"dir.html", true, 0, std::string("dir - ") + kUUID + "\\.html"},
        {"a/b", false, -EINVAL, "a/b"},
        {"..", true, -EINVAL, "\\.\\."},
    };
    for (const Case& c : cases) {
        CFixedString255 name(c.name);
        CFileRef made;
        EXPECT_EQ(CFile::CreateFile(folder, name, made, c.unique).Code(), c.status) << c.name;
        EXPECT_TRUE(std::regex_match(name.str(), std::regex(c.pattern))) << name.c_str();
        if (c.status == 0) {
            EXPECT_EQ(made.Path(), scratch.At(name.c_str()));
            EXPECT_TRUE(CFile::IsFile(made));
        }
    }
    EXPECT_EQ(ReadTextFile(scratch.At("taken.html")), "old");
}

TEST(CreateFolderIfMissing, AFileAtTheNameIsAnError)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    CUmaskScope mask(022);
    CFileRef folder(scratch.Path());
    ASSERT_TRUE(WriteTextFile(scratch.At("file"), "x"));
    ASSERT_TRUE(MakeFolder(scratch.At("there")));
    struct Case {
        const char* name;
        int status;
    };
    for (const Case& c : {Case{"new", 0}, Case{"there", 0}, Case{"file", -ENOTDIR}, Case{"", -EINVAL}}) {
        CFileRef made;
        EXPECT_EQ(CFile::CreateFolderIfMissing(folder, c.name, made).Code(), c.status) << c.name;
        if (c.status == 0) {
            EXPECT_EQ(made.Path(), scratch.At(c.name));
        }
    }
    EXPECT_EQ(ModeOf(scratch.At("new")), 0755u);
    EXPECT_EQ(ReadTextFile(scratch.At("file")), "x");
}

TEST(Exists, OnlyAMissingNameIsMissing)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    ASSERT_TRUE(WriteTextFile(scratch.At("file"), "x"));
    ASSERT_EQ(::symlink("nowhere", scratch.At("dangling").c_str()), 0);
    struct Case {
        std::string parent;
        const char* name;
        int result;
    };
    const Case cases[] = {
        {scratch.Path(), "file", 1},
        {scratch.Path(), "dangling", 1},
        {scratch.Path(), "absent", 0},
        {scratch.At("file"), "below", -ENOTDIR},
        {scratch.At("gone"), "below", 0},
    };
    for (const Case& c : cases) {
        CFileRef found;
        bool exists = false;
        const CStatus status = CFile::Exists(CFileRef(c.parent), c.name, exists, &found);
        EXPECT_EQ(status.Failed() ? status.Code() : int(exists), c.result) << c.parent << " " << c.name;
    }
}

TEST(CreateFromPath, MakesMissingFilesAndKeepsExistingOnes)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    ASSERT_TRUE(WriteTextFile(scratch.At("there"), "keep"));
    ASSERT_TRUE(MakeFolder(scratch.At("folder")));
    struct Case {
        std::string path;
        int status;
    };
    const Case cases[] = {
        {scratch.At("new"), 0},
        {scratch.At("there"), 0},
        {scratch.At("folder"), -EISDIR},
        {scratch.At("missing/new"), -ENOENT},
    };
    for (const Case& c : cases) {
        CFileRef made;
        EXPECT_EQ(CFile::CreateFromPath(c.path.c_str(), made).Code(), c.status) << c.path;
    }
    EXPECT_EQ(ReadTextFile(scratch.At("there")), "keep");
    EXPECT_EQ(CFile::WriteNewFile(scratch.At("written").c_str(), "abc", 3).Code(), 0);
    EXPECT_EQ(ReadTextFile(scratch.At("written")), "abc");
    EXPECT_EQ(CFile::WriteNewFile(scratch.At("missing/written").c_str(), "abc", 3).Code(), -ENOENT);
}

TEST(Rename, NeverReplacesAnotherItem)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    ASSERT_TRUE(WriteTextFile(scratch.At("a"), "A"));
    ASSERT_TRUE(WriteTextFile(scratch.At("b"), "B"));
    CFileRef a(scratch.At("a"));
    EXPECT_EQ(CFile::Rename(a, "b").Code(), -EEXIST);
    EXPECT_EQ(a.Path(), scratch.At("a"));
    EXPECT_EQ(ReadTextFile(scratch.At("b")), "B");
    EXPECT_EQ(CFile::Rename(a, "c").Code(), 0);
    EXPECT_EQ(a.Path(), scratch.At("c"));
    EXPECT_EQ(ReadTextFile(scratch.At("c")), "A");
    EXPECT_EQ(CFile::Rename(a, "x/y").Code(), -EINVAL);
}

TEST(Paths, ParentsEndAtTheRoot)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    CFileRef item(scratch.At("a/b/c"));
    int steps = 0;
    CFileRef parent;
    while (GetParentRef(item, parent).Ok() && parent.IsValid() && steps < 100) {
        item = parent;
        ++steps;
    }
    EXPECT_EQ(item.Path(), "/");
    EXPECT_LT(steps, 100);
    EXPECT_TRUE(GetParentRef(CFileRef("/"), parent).Ok());
    EXPECT_FALSE(parent.IsValid());
    EXPECT_FALSE(CFile::ParentOfRef(CFileRef("/"), parent));
    ASSERT_TRUE(CFile::ParentOfRef(CFileRef("/x/y/"), parent));
    EXPECT_EQ(parent.Path(), "/x");
    ASSERT_TRUE(MakeFolder(scratch.At("a")));
    ASSERT_TRUE(CFile::ParentOfRef(CFileRef(scratch.At("a/..")), parent));  // "a/.." is the scratch folder
    EXPECT_EQ(parent.Path(), scratch.Path().substr(0, scratch.Path().rfind('/')));

    CFixedString255 text;
    EXPECT_EQ(CFile::PathFromRef(CFileRef("/a/./b//c"), text).Code(), 0);
    EXPECT_STREQ(text.c_str(), "/a/b/c");
    EXPECT_EQ(CFile::PathFromRef(CFileRef("/" + std::string(300, 'p')), text).Code(), -ENAMETOOLONG);
    EXPECT_EQ(CFile::GetName(CFileRef("/a/name.txt"), text).Code(), 0);
    EXPECT_STREQ(text.c_str(), "name.txt");
}

TEST(CatalogInformation, KindSizeAndDates)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    ASSERT_TRUE(WriteTextFile(scratch.At("file"), "12345"));
    ASSERT_TRUE(MakeFolder(scratch.At("folder")));
    ASSERT_EQ(::symlink("folder", scratch.At("link").c_str()), 0);
    struct Case {
        const char* name;
        bool isFile;
        bool isFolder;
        std::uint64_t size;
        int status;
    };
    const Case cases[] = {
        {"file", true, false, 5, 0},
        {"folder", false, true, 0, 0},
        {"link", true, false, 6, 0},  // the link itself: six bytes of target text
        {"missing", false, false, 0, -ENOENT},
    };
    for (const Case& c : cases) {
        CFileRef item(scratch.At(c.name));
        EXPECT_EQ(CFile::IsFile(item), c.isFile) << c.name;
        std::uint64_t size = 99;
        EXPECT_EQ(CFile::GetTotalSize(item, size).Code(), c.status) << c.name;
        EXPECT_EQ(size, c.size) << c.name;
        bool isFolder = !c.isFolder;
        std::uint64_t node = 0;
        EXPECT_EQ(GetRefNodeIDAndKind(item, &node, &isFolder).Code(), c.status) << c.name;
        if (c.status == 0) {
            EXPECT_EQ(isFolder, c.isFolder) << c.name;
        }
    }
    CFileRef file(scratch.At("file"));
    const std::int64_t when = 1700000000;
    EXPECT_EQ(CFile::SetDates(file, when, when - 50).Code(), 0);
    std::int64_t seconds = 0;
    EXPECT_EQ(CFile::GetModificationSeconds(file, seconds).Code(), 0);
    EXPECT_EQ(seconds, when);
    EXPECT_EQ(CFile::GetModificationSeconds(CFileRef(scratch.At("missing")), seconds).Code(), -ENOENT);
    EXPECT_EQ(seconds, 0);
    EXPECT_EQ(CFile::SetDates(CFileRef(scratch.At("missing")), when, when).Code(), -ENOENT);
}

TEST(Aliases, AreSymbolicLinksThatNeverReplaceAnything)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    ASSERT_TRUE(WriteTextFile(scratch.At("first.html"), "page"));
    ASSERT_TRUE(MakeFolder(scratch.At("aliases")));
    CFileRef alias;
    ASSERT_EQ(TellFinderToMakeAlias(CFileRef(scratch.At("first.html")), CFileRef(scratch.At("aliases")),
                                    "host alias", alias)
                  .Code(),
              0);
    EXPECT_EQ(alias.Path(), scratch.At("aliases/host alias"));
    EXPECT_EQ(ReadTextFile(alias.Path()), "page");
    EXPECT_EQ(TellFinderToMakeAlias(CFileRef(scratch.At("first.html")), CFileRef(scratch.At("aliases")),
                                    "host alias", alias)
                  .Code(),
              -EEXIST);
    EXPECT_TRUE(TellFinderToUpdateItem(alias).Ok());
}

TEST(Permissions, AddedReadWriteBitsRespectTheUmask)
{
    CScratchFolder scratch;
    ASSERT_TRUE(scratch.IsReady());
    struct Case {
        mode_t mask;
        mode_t before;
        mode_t after;
    };
    const Case cases[] = {
        {022, 0600, 0644},
        {002, 0700, 0764},
        {077, 0400, 0600},
        {022, 04700, 04744},  // other bits stay
    };
    for (const Case& c : cases) {
        CUmaskScope mask(c.mask);
        std::string path = scratch.At("file");
        ASSERT_TRUE(WriteTextFile(path, "x"));
        ASSERT_EQ(::chmod(path.c_str(), c.before), 0);
        EXPECT_TRUE(AddReadWritePermissions(CFileRef(path)).Ok());
        EXPECT_EQ(ModeOf(path), c.after) << std::oct << c.before;
        ::unlink(path.c_str());
    }
    ASSERT_TRUE(WriteTextFile(scratch.At("target"), "x"));
    ASSERT_EQ(::chmod(scratch.At("target").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("target", scratch.At("link").c_str()), 0);
    EXPECT_EQ(AddReadWritePermissions(CFileRef(scratch.At("link"))).Code(), -ELOOP);
    EXPECT_EQ(ModeOf(scratch.At("target")), 0600u);
}

TEST(WeblocFiles, ExtensionInAnyCase)
{
    struct Case {
        const char* path;
        bool webloc;
    };
    const Case cases[] = {{"/a/site.webloc", true}, {"/a/SITE.WebLoc", true}, {"/a/site.weblocx", false},
                          {"/a/webloc", false},     {"/a/.webloc", false},    {"/a.webloc/x", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(IsWeblocFile(CFileRef(c.path)), c.webloc) << c.path;
    }
}

}  // namespace
