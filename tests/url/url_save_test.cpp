#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "engine/url/url_record.h"
#include "foundation/files/file.h"
#include "foundation/errors/status_codes.h"
#include "foundation/mirror/mirror_names.h"
#include "platform/xattr/item_attributes.h"
#include "tests/files/deep_download_folder.h"
#include "tests/files/scratch_folder.h"

namespace {

constexpr std::uint32_t kText = 0x54455854;     // 'TEXT'
constexpr std::uint32_t kCreator = 0x57647471;  // 'Wdtq'
constexpr std::int64_t kModified = 1600000000;

// The levels above the download folder and "outside" hold what no URL may
// touch.
class URLSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mScratch.IsReady());
        ASSERT_TRUE(MakeDeepDownloadFolder(mScratch, mDownload));
        mXattrs = SupportsUserAttributes(mDownload);
    }

    CURL Fetched(const std::string& text, const std::string& body)
    {
        CURL url(text);
        url.mFetchedOK = 1;
        url.mStatusCode = 200;
        url.mModificationSeconds = kModified;
        url.mBody.AppendBytes(body.data(), body.size());
        return url;
    }

    CScratchFolder mScratch;
    std::string mDownload;
    bool mXattrs = false;
};

struct SaveCase {
    std::string url;
    std::string expected;  // below the download folder
    std::string indexName = "index.html";
    bool indexForDynamic = false;
    bool remapAllPHP = false;
    bool flat = false;
};

TEST_F(URLSave, HostileURLsStayInsideTheDownloadFolder)
{
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
        {"http://h?q=../../x", "h/index.html", "index.html", true},
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
    for (const SaveCase& c : cases) {
        CURL url = Fetched(c.url, "body of " + c.url);
        CFileRef file;
        ASSERT_EQ(url.SaveToDisk(true, true, CFileRef(mDownload), kText, kCreator, c.indexName, url.mURL,
                                 c.indexForDynamic, c.remapAllPHP, file, c.flat),
                  0)
            << c.url;
        EXPECT_EQ(file.Path(), mDownload + "/" + c.expected) << c.url;
        EXPECT_TRUE(LiesBelow(file.Path(), mDownload)) << c.url;
        EXPECT_EQ(ReadTextFile(file.Path()), "body of " + c.url) << c.url;
        EXPECT_EQ(file.Path().find("user"), std::string::npos) << c.url;
    }
    EXPECT_EQ(SnapshotTree(mScratch.Path(), mDownload), before);
}

TEST_F(URLSave, ALinkInTheMirrorIsNeverFollowed)
{
    ASSERT_EQ(::symlink(mScratch.At("outside").c_str(), (mDownload + "/h").c_str()), 0);
    ASSERT_TRUE(MakeFolder(mDownload + "/k"));
    ASSERT_EQ(::symlink(mScratch.At("outside/evil.html").c_str(), (mDownload + "/k/evil.html").c_str()), 0);
    auto before = SnapshotTree(mScratch.Path(), mDownload);

    CURL throughFolder = Fetched("http://h/evil.html", "pwned");
    CFileRef file;
    EXPECT_LT(throughFolder.SaveToDisk(true, true, CFileRef(mDownload), kText, kCreator, "index.html",
                                       throughFolder.mURL, false, false, file, false),
              0);
    CURL ontoFile = Fetched("http://k/evil.html", "pwned");
    EXPECT_LT(ontoFile.SaveToDisk(true, true, CFileRef(mDownload), kText, kCreator, "index.html", ontoFile.mURL,
                                  false, false, file, false),
              0);
    EXPECT_EQ(SnapshotTree(mScratch.Path(), mDownload), before);
    EXPECT_EQ(ReadTextFile(mScratch.At("outside/evil.html")), "outside");
}

TEST_F(URLSave, PathsPastTheSystemLimitFailWithAStatus)
{
    std::string text = "http://h";
    for (int level = 0; level < 20; ++level) text += "/" + std::string(250, static_cast<char>('a' + level));
    text += "/deep.html";
    auto before = SnapshotTree(mScratch.Path(), mDownload);
    CURL url = Fetched(text, "deep");
    CFileRef file;
    int status = url.SaveToDisk(true, true, CFileRef(mDownload), kText, kCreator, "index.html", url.mURL, false, false,
                                file, false);
    EXPECT_EQ(status, -ENAMETOOLONG);
    EXPECT_EQ(SnapshotTree(mScratch.Path(), mDownload), before);
}

