// A download folder deep inside a scratch folder (see
// tests/files/deep_download_folder.h) and URL records that stand for
// complete responses, for the tests that save records into it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/url/url_record.h"
#include "tests/files/deep_download_folder.h"
#include "tests/files/scratch_folder.h"

class FetchedRecordTest : public ::testing::Test {
protected:
    static constexpr std::int64_t kModified = 1600000000;

    void SetUp() override
    {
        ASSERT_TRUE(mScratch.IsReady());
        ASSERT_TRUE(MakeDeepDownloadFolder(mScratch, mDownload));
        mXattrs = SupportsUserAttributes(mDownload);
    }

    // A 200 answer with `body`, dated kModified.
    CURL Fetched(const std::string& text, const std::string& body)
    {
        CURL url(text);
        url.mFetchedOK = 1;
        url.mStatusCode = 200;
        url.mModificationSeconds = kModified;
        EXPECT_TRUE(url.mBody.AppendBytes(body.data(), body.size()));
        return url;
    }

    CScratchFolder mScratch;
    std::string mDownload;
    bool mXattrs = false;
};
