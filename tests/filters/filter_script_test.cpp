#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <thread>

#include "engine/filters/filter_script.h"
#include "engine/filters/filter_set.h"
#include "engine/filters/script_process.h"
#include "foundation/threads/thread_scheduler.h"
#include "tests/filters/filter_url_records.h"
#include "tests/support/file_bytes.h"
#include "tests/support/temp_dir.h"
#include "tests/threads/lambda_thread.h"

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr const char* kValueNames[] = {
    "URL",         "HOST",          "PATH_ARGS", "PATH",       "SEARCH_ARGS", "HEADER",
    "DATE",        "LAST_MODIFIED", "CONTENT_TYPE", "CONTENT_LENGTH", "LOCATION", "PARENT_URL",
    "NAME",        "SUFFIX",        "RESPONSE",  "DATA",
};

class FilterScriptTest : public testing::Test {
protected:
    void TearDown() override { SetFilterScriptTimeout(kDefaultFilterScriptTimeout); }

    // An executable script with the given body after its shebang line.
    std::string Script(const std::string& body)
    {
        std::string path = mDir.Write("script.sh", "#!/bin/sh\n" + body);
        ::chmod(path.c_str(), 0755);
        return path;
    }

    // A script that writes each value into a file named after it (a file
    // "unset-NAME" when the variable is missing) and its input into "stdin".
    std::string RecordingScript()
    {
        std::string body = "cd '" + mDir.Path() + "' || exit 9\n";
        for (const char* name : kValueNames) {
            body += std::string("if [ \"${TIDEWELL_") + name + "+set}\" ]; then printf '%s' \"$TIDEWELL_" + name +
                    "\" > " + name + "; else : > unset-" + name + "; fi\n";
        }
        body += "cat > stdin\nexit 3\n";
        return Script(body);
    }

    std::string Read(const char* name) { return testsupport::ReadFileBytes(mDir.File(name)); }
    bool Exists(const std::string& name) { return ::access(mDir.File(name).c_str(), F_OK) == 0; }

    testsupport::TempDir mDir;
};

std::unique_ptr<CURL> PageWithEverything(const char* contentType, std::string_view body)
{
    auto url = MakeURL({.url = "http://example.test:8080/docs/api/page.php?q=1&r=2",
                        .contentType = contentType,
                        .contentLength = "42",
                        .body = body});
    url->mRawHeader = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n";
    url->mDate = "Sat, 31 Dec 2005 10:00:00 GMT";
    url->mLastModified = "Fri, 30 Dec 2005 10:00:00 GMT";
    url->mLocation = "http://example.test/moved";
    url->mParentURL = "http://example.test/";
    url->mStatusLine = "HTTP/1.1 200 OK";
    return url;
}

TEST_F(FilterScriptTest, TextPageValuesReachTheScript)
{
    CFilterSet filters;
    filters.pathToScript = RecordingScript().c_str();
    std::string body = "line \"one\"\\\nline 'two'\n";
    auto url = PageWithEverything("text/html", body);
    // The script's exit status (3) is no verdict: a set without criteria passes.
    EXPECT_TRUE(filters.Evaluate(*url));

    EXPECT_EQ(Read("URL"), url->mURL);
    EXPECT_EQ(Read("HOST"), "example.test:8080");
    EXPECT_EQ(Read("PATH_ARGS"), "");
    EXPECT_EQ(Read("PATH"), "/docs/api");
    EXPECT_EQ(Read("SEARCH_ARGS"), "q=1&r=2");
    EXPECT_EQ(Read("HEADER"), "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n");
    EXPECT_EQ(Read("DATE"), "Sat, 31 Dec 2005 10:00:00 GMT");
    EXPECT_EQ(Read("LAST_MODIFIED"), "Fri, 30 Dec 2005 10:00:00 GMT");
    EXPECT_EQ(Read("CONTENT_TYPE"), "text/html");
    EXPECT_EQ(Read("CONTENT_LENGTH"), "42");
    EXPECT_EQ(Read("LOCATION"), "http://example.test/moved");
    EXPECT_EQ(Read("PARENT_URL"), "http://example.test/");
    EXPECT_EQ(Read("NAME"), "page.php");
    EXPECT_EQ(Read("SUFFIX"), ".php");
    EXPECT_EQ(Read("RESPONSE"), "HTTP/1.1 200 OK");
    // Values arrive as they are: nothing is quoted or escaped for a language.
    EXPECT_EQ(Read("DATA"), body);
    EXPECT_EQ(Read("stdin"), body);
}

