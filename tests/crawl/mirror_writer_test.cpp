// The crawl's save step, URL to file: MirrorLocationForURL names the place,
// the mirror writer makes it. Hostile URLs, links planted in the mirror and
// names past the system's limits never reach outside the download folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "engine/crawl/mirror_writer.h"
#include "engine/html/mirror_links.h"
#include "engine/url/url_record.h"
#include "foundation/errors/status_codes.h"
#include "foundation/files/file.h"
#include "foundation/mirror/mirror_names.h"
#include "platform/xattr/item_attributes.h"
#include "tests/url/fetched_record_fixture.h"

namespace {

constexpr std::uint32_t kText = 0x54455854;     // 'TEXT'
constexpr std::uint32_t kCreator = 0x57647471;  // 'Wdtq'
// The levels above the download folder and "outside" hold what no URL may
// touch.
class MirrorWriter : public FetchedRecordTest {
protected:
    // Saves as the crawl does.
    int Save(CMirrorWriter& writer, const CURL& url, const CMirrorNaming& naming, bool replace, CFileRef& file)
    {
        const CMirrorLocation location = MirrorLocationForURL(url, naming);
        CMirrorFileLabels labels;
        labels.type = kText;
        labels.creator = kCreator;
        labels.url = url.mURL;
        labels.modificationSeconds = url.mModificationSeconds;
        return writer.Write(location.folders, location.fileName, replace, url.mBody, labels, file).Code();
    }
};

TEST_F(MirrorWriter, HostileURLsStayInsideTheDownloadFolder)
{
    struct SaveCase {
        std::string url;
        std::string expected;  // below the download folder
        std::string indexName = "index.html";
        bool indexForDynamic = false;
        bool remapAllPHP = false;
        bool flat = false;
    };
    const std::string longName(300, 'n');
    const SaveCase cases[] = {
        {"http://h/a/b/c.html", "h/a/b/c.html"},
        {"http://h:8080/x.html", "h/8080/x.html"},
        {"http://[::1]:8080/x.html", "[::1]/8080/x.html"},
        {"http://user:pw@h/cred.html", "h/cred.html"},
        {"http://h/../../evil.html", "h/%2E%2E/%2E%2E/evil.html"},
        {"http://h/%2e%2e/%2E%2e/evil2.html", "h/%2E%2E/%2E%2E/evil2.html"},
        {"http://h/a/..%2F..%2F..%2Fevil.html", "h/a/..%2F..%2F..%2Fevil.html"},
        {"http://h/d/%2e%2e", "h/d/%2E%2E"},
        {"http://h/a%2Fb/f.html", "h/a%2Fb/f.html"},
        {"http://h/n%00ul.html", "h/n%00ul.html"},
        {"http://h/sp%20ace.html", "h/sp ace.html"},
        {"http://h/" + longName, "h/" + SafeMirrorName(longName)},
        {"http://h/" + std::string(300, 'd') + "/f.html", "h/" + SafeMirrorName(std::string(300, 'd')) + "/f.html"},
        {"http://h/dir/", "h/dir/index.html"},
        {"http://h", "h/index.html"},
        {"http://q?q=../../x", "q/index.html", "index.html", true},
        {"http://h#/../../x", "h/index.html"},
        {"http://../x.html", "%2E%2E/x.html"},
        {"http://%2e%2e/y.html", "%2E%2E/y.html"},
        {"http://h/p.php?x=1", "h/p.php?x=1"},
        {"http://h/p.php?x=../../q", "h/p.php?x=..%2F..%2Fq"},
        {"http://h/d/p.php?x=1", "h/d/unique.html", "unique.html", true},
        {"http://h/d/all.php", "h/d/unique2.html", "unique2.html", true, true},
        {"http://h/d/only.php", "h/d/only.php", "unique3.html", false, true},
        {"http://h/a/b/flat.html", "h/flat.html", "index.html", false, false, true},
        {"http://h:81/a/flat.html", "h/81/flat.html", "index.html", false, false, true},
    };
    auto before = SnapshotTree(mScratch.Path(), mDownload);
    CMirrorWriter writer(mDownload);
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.url);
        CURL url = Fetched(c.url, "body of " + c.url);
        const CMirrorNaming naming{c.indexName, c.flat, c.indexForDynamic, c.remapAllPHP};
        CFileRef file;
        ASSERT_EQ(Save(writer, url, naming, true, file), 0);
        EXPECT_EQ(file.Path(), mDownload + "/" + c.expected);
        EXPECT_TRUE(LiesBelow(file.Path(), mDownload));
        EXPECT_EQ(ReadTextFile(file.Path()), "body of " + c.url);
        EXPECT_EQ(file.Path().find("user"), std::string::npos);
    }
    EXPECT_EQ(SnapshotTree(mScratch.Path(), mDownload), before);
}