TEST_F(URLSave, ReplacesWholeOrKeepsTheOldFile)
{
    CURL url = Fetched("http://h/page.html", "a long first body");
    CFileRef file;
    ASSERT_EQ(url.SaveToDisk(true, true, CFileRef(mDownload), kText, kCreator, "index.html", url.mURL, false, false,
                             file, false),
              0);
    url.mBody.Clear();
    url.mBody.AppendBytes("short", 5);
    ASSERT_EQ(url.SaveToDisk(true, true, CFileRef(mDownload), kText, kCreator, "index.html", url.mURL, false, false,
                             file, false),
              0);
    EXPECT_EQ(ReadTextFile(file.Path()), "short");  // no old tail

    url.mBody.Clear();
    url.mBody.AppendBytes("third", 5);
    EXPECT_EQ(url.SaveToDisk(true, false, CFileRef(mDownload), kText, kCreator, "index.html", url.mURL, false, false,
                             file, false),
              kStatusDuplicateName);
    EXPECT_EQ(file.Path(), mDownload + "/h/page.html");
    EXPECT_EQ(ReadTextFile(file.Path()), "short");

    CFileRef unwritten;
    CURL other = Fetched("http://h/other.html", "never");
    EXPECT_EQ(other.SaveToDisk(false, true, CFileRef(mDownload), kText, kCreator, "index.html", other.mURL, false,
                               false, unwritten, false),
              0);
    EXPECT_EQ(ReadTextFile(unwritten.Path()), "");  // prepared, not written
}

TEST_F(URLSave, SavedFilesCarryDateCommentAndOrigin)
{
    CURL url = Fetched("http://user:secret@h/a/dated.html", "x");
    CFileRef file;
    int status = url.SaveToDisk(true, true, CFileRef(mDownload), kText, kCreator, "index.html", url.mURL, false,
                                false, file, false);
    std::int64_t seconds = 0;
    ASSERT_EQ(CFile::GetModificationSeconds(file, seconds), 0);
    EXPECT_EQ(seconds, kModified);
    if (!mXattrs) {
        EXPECT_EQ(status, -ENOTSUP);
        GTEST_SKIP() << "no user attributes on this file system";
    }
    ASSERT_EQ(status, 0);
    std::string comment, origin;
    ASSERT_EQ(CFile::GetFinderComment(file, comment), 0);
    EXPECT_EQ(comment, "http://user:secret@h/a/dated.html");
    ASSERT_EQ(ReadItemAttribute(file.c_str(), kOriginURLAttribute, origin), 0);
    EXPECT_EQ(origin, "http://h/a/dated.html");
    std::uint32_t type = 0;
    ASSERT_EQ(ReadItemCode(file.c_str(), kFileTypeAttribute, type), 0);
    EXPECT_EQ(type, kText);
}

TEST_F(URLSave, SavedUnderAnotherURLKeepsItsResponse)
{
    CURL url = Fetched("http://h/typed", "the body");
    url.mStatusCode = 203;
    url.mStatusLine = "HTTP/1.1 203 Non-Authoritative";
    url.mRawHeader = "X: y";
    CFileRef file;
    ASSERT_EQ(url.SaveToDisk(true, true, CFileRef(mDownload), kText, kCreator, "index.html", "http://h/typed.html",
                             false, false, file, false),
              0);
    EXPECT_EQ(file.Path(), mDownload + "/h/typed.html");
    EXPECT_EQ(url.mURL, "http://h/typed.html");
    EXPECT_EQ(url.mExtension, ".html");
    EXPECT_EQ(url.mStatusCode, 203);
    EXPECT_EQ(url.mStatusLine.str(), "HTTP/1.1 203 Non-Authoritative");
    EXPECT_EQ(url.mRawHeader.str(), "X: y");
    EXPECT_EQ(url.mFetchedOK, 1);
    EXPECT_EQ(ReadTextFile(file.Path()), "the body");
}

