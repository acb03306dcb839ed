#include <gtest/gtest.h>

#include <string>

#include "engine/url/url_record.h"
#include "tests/support/recording_listener.h"

namespace {

void FillResponse(CURL& url)
{
    url.mFetchedOK = 1;
    url.mFetchFinished = 1;
    url.mStatusCode = 302;
    url.mStatusLine = "HTTP/1.1 302 Found";
    EXPECT_TRUE(url.mBody.AppendBytes("Body <TITLE>", 12));
    url.mRawHeader = "Location: /x";
    url.mLocation = "/x";
    url.mRealm = "Members";
    url.mModificationSeconds = 1234;
    url.mContentType = "text/html";
    url.mContentLength = "12";
    url.mTitle = "T";
    url.mParentURL = "http://h/";
    url.mPostBody = "a=1";
}

TEST(URLRecord, CopiesKeepAllButTheRedirectAuthorizationAndDateFields)
{
    testsupport::CTestCrawlOwner grabber;
    CURL original("http://h/a/b.html?q=1");
    FillResponse(original);
    original.mGrabOwner = &grabber;

    CURL copy(original);
    CURL assigned("http://other/");
    assigned.mLocation = "/kept";
    assigned.mRealm = "kept";
    assigned.mModificationSeconds = 99;
    assigned.mFetchFinished = 0;
    assigned = original;

    for (const CURL* url : {&copy, &assigned}) {
        EXPECT_EQ(url->mURL, "http://h/a/b.html?q=1");
        EXPECT_EQ(url->mDirectoryComponents, std::vector<std::string>{"a"});
        EXPECT_EQ(url->mQuery, "q=1");
        EXPECT_EQ(url->mStatusCode, 302);
        EXPECT_EQ(url->mStatusLine.str(), "HTTP/1.1 302 Found");
        EXPECT_EQ(url->mBody.Length(), 12u);
        EXPECT_EQ(url->mRawHeader.str(), "Location: /x");
        EXPECT_EQ(url->mContentType, "text/html");
        EXPECT_EQ(url->mPostBody.str(), "a=1");
        EXPECT_EQ(url->mGrabOwner, &grabber);
        EXPECT_EQ(url->mTitle, "T");
    }
    EXPECT_EQ(copy.mLocation, "");
    EXPECT_EQ(copy.mRealm, "");
    EXPECT_EQ(copy.mModificationSeconds, 0);
    EXPECT_EQ(copy.mFetchFinished, 0);
    EXPECT_EQ(assigned.mLocation, "/kept");
    EXPECT_EQ(assigned.mRealm, "kept");
    EXPECT_EQ(assigned.mModificationSeconds, 99);
    EXPECT_EQ(assigned.mFetchFinished, 0);

    std::string body;
    ASSERT_TRUE(copy.mBody.CopyTo(body));
    EXPECT_EQ(body, "Body <TITLE>");
}

TEST(URLRecord, SetURLClearsOwnersAndAnEmptyTextKeepsTheURL)
{
    testsupport::CTestCrawlOwner grabber;
    testsupport::CTestCrawlOwner requestOwner;
    CURL url("http://h/a.html");
    url.mGrabOwner = &grabber;
    url.mRequestOwner = &requestOwner;
    EXPECT_EQ(url.Owner(), static_cast<CCrawlOwner*>(&requestOwner));  // the request's owner wins
    url.SetURL("");
    EXPECT_EQ(url.mURL, "http://h/a.html");
    EXPECT_EQ(url.mFileName, "a.html");
    EXPECT_EQ(url.mGrabOwner, nullptr);
    EXPECT_EQ(url.mRequestOwner, nullptr);
    EXPECT_EQ(url.Owner(), nullptr);
    url.mGrabOwner = &grabber;
    EXPECT_EQ(url.Owner(), static_cast<CCrawlOwner*>(&grabber));
    url.SetURL("http://k/b/c.gif");
    EXPECT_EQ(url.mHost, "k");
    EXPECT_EQ(url.mGrabOwner, nullptr);
}

TEST(URLRecord, ResetToURLDropsEveryResponseField)
{
    CURL url("http://h/a.html");
    FillResponse(url);
    url.ResetToURL("http://k/b.html");
    EXPECT_EQ(url.mURL, "http://k/b.html");
    EXPECT_EQ(url.mFetchedOK, 0);
    EXPECT_EQ(url.mFetchFinished, 0);
    EXPECT_EQ(url.mStatusCode, 0);
    EXPECT_TRUE(url.mBody.IsEmpty());
    EXPECT_EQ(url.mLocation, "");
    EXPECT_EQ(url.mRealm, "");
    EXPECT_EQ(url.mModificationSeconds, 0);
    EXPECT_EQ(url.mContentType, "");
    EXPECT_TRUE(url.mPostBody.IsEmpty());
    EXPECT_EQ(url.mTitle, "");
}

TEST(URLRecord, BodyContainsIgnoresCase)
{
    CURL url("http://h/");
    const std::string body("<html><FRAMESET>\0after nul", 26);
    EXPECT_TRUE(url.mBody.AppendBytes(body.data(), body.size()));
    EXPECT_TRUE(url.BodyContains("<frameset"));
    EXPECT_TRUE(url.BodyContains("AFTER NUL"));
    EXPECT_FALSE(url.BodyContains("<body"));
    EXPECT_FALSE(url.BodyContains(""));
    EXPECT_FALSE(url.BodyContains(nullptr));
}

}  // namespace
