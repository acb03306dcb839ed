#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "engine/url/url_record.h"
#include "foundation/files/file.h"
#include "tests/url/fetched_record_fixture.h"

namespace {

// The levels above the download folder and "outside" hold what no URL may
// touch.
using URLSave = FetchedRecordTest;

TEST_F(URLSave, SaveBodyToFileNeedsAnExistingFile)
{
    CURL url = Fetched("http://h/update.html", "new");
    std::string path = mDownload + "/existing.html";
    ASSERT_TRUE(WriteTextFile(path, "older and longer"));
    int status = url.SaveBodyToFile(CFileRef(path)).Code();
    EXPECT_TRUE(status == 0 || (!mXattrs && status == -ENOTSUP)) << status;
    EXPECT_EQ(ReadTextFile(path), "new");
    std::int64_t seconds = 0;
    ASSERT_EQ(CFile::GetModificationSeconds(CFileRef(path), seconds).Code(), 0);
    EXPECT_EQ(seconds, kModified);

    std::string missing = mDownload + "/missing.html";
    EXPECT_EQ(url.SaveBodyToFile(CFileRef(missing)).Code(), -ENOENT);
    EXPECT_FALSE(ItemExists(missing));
}

TEST_F(URLSave, LoadFromFileStandsInForAResponse)
{
    std::string path = mDownload + "/saved.html";
    ASSERT_TRUE(WriteTextFile(path, "<html>saved</html>"));
    ASSERT_EQ(CFile::SetDates(CFileRef(path), 784111777, 784111777).Code(), 0);
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
