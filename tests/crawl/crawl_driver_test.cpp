// crawl-driver run as a program: a grab asks for its start page once; one
// that saves nothing, or cannot keep the log it was asked for, fails with a
// reason on standard error, and leaves nothing named after a URL that was
// never valid.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/config/configuration.h"
#include "tests/crawl/crawl_test_support.h"
#include "tests/crawl/failure_cases.h"
#include "tests/support/http_peer.h"

extern char** environ;

namespace crawltest {
namespace {

struct SProgramRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs the program with `arguments`, its output kept in files below `scratch`.
SProgramRun RunProgram(const std::string& program, std::vector<std::string> arguments, const std::string& scratch)
{
    const std::string outPath = scratch + "/driver.out";
    const std::string errPath = scratch + "/driver.err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    SProgramRun run;
    pid_t child = -1;
    if (::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        if (::waitpid(child, &status, 0) == child && WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = FileText(outPath);
    run.err = FileText(errPath);
    return run;
}

class CrawlDriver : public CrawlEnvironment {};

TEST_F(CrawlDriver, AGrabThatSavesNothingFailsAndSaysWhy)
{
#ifndef TIDEWELL_CRAWL_DRIVER
    GTEST_SKIP() << "crawl-driver is not built";
#else
    testsupport::HttpPeer peer({
        {.path = "/", .body = Page("site", kFailureSiteLinks)},
        {.path = "/a.html", .body = Page("a", "a")},
        {.path = "/b.html", .body = Page("b", "b")},
    });
    const std::string scratch = mRoot.MakeFolder("scratch");
    // A grab that works, so the failures below are the cases' own.
    SProgramRun run = RunProgram(TIDEWELL_CRAWL_DRIVER, {peer.Url("/"), Mirror()}, scratch);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("Total files grabbed: 3"), std::string::npos) << run.out;
    // The start check's read of the start page is the crawl's.
    EXPECT_EQ(peer.RequestCount("/"), 1);

    for (const SFailureCase& c : FailureCases()) {
        SCOPED_TRACE(c.name);
        std::optional<testsupport::UnwritableFolder> unwritable;
        if (!c.PrepareFolder(Mirror(), unwritable)) GTEST_SKIP() << "no unwritable folder here";
        const std::string url = c.StartURL([&](const char* path) { return peer.Url(path); });
        const std::size_t requestsBefore = peer.Requests().size();

        run = RunProgram(TIDEWELL_CRAWL_DRIVER, {"--log", url, Mirror()}, scratch);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.err.rfind("crawl-driver: " + c.Told(url, Mirror()), 0), 0u) << run.err;
        EXPECT_EQ(run.out.find("Done\n"), std::string::npos) << run.out;
        const std::set<std::string> left = ListTree(Mirror());
        EXPECT_TRUE(left.empty()) << *left.begin();
        if (!c.crawled) {
            EXPECT_EQ(peer.Requests().size(), requestsBefore);
        }
    }
    const auto requests = peer.Requests();
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [](const auto& request) { return request.target == "/a.html"; }),
              1)
        << "a grab that cannot save fetches no page after its first";
#endif
}

TEST_F(CrawlDriver, ALogThatCannotBeOpenedFailsTheGrab)
{
#ifndef TIDEWELL_CRAWL_DRIVER
    GTEST_SKIP() << "crawl-driver is not built";
#else
    testsupport::HttpPeer peer({{.path = "/", .body = Page("site", "")}});
    const std::string scratch = mRoot.MakeFolder("scratch");
    const std::string configFile = scratch + "/with log";
    CConfiguration withLog;
    withLog.mMiscOptions.generateLog = 1;
    ASSERT_TRUE(withLog.WriteFile(CFileRef(configFile)).Ok());
    // Named after the start URL's host and port.
    const std::string logName = peer.Url(".log").substr(std::string_view("http://").size());
    const std::string logPath = Mirror() + "/" + logName;
    struct Case {
        const char* name;
        int (*block)(const char* path);  // puts something in the log's place
        int exitStatus;
    } cases[] = {
        {"nothing in the way", [](const char*) { return 0; }, 0},
        {"a folder", [](const char* path) { return ::mkdir(path, 0700); }, 1},
        {"a pipe", [](const char* path) { return ::mkfifo(path, 0600); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(Mirror());
        std::filesystem::create_directory(Mirror());
        ASSERT_EQ(c.block(logPath.c_str()), 0);
        const SProgramRun run = RunProgram(TIDEWELL_CRAWL_DRIVER, {"--config", configFile, peer.Url("/"), Mirror()}, scratch);
        EXPECT_EQ(run.exitStatus, c.exitStatus) << run.err;
        EXPECT_NE(run.out.find("Total files grabbed: 1"), std::string::npos) << run.out;
        if (c.exitStatus == 0) {
            EXPECT_EQ(run.err, "");
            EXPECT_NE(FileText(logPath).find("Total files grabbed: 1\n"), std::string::npos);
        } else {
            EXPECT_EQ(run.err.rfind("crawl-driver: The log file could not be opened: ", 0), 0u) << run.err;
            EXPECT_NE(run.err.find(logName + " ("), std::string::npos) << run.err;
        }
    }
#endif
}

}  // namespace
}  // namespace crawltest