TEST_F(MirrorWriter, ALinkInTheMirrorIsNeverFollowed)
{
    ASSERT_EQ(::symlink(mScratch.At("outside").c_str(), (mDownload + "/h").c_str()), 0);
    ASSERT_TRUE(MakeFolder(mDownload + "/k"));
    ASSERT_EQ(::symlink(mScratch.At("outside/evil.html").c_str(), (mDownload + "/k/evil.html").c_str()), 0);
    auto before = SnapshotTree(mScratch.Path(), mDownload);

    CMirrorWriter writer(mDownload);
    CFileRef file;
    EXPECT_LT(Save(writer, Fetched("http://h/evil.html", "pwned"), {}, true, file), 0);
    EXPECT_LT(Save(writer, Fetched("http://k/evil.html", "pwned"), {}, true, file), 0);
    EXPECT_EQ(SnapshotTree(mScratch.Path(), mDownload), before);
    EXPECT_EQ(ReadTextFile(mScratch.At("outside/evil.html")), "outside");
}

TEST_F(MirrorWriter, PathsPastTheSystemLimitFailWithAStatus)
{
    std::string text = "http://h";
    for (int level = 0; level < 20; ++level) text += "/" + std::string(250, static_cast<char>('a' + level));
    text += "/deep.html";
    auto before = SnapshotTree(mScratch.Path(), mDownload);
    CMirrorWriter writer(mDownload);
    CFileRef file;
    EXPECT_EQ(Save(writer, Fetched(text, "deep"), {}, true, file), -ENAMETOOLONG);
    EXPECT_EQ(SnapshotTree(mScratch.Path(), mDownload), before);
}

TEST_F(MirrorWriter, ReplacesWholeOrKeepsTheOldFile)
{
    CMirrorWriter writer(mDownload);
    CURL url = Fetched("http://h/page.html", "a long first body");
    CFileRef file;
    ASSERT_EQ(Save(writer, url, {}, true, file), 0);
    url.mBody.Clear();
    EXPECT_TRUE(url.mBody.AppendBytes("short", 5));
    ASSERT_EQ(Save(writer, url, {}, true, file), 0);
    EXPECT_EQ(ReadTextFile(file.Path()), "short");  // no old tail

    url.mBody.Clear();
    EXPECT_TRUE(url.mBody.AppendBytes("third", 5));
    EXPECT_EQ(Save(writer, url, {}, false, file), kStatusDuplicateName);
    EXPECT_EQ(file.Path(), mDownload + "/h/page.html");
    EXPECT_EQ(ReadTextFile(file.Path()), "short");
}

