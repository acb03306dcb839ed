// Two real tidewell processes: the second hands its arguments to the first
// and exits; the first opens them in order and quits cleanly on SIGTERM.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "app/main/single_instance.h"
#include "binary_plist_bytes.h"
#include "tests/support/file_bytes.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::chrono_literals;

// Polls for a condition that another process brings about; the bound only
// keeps a broken build from hanging the suite.
bool WaitUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 3000 && !done(); ++i) std::this_thread::sleep_for(10ms);
    return done();
}

std::vector<std::string> Lines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class TwoInstances : public testing::Test {
protected:
    void SetUp() override
    {
        mRuntime = mHome.MakeFolder("run");
        chmod(mRuntime.c_str(), 0700);
        mTrace = mHome.File("trace");
        for (auto [name, value] : {std::pair{"HOME", mHome.Path()}, {"XDG_RUNTIME_DIR", mRuntime},
                                   {"XDG_CONFIG_HOME", mHome.File("config")}, {"XDG_DATA_HOME", mHome.File("data")},
                                   {"TIDEWELL_SYSTEM_CONFIG", mHome.File("system")}, {"QT_QPA_PLATFORM", std::string("offscreen")},
                                   {"TIDEWELL_TRACE_REQUESTS", mTrace}}) {
            const char* old = std::getenv(name);
            mSaved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            setenv(name, value.c_str(), 1);
        }
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    void TearDown() override
    {
        for (auto& [name, value] : mSaved) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
            else unsetenv(name.c_str());
        }
    }

    testsupport::TempDir mHome;
    std::string mRuntime;
    std::string mTrace;
    std::vector<std::pair<std::string, std::optional<std::string>>> mSaved;
};

TEST_F(TwoInstances, SecondHandsItsArgumentsToTheFirstInOrder)
{
    testsupport::PeerProcess first({TIDEWELL_PROGRAM});
    std::string socket = mRuntime + "/tidewell/instance";
    struct stat info;
    ASSERT_TRUE(WaitUntil([&] { return stat(socket.c_str(), &info) == 0; })) << "the first never listened";
    EXPECT_TRUE(S_ISSOCK(info.st_mode));

    std::string one = mHome.Write("one.webloc", WeblocPlist(AsciiObject("http://one.example/")));
    std::string two = mHome.Write("two.desktop", "[Desktop Entry]\nType=Link\nURL=https://two.example:81/p?q\n");
    std::string three = mHome.Write("three.webloc", WeblocPlist(AsciiObject("ftp://three.example/f")));
    std::string text = mHome.Write("notes.txt", "not a location");
    std::string output = mHome.File("second.out");
    int status = testsupport::RunProgram({TIDEWELL_PROGRAM, one, two, "http://host.example:8080/path/x.html?y=1",
                                          mHome.Path(), text, three, "just some words"},
                                         output);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << testsupport::DescribeWaitStatus(status);
    ASSERT_TRUE(WaitUntil([&] { return Lines(mTrace).size() >= 8; })) << testsupport::ReadFileBytes(output);

#if __has_include("app/windows/quicker_grabber/register_quicker_grabber.h")
    const std::string opened = "1";
#else
    const std::string opened = "0";
#endif
    // The start-up routine ran once, before the requests.
    std::vector<std::string> expected = {
        "start-up\t\t1",
        "open-documents\t" + one + "\t" + opened,
        "open-documents\t" + two + "\t" + opened,
        std::string("get-url\thttp://host.example:8080/path/x.html?y=1\t") + opened,
        "open-documents\t" + mHome.Path() + "\t0",  // a folder opens nothing
        "open-documents\t" + text + "\t0",          // nor does a text file
        "open-documents\t" + three + "\t" + opened,
        std::string("service\tjust some words\t") + opened,
    };
    EXPECT_EQ(Lines(mTrace), expected);

    kill(first.Pid(), SIGTERM);
    ASSERT_TRUE(first.WaitForExit(30s));
    int firstStatus = first.Stop();
    EXPECT_TRUE(WIFEXITED(firstStatus) && WEXITSTATUS(firstStatus) == 0)
        << testsupport::DescribeWaitStatus(firstStatus);
}

TEST_F(TwoInstances, StaleSocketIsReplacedAndStrangersAreIgnored)
{
    // A socket file left by a crash answers nobody: the next instance takes over.
    std::string folder = mRuntime + "/tidewell";
    mkdir(folder.c_str(), 0700);
    testsupport::WriteFileBytes(folder + "/instance", "");
    EXPECT_FALSE(HandOverArguments(folder + "/instance", {"x"}));
    testsupport::PeerProcess first({TIDEWELL_PROGRAM, "http://first.example/"});
    ASSERT_TRUE(WaitUntil([&] { return Lines(mTrace).size() >= 2; }));
    EXPECT_TRUE(HandOverArguments(folder + "/instance", {"http://second.example/"}));
    ASSERT_TRUE(WaitUntil([&] { return Lines(mTrace).size() >= 3; }));
    EXPECT_EQ(Lines(mTrace)[2].substr(0, 30), "get-url\thttp://second.example/");
    kill(first.Pid(), SIGTERM);
    EXPECT_TRUE(first.WaitForExit(30s));
}

TEST(HandOverFormat, OnlyWholeMessagesCount)
{
    std::string whole = JoinHandedArguments({"a b", "", "http://x/"});
    ASSERT_TRUE(SplitHandedArguments(whole));
    EXPECT_EQ(*SplitHandedArguments(whole), (std::vector<std::string>{"a b", "", "http://x/"}));
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_FALSE(SplitHandedArguments(whole.substr(0, cut))) << cut;
    EXPECT_FALSE(SplitHandedArguments("GET / HTTP/1.1\r\n\r\n"));
}

}  // namespace