TEST_F(FilterScriptTest, OtherContentGetsNoBodyAndNamelessURLsAnIndexName)
{
    CFilterSet filters;
    filters.pathToScript = RecordingScript().c_str();
    auto url = MakeURL({.url = "http://example.test/images/$frame=2", .contentType = "image/png", .body = "\x89PNG"});
    EXPECT_EQ(filters.RunScript(*url), 0);
    EXPECT_EQ(Read("URL"), "http://example.test/images/$frame=2");
    EXPECT_EQ(Read("PATH_ARGS"), "frame=2");
    EXPECT_EQ(Read("PATH"), "/images");
    EXPECT_EQ(Read("NAME"), "Index.html");
    EXPECT_TRUE(Exists("unset-DATA"));
    EXPECT_EQ(Read("stdin"), "");
}

TEST_F(FilterScriptTest, LargeBodiesGoToStandardInputOnly)
{
    CFilterSet filters;
    filters.pathToScript = RecordingScript().c_str();
    std::string body(kMaxScriptValueBytes + 1, 'a');
    EXPECT_EQ(filters.RunScript(*MakeURL({.body = body})), 0);
    EXPECT_TRUE(Exists("unset-DATA"));
    EXPECT_EQ(Read("stdin"), body);
}

TEST_F(FilterScriptTest, TheScriptRunsEvenWhenTheTestsReject)
{
    CFilterSet filters;
    filters.pathToScript = Script("touch '" + mDir.File("ran") + "'\n").c_str();
    AddItems(filters.suffixIs, {".css"});
    filters.Compile();
    EXPECT_FALSE(filters.Evaluate(*MakeURL({.url = "http://example.test/page.html"})));
    EXPECT_TRUE(Exists("ran"));
}

TEST_F(FilterScriptTest, FailuresToRunAreReportedButNeverDecide)
{
    CFilterSet filters;
    filters.pathToScript = mDir.File("missing.sh").c_str();
    auto url = MakeURL({});
    EXPECT_EQ(filters.RunScript(*url), -ENOENT);
    EXPECT_TRUE(filters.Evaluate(*url));

    std::string notExecutable = mDir.Write("plain.sh", "#!/bin/sh\nexit 0\n");
    ::chmod(notExecutable.c_str(), 0644);
    filters.pathToScript = notExecutable.c_str();
    if (::geteuid() != 0) {
        EXPECT_EQ(filters.RunScript(*url), -EACCES);
    }

    // Never through a shell: a path with shell syntax is only a file name.
    filters.pathToScript = (mDir.File("x") + "; touch " + mDir.File("injected")).c_str();
    EXPECT_EQ(filters.RunScript(*url), -ENOENT);
    EXPECT_FALSE(Exists("injected"));
}

TEST_F(FilterScriptTest, AScriptThatRunsTooLongIsKilledWithItsChildren)
{
    SetFilterScriptTimeout(milliseconds(300));
    CFilterSet filters;
    filters.pathToScript =
        Script("sleep 3600 &\necho $! > '" + mDir.File("child") + "'\nwait\n").c_str();
    EXPECT_EQ(filters.RunScript(*MakeURL({})), -ETIMEDOUT);
    std::string child = Read("child");
    ASSERT_FALSE(child.empty());
    pid_t pid = std::stoi(child);
    // The background child was in the script's process group and died too
    // (it may linger as a zombie of init for a moment).
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        std::string status = testsupport::ReadFileBytes("/proc/" + std::to_string(pid) + "/stat");
        gone = status.empty() || status.find(") Z") != std::string::npos;
        if (!gone) std::this_thread::sleep_for(milliseconds(20));
    }
    EXPECT_TRUE(gone);
}

TEST_F(FilterScriptTest, AScriptThatIgnoresItsInputDoesNotStallTheFilter)
{
    std::string path = Script("exit 0\n");
    std::string body(8 << 20, 'x');
    int exitCode = -1;
    // A stall would end at the time-out with -ETIMEDOUT.
    EXPECT_EQ(RunProgramWithInput(path, {}, body, milliseconds(600000), &exitCode), 0);
    EXPECT_EQ(exitCode, 0);
}

TEST_F(FilterScriptTest, TheScriptRunsOffTheFiberWhileOtherThreadsGoOn)
{
    CFilterSet filters;
    filters.pathToScript = Script("sleep 0.3\n").c_str();
    auto url = MakeURL({});
    bool passed = false;
    int otherSteps = 0;
    CLambdaThread evaluating([&](CLambdaThread&) { passed = filters.Evaluate(*url); });
    CLambdaThread other([&](CLambdaThread& self) {
        while (!evaluating.IsFinished()) {
            ++otherSteps;
            self.Sleep(milliseconds(10));
        }
    });
    evaluating.Resume();
    other.Resume();
    ASSERT_TRUE(CThreadScheduler::RunUntil([&] { return evaluating.IsFinished() && other.IsFinished(); },
                                           Clock::now() + std::chrono::seconds(10)));
    EXPECT_TRUE(passed);
    EXPECT_GE(otherSteps, 10);
}

}  // namespace