// The origin URL is written behind the crawl: it is there once the writer
// settles or goes, for every file, however many were queued.
TEST_F(MirrorWriter, SavedFilesCarryDateCommentAndOrigin)
{
    struct SCase {
        const char* name;
        const char* folder;
        int files;
        bool settle;  // else the writer goes
    };
    const SCase cases[] = {{"one file, settled", "a", 1, true},
                           {"many files, settled", "b", 300, true},
                           {"many files, writer gone", "c", 300, false}};
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<CFileRef> files(c.files);
        {
            CMirrorWriter writer(mDownload);
            for (int i = 0; i < c.files; ++i) {
                const std::string url = "http://user:secret@h/" + std::string(c.folder) +
                                        "/dated" + std::to_string(i) + ".html";
                ASSERT_EQ(Save(writer, Fetched(url, "x"), {}, true, files[i]), 0);
            }
            if (c.settle) writer.Settle();
            std::int64_t seconds = 0;
            ASSERT_EQ(CFile::GetModificationSeconds(files.back(), seconds).Code(), 0);
            EXPECT_EQ(seconds, kModified);
            if (!mXattrs) GTEST_SKIP() << "no user attributes on this file system";
            if (!c.settle) continue;
            std::string comment;
            ASSERT_EQ(CFile::GetFinderComment(files.back(), comment).Code(), 0);
            EXPECT_EQ(comment, "http://user:secret@h/" + std::string(c.folder) + "/dated" +
                                   std::to_string(c.files - 1) + ".html");
        }
        for (int i = 0; i < c.files; ++i) {
            std::string origin;
            ASSERT_EQ(ReadItemAttribute(files[i].c_str(), kOriginURLAttribute, origin), 0) << files[i].Path();
            EXPECT_EQ(origin, "http://h/" + std::string(c.folder) + "/dated" + std::to_string(i) +
                                  ".html");
            std::uint32_t type = 0;
            ASSERT_EQ(ReadItemCode(files[i].c_str(), kFileTypeAttribute, type), 0);
            EXPECT_EQ(type, kText);
        }
    }
}

// A folder the writer made holds only its files, so it saves there without
// a look at the disk; what something else puts there after all is still
// respected, as in any folder.
TEST_F(MirrorWriter, WhatSomethingElsePutsInAFolderItMadeIsKept)
{
    struct SCase {
        const char* name;
        const char* url;
        bool folderInTheWay;  // else another URL's file
    } cases[] = {
        {"another URL's file at the name", "http://h/m/b.html", false},
        {"a folder at the name", "http://h/m/c.html", true},
    };
    CMirrorWriter writer(mDownload);
    CFileRef file;
    ASSERT_EQ(Save(writer, Fetched("http://h/m/a.html", "mine"), {}, true, file), 0);
    const std::string folder = mDownload + "/h/m";
    ASSERT_EQ(file.Path(), folder + "/a.html");
    EXPECT_TRUE(writer.Find(std::vector<std::string>{"h", "m"}, "a.html", file, "http://h/m/a.html"));
    EXPECT_FALSE(writer.Find(std::vector<std::string>{"h", "m"}, "never.html", file, "http://h/m/never.html"));
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string_view url = c.url;
        const std::string place = folder + std::string(url.substr(url.rfind('/')));
        if (c.folderInTheWay) {
            ASSERT_TRUE(MakeFolder(place));
        } else {
            if (!mXattrs) continue;  // a file without its URL is nobody's
            ASSERT_TRUE(WriteTextFile(place, "foreign"));
            ASSERT_EQ(WriteItemAttribute(place.c_str(), kCommentAttribute, "http://other/b.html"), 0);
        }
        ASSERT_EQ(Save(writer, Fetched(c.url, "ours"), {}, true, file), 0);
        EXPECT_NE(file.Path(), place);
        EXPECT_EQ(ReadTextFile(file.Path()), "ours");
        if (!c.folderInTheWay) {
            EXPECT_EQ(ReadTextFile(place), "foreign");
        }
        CFileRef found;
        EXPECT_TRUE(writer.Find(std::vector<std::string>{"h", "m"}, place.substr(folder.size() + 1), found, c.url));
        EXPECT_EQ(found.Path(), file.Path());
    }
}

}  // namespace
