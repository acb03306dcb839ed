// Opening URLs and files goes through xdg-open as an argument vector; the
// text of a URL can never become a command.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "foundation/system/internet_config.h"
#include "platform/launch/program_launcher.h"
#include "tests/support/temp_dir.h"

namespace {

class RecordingSpawner : public testing::Test {
protected:
    void SetUp() override
    {
        SetProgramSpawner([this](const std::vector<std::string>& argv) {
            mCalls.push_back(argv);
            return mResult;
        });
    }
    void TearDown() override { SetProgramSpawner(nullptr); }

    std::vector<std::vector<std::string>> mCalls;
    int mResult = 0;
};

TEST_F(RecordingSpawner, PassesTheTargetAsOneArgument)
{
    const char* targets[] = {
        "https://example.org/a?b=1&c=2;rm -rf ~",
        "http://example.org/$(reboot)`id`",
        "/home/user/Downloads/site/index page.html",
        "file:///tmp/a'b\"c.html",
    };
    for (const char* target : targets) {
        mCalls.clear();
        EXPECT_EQ(OpenWithDesktop(target), 0) << target;
        ASSERT_EQ(mCalls.size(), 1u) << target;
        EXPECT_EQ(mCalls[0], (std::vector<std::string>{"xdg-open", target}));
    }
}

TEST_F(RecordingSpawner, RefusesTargetsThatWouldNotReadAsOne)
{
    for (const char* target : {"", "-x", "--help", "http://a\nb", "http://a\tb", "http://a\x7f"}) {
        EXPECT_EQ(OpenWithDesktop(target), -EINVAL) << target;
    }
    EXPECT_TRUE(mCalls.empty());
}

TEST_F(RecordingSpawner, InternetConfigLaunchesOnlyWhenStarted)
{
    CInternetConfig config(kTidewellCreator);
    EXPECT_EQ(config.LaunchURL("http://example.org/"), kSysNotStarted);
    EXPECT_TRUE(mCalls.empty());

    ASSERT_EQ(config.Start(), kSysNoError);
    EXPECT_EQ(config.LaunchURL("http://example.org/"), kSysNoError);
    ASSERT_EQ(mCalls.size(), 1u);
    EXPECT_EQ(mCalls[0][1], "http://example.org/");

    EXPECT_EQ(config.LaunchURL(""), kSysBadParameter);
    mResult = -ENOENT;  // xdg-open missing
    EXPECT_EQ(config.LaunchURL("http://example.org/"), kSysLaunchFailed);
}

TEST(SpawnProgram, StartsRealProgramsWithoutAShell)
{
    EXPECT_EQ(SpawnProgram({"/bin/true"}), 0);
    EXPECT_EQ(SpawnProgram({"true"}), 0) << "found on PATH";
    EXPECT_EQ(SpawnProgram({"tidewell-no-such-program"}), -ENOENT);
    EXPECT_EQ(SpawnProgram({}), -EINVAL);

    // Shell syntax in an argument stays part of the name: cp finds the file
    // only when it gets the name whole.
    testsupport::TempDir folder;
    std::string source = folder.Write("a b;touch c$(id)'q\"", "x");
    std::string copy = folder.File("copy");
    ASSERT_EQ(SpawnProgram({"cp", source, copy}), 0);
    struct stat info;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (::stat(copy.c_str(), &info) != 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(::stat(copy.c_str(), &info), 0) << source;
}

}  // namespace