TEST_F(URLSave, BookmarksAreEmptyFilesInTheMirror)
{
    ASSERT_TRUE(MakeFolder(mDownload + "/h"));
    ASSERT_TRUE(WriteTextFile(mDownload + "/h/mark.html", "old content"));
    auto before = SnapshotTree(mScratch.Path(), mDownload);
    const SaveCase cases[] = {
        {"http://h/mark.html", "h/mark.html"},
        {"http://h/a/", "h/a/default.url"},
        {"http://h:9/../../evil.html", "h/9/%2E%2E/%2E%2E/evil.html"},
    };
    for (const SaveCase& c : cases) {
        CURL url = Fetched(c.url, "body is not saved");
        CFileRef file;
        int status = url.SaveAsBookmark(CFileRef(mDownload), "default.url", file);
        EXPECT_TRUE(status == 0 || (!mXattrs && status == -ENOTSUP)) << c.url << " " << status;
        EXPECT_EQ(file.Path(), mDownload + "/" + c.expected);
        EXPECT_EQ(ReadTextFile(file.Path()), "") << c.url;
    }
    EXPECT_EQ(SnapshotTree(mScratch.Path(), mDownload), before);
}

TEST_F(URLSave, SaveBodyToFileNeedsAnExistingFile)
{
    CURL url = Fetched("http://h/update.html", "new");
    std::string path = mDownload + "/existing.html";
    ASSERT_TRUE(WriteTextFile(path, "older and longer"));
    int status = url.SaveBodyToFile(CFileRef(path));
    EXPECT_TRUE(status == 0 || (!mXattrs && status == -ENOTSUP)) << status;
    EXPECT_EQ(ReadTextFile(path), "new");
    std::int64_t seconds = 0;
    ASSERT_EQ(CFile::GetModificationSeconds(CFileRef(path), seconds), 0);
    EXPECT_EQ(seconds, kModified);

    std::string missing = mDownload + "/missing.html";
    EXPECT_EQ(url.SaveBodyToFile(CFileRef(missing)), -ENOENT);
    EXPECT_FALSE(ItemExists(missing));
}

TEST_F(URLSave, LoadFromFileStandsInForAResponse)
{
    std::string path = mDownload + "/saved.html";
    ASSERT_TRUE(WriteTextFile(path, "<html>saved</html>"));
    ASSERT_EQ(CFile::SetDates(CFileRef(path), 784111777, 784111777), 0);
    CURL url("http://h/saved.html");
    EXPECT_EQ(url.LoadFromFile(CFileRef(path)), 1);
    EXPECT_EQ(url.mFetchedOK, 1);
    EXPECT_EQ(url.mHasData, 1);
    EXPECT_EQ(url.mStatusCode, 200);
    EXPECT_EQ(url.mModificationSeconds, 784111777);
    EXPECT_EQ(url.mLastModified, "Sun, 06 Nov 1994 08:49:37 GMT");
    EXPECT_EQ(url.mDate, url.mLastModified);
    EXPECT_EQ(url.mContentType, "text/html");
    EXPECT_EQ(url.mContentLength, "18");
    std::string body;
    ASSERT_TRUE(url.mBody.CopyTo(body));
    EXPECT_EQ(body, "<html>saved</html>");
}

// Only a plain file of the mirror stands in: a pipe would wait for a writer,
// a device may never end, and a link may lead out of the mirror.
TEST_F(URLSave, LoadFromFileTakesOnlyAPlainFile)
{
    const std::string outside = mScratch.At("outside/evil.html");
    ASSERT_EQ(::mkfifo((mDownload + "/pipe.html").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", (mDownload + "/zeros.html").c_str()), 0);
    ASSERT_EQ(::symlink(outside.c_str(), (mDownload + "/link.html").c_str()), 0);
    const struct {
        const char* name;
        std::string path;
    } cases[] = {
        {"missing", mDownload + "/missing.html"},
        {"folder", mDownload},
        {"pipe", mDownload + "/pipe.html"},
        {"device", mDownload + "/zeros.html"},
        {"link out of the mirror", mDownload + "/link.html"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CURL url("http://h/page.html");
        url.mStatusCode = 0;
        EXPECT_EQ(url.LoadFromFile(CFileRef(c.path)), 0);
        EXPECT_EQ(url.mFetchedOK, 0);
        EXPECT_EQ(url.mHasData, 0);
        EXPECT_EQ(url.mBody.Length(), 0u);
    }
}

}  // namespace
