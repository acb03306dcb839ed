// Log files: exact start and stop lines, appending, closing for good, and
// rotation of the application log.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/settings/log_file.h"
#include "foundation/text/text_buffer.h"
#include "platform/launch/program_launcher.h"
#include "tests/settings/settings_test_environment.h"
#include "tests/support/file_size_cap.h"

namespace {

// 7 December 2026 09:05:03 UTC, a Monday.
constexpr std::int64_t kMonday = 1796634303;
std::int64_t gFakeNow = kMonday;
std::int64_t FakeClock() { return gFakeNow; }

class LogFile : public SettingsEnvironment {
protected:
    void SetUp() override
    {
        SettingsEnvironment::SetUp();
        Override("TZ", "UTC");
        ::tzset();
        gFakeNow = kMonday;
        SetLogClock(&FakeClock);
    }
    void TearDown() override
    {
        SetLogClock(nullptr);
        SettingsEnvironment::TearDown();
        ::tzset();
    }
};

TEST_F(LogFile, LinesHaveTheirExactFormWithLineFeeds)
{
    struct Case {
        std::int64_t seconds;
        const char* start;
        const char* stop;
    } cases[] = {
        {kMonday, "Tidewell starting logging at 09:05:03 on Mon 7 Dec 2026.\n",
         "Tidewell stopping logging at 09:05:03 on Mon 7 Dec 2026.\n"},
        {0, "Tidewell starting logging at 00:00:00 on Thu 1 Jan 1970.\n",
         "Tidewell stopping logging at 00:00:00 on Thu 1 Jan 1970.\n"},
        {951825599, "Tidewell starting logging at 11:59:59 on Tue 29 Feb 2000.\n",
         "Tidewell stopping logging at 11:59:59 on Tue 29 Feb 2000.\n"},
        {1735689599, "Tidewell starting logging at 23:59:59 on Tue 31 Dec 2024.\n",
         "Tidewell stopping logging at 23:59:59 on Tue 31 Dec 2024.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(LogStartLine(c.seconds), c.start);
        EXPECT_EQ(LogStopLine(c.seconds), c.stop);
    }
}

TEST_F(LogFile, AStartedLogHoldsStartLineAppendedTextAndStopLine)
{
    struct Case {
        const char* name;
        const char* existing;  // null: no file yet
    } cases[] = {
        {"new file", nullptr},
        {"existing file, appended after its last byte", "earlier session\r"},
        {"existing file without a final line end", "no line end"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(Path("grab.log"));
        if (c.existing) Put("grab.log", c.existing);

        CLogHolder holder;
        ASSERT_EQ(StartLogging(&holder, Path("grab.log").c_str()).Code(), 0);
        EXPECT_TRUE(holder.IsOpen());
        gFakeNow = kMonday + 158;
        EXPECT_EQ(AppendToLog(&holder, "Grabbing http://example.org/\n").Code(), 0);
        EXPECT_EQ(AppendToLog(&holder, CTextBuffer("Saved index.html\n")).Code(), 0);
        EXPECT_EQ(StopLogging(&holder).Code(), 0);
        EXPECT_FALSE(holder.IsOpen());

        EXPECT_EQ(Get("grab.log"), std::string(c.existing ? c.existing : "") +
                                       "Tidewell starting logging at 09:05:03 on Mon 7 Dec 2026.\n"
                                       "Grabbing http://example.org/\n"
                                       "Saved index.html\n"
                                       "Tidewell stopping logging at 09:07:41 on Mon 7 Dec 2026.\n");
        gFakeNow = kMonday;
    }
}

// Callers hand over texts with the line ends of any origin; the file read
// back has one LF per line and no CR, so line tools count what a person sees.
TEST_F(LogFile, EveryLineEndsWithALineFeedWhateverTheCallerWrote)
{
    struct Case {
        const char* name;
        std::vector<std::string> appends;
        std::vector<std::string> lines;  // between the start and stop lines
    } cases[] = {
        {"carriage returns", {"one\r", "two\r"}, {"one", "two"}},
        {"line feeds", {"one\n", "two\n"}, {"one", "two"}},
        {"CR LF within one append", {"one\r\ntwo\r\n"}, {"one", "two"}},
        {"CR LF split between appends", {"one\r", "\ntwo\r", "\n"}, {"one", "two"}},
        {"a line in pieces", {"Grabbing ", "http://example.org/", "\r"}, {"Grabbing http://example.org/"}},
        {"blank lines kept", {"\rone\r\r", "\n\ntwo\n"}, {"", "one", "", "", "two"}},
        {"mixed in one text", {"a\rb\r\nc\nd\r"}, {"a", "b", "c", "d"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(Path("lines.log"));
        CLogHolder holder;
        ASSERT_EQ(StartLogging(&holder, Path("lines.log").c_str()).Code(), 0);
        for (const std::string& text : c.appends) ASSERT_EQ(AppendToLog(&holder, text).Code(), 0);
        ASSERT_EQ(StopLogging(&holder).Code(), 0);

        const std::string text = Get("lines.log");
        EXPECT_EQ(text.find('\r'), std::string::npos);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.back(), '\n');
        std::vector<std::string> lines;
        for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
            end = text.find('\n', at);
            lines.push_back(text.substr(at, end - at));
        }
        ASSERT_EQ(lines.size(), c.lines.size() + 2);
        EXPECT_EQ(lines.front() + "\n", LogStartLine(kMonday));
        EXPECT_EQ(lines.back() + "\n", LogStopLine(kMonday));
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end() - 1), c.lines);
    }
}

// A buffered log (a grab's) keeps its lines until it is flushed, a failure
// is asked for, it is stopped or it holds a buffer's worth; what it writes
// then is byte for byte what an unbuffered log writes.
TEST_F(LogFile, ABufferedLogWritesTheSameBytesInFewWrites)
{
    const std::string longLine = std::string(kLogBufferBytes, 'x') + "\r";
    struct Case {
        const char* name;
        std::vector<std::string> appends;
        std::function<void(CLogHolder&)> end;  // what makes it write
        bool heldUntilTheEnd;
    } cases[] = {
        {"flushed", {"one\r", "\ntwo\r", "three"}, [](CLogHolder& h) { EXPECT_EQ(FlushLog(&h).Code(), 0); }, true},
        {"stopped", {"Grabbing ", "http://example.org/", "\r"}, [](CLogHolder& h) { EXPECT_EQ(StopLogging(&h).Code(), 0); },
         true},
        {"a failure asked for", {"a\rb\r\n"}, [](CLogHolder& h) { EXPECT_EQ(TakeLogWriteFailure(&h).Code(), 0); }, true},
        {"a buffer's worth", {"one\r", longLine}, [](CLogHolder&) {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(Path("plain.log"));
        std::filesystem::remove(Path("held.log"));
        CLogHolder plain;
        CLogHolder held{CLogHolder::SBuffered{}};
        ASSERT_EQ(StartLogging(&plain, Path("plain.log").c_str()).Code(), 0);
        ASSERT_EQ(StartLogging(&held, Path("held.log").c_str()).Code(), 0);
        for (const std::string& text : c.appends) {
            ASSERT_EQ(AppendToLog(&plain, text).Code(), 0);
            ASSERT_EQ(AppendToLog(&held, text).Code(), 0);
        }
        EXPECT_EQ(Get("held.log") == LogStartLine(kMonday), c.heldUntilTheEnd) << "nothing written before the end";
        EXPECT_EQ(IsLogTextHeld(&held), c.heldUntilTheEnd);
        c.end(held);
        EXPECT_FALSE(IsLogTextHeld(&held));
        if (held.IsOpen()) {
            EXPECT_EQ(Get("held.log"), Get("plain.log"));
            ASSERT_EQ(StopLogging(&held).Code(), 0);
        }
        ASSERT_EQ(StopLogging(&plain).Code(), 0);
        EXPECT_EQ(Get("held.log"), Get("plain.log"));
    }
}

TEST_F(LogFile, AClosedOrMissingLogTakesNothing)
{
    CLogHolder holder;
    ASSERT_EQ(StartLogging(&holder, Path("grab.log").c_str()).Code(), 0);
    ASSERT_EQ(StopLogging(&holder).Code(), 0);
    const std::string closed = Get("grab.log");

    CLogHolder neverStarted;
    struct Case {
        const char* name;
        CLogHolder* holder;
    } cases[] = {
        {"stopped holder", &holder},
        {"holder never started", &neverStarted},
        {"no holder", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AppendToLog(c.holder, "late line\r").Code(), 0);
        EXPECT_EQ(StopLogging(c.holder).Code(), 0);
    }
    EXPECT_EQ(Get("grab.log"), closed);
}

// A failed append is remembered until it is taken, once, whatever followed
// it; a new start forgets it. The log's file is capped with RLIMIT_FSIZE in a
// child process, whose writes past the cap fail with EFBIG.
TEST_F(LogFile, AFailedAppendIsToldOnce)
{
    const std::size_t cap = LogStartLine(kMonday).size() + 8;
    const std::string longLine(64, 'x');
    struct Case {
        const char* name;
        std::vector<std::string> appends;
        bool restart;  // started afresh after the appends
        int taken;
    } cases[] = {
        {"appends that fit", {"one\r", "two\r"}, false, 0},
        {"an append past the cap", {"one\r", longLine, "two\r"}, false, -EFBIG},
        {"a start after the failure", {longLine}, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Path(std::string(c.name) + ".log");
        // The first failure taken, then the second take (or a failed restart).
        const std::string told = testsupport::InChildWithFileSizeCap(cap, [&] {
            CLogHolder holder;
            int restarted = 0;
            (void)StartLogging(&holder, path.c_str());
            for (const std::string& line : c.appends) (void)AppendToLog(&holder, line);
            if (c.restart) {
                ::unlink(path.c_str());
                restarted = StartLogging(&holder, path.c_str()).Code();
            }
            const int taken = TakeLogWriteFailure(&holder).Code();
            const int again = restarted != 0 ? restarted : TakeLogWriteFailure(&holder).Code();
            return std::to_string(taken) + " " + std::to_string(again);
        });
        EXPECT_EQ(told, std::to_string(c.taken) + " 0");
    }
}

TEST_F(LogFile, DescriptorZeroIsAnOpenLogNotTheAbsentOne)
{
    // With standard input closed the log gets descriptor 0; it must still be
    // written and closed like any other.
    int savedInput = ::dup(0);
    ASSERT_GE(savedInput, 0);
    ::close(0);
    CLogHolder holder;
    int started = StartLogging(&holder, Path("zero.log").c_str()).Code();
    int appended = AppendToLog(&holder, "line\r").Code();
    int stopped = StopLogging(&holder).Code();
    bool openAfterStop = holder.IsOpen();
    ::dup2(savedInput, 0);
    ::close(savedInput);

    EXPECT_EQ(started, 0);
    EXPECT_EQ(appended, 0);
    EXPECT_EQ(stopped, 0);
    EXPECT_FALSE(openAfterStop);
    EXPECT_EQ(Get("zero.log"), LogStartLine(kMonday) + "line\n" + LogStopLine(kMonday));
}

TEST_F(LogFile, StartFailuresLeaveTheHolderClosed)
{
    Put("blocker", "file");
    // A pipe in place of a log waits for a reader and fills up: refused at
    // once, with or without one.
    ASSERT_EQ(::mkfifo(Path("pipe.log").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(Path("read.log").c_str(), 0600), 0);
    const int reader = ::open(Path("read.log").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    struct Case {
        const char* name;
        std::string path;
        int status;
    } cases[] = {
        {"missing folder", Path("nowhere/grab.log"), -ENOENT},
        {"file where a folder should be", Path("blocker/grab.log"), -ENOTDIR},
        {"empty path", "", -EINVAL},
        {"pipe without a reader", Path("pipe.log"), -EINVAL},
        {"pipe with a reader", Path("read.log"), -EINVAL},
        {"device", "/dev/null", -EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLogHolder holder;
        EXPECT_EQ(StartLogging(&holder, c.path.c_str()).Code(), c.status);
        EXPECT_FALSE(holder.IsOpen());
        EXPECT_EQ(AppendToLog(&holder, "x").Code(), 0);
        EXPECT_EQ(StopLogging(&holder).Code(), 0);
    }
    EXPECT_EQ(StartLogging(nullptr, Path("grab.log").c_str()).Code(), -EINVAL);
    ::close(reader);
}

TEST_F(LogFile, ALogThatReachedItsLimitIsRotated)
{
    const std::string start = LogStartLine(kMonday);
    const std::int64_t limit = static_cast<std::int64_t>(start.size()) + 20;

    // A start on a file already at the limit moves it aside first.
    Put("app.log", std::string(static_cast<std::size_t>(limit), 'o'));
    CLogHolder holder(limit);
    ASSERT_EQ(StartLogging(&holder, Path("app.log").c_str()).Code(), 0);
    EXPECT_EQ(Get("app.log.1"), std::string(static_cast<std::size_t>(limit), 'o'));
    EXPECT_EQ(Get("app.log"), start);

    // Appends go on until the file reaches the limit; the next one rotates.
    ASSERT_EQ(AppendToLog(&holder, "0123456789\r").Code(), 0);
    ASSERT_EQ(AppendToLog(&holder, "abcdefghij\r").Code(), 0);  // now past the limit
    EXPECT_EQ(Get("app.log"), start + "0123456789\nabcdefghij\n");
    ASSERT_EQ(AppendToLog(&holder, "after rotation\r").Code(), 0);
    EXPECT_EQ(Get("app.log.1"), start + "0123456789\nabcdefghij\n");
    ASSERT_EQ(StopLogging(&holder).Code(), 0);
    EXPECT_EQ(Get("app.log"), "after rotation\n" + LogStopLine(kMonday));

    // Without a limit a log only grows.
    CLogHolder unlimited;
    ASSERT_EQ(StartLogging(&unlimited, Path("grab.log").c_str()).Code(), 0);
    for (int i = 0; i < 50; ++i) ASSERT_EQ(AppendToLog(&unlimited, "0123456789\r").Code(), 0);
    ASSERT_EQ(StopLogging(&unlimited).Code(), 0);
    EXPECT_FALSE(Exists("grab.log.1"));
}

TEST_F(LogFile, LogFolderIsMadeLevelByLevel)
{
    std::string folder;
    ASSERT_TRUE(GetLogFolder(folder));
    EXPECT_EQ(folder, Path("data/Farrowby Software/Tidewell"));
    EXPECT_EQ(ModeOf("data/Farrowby Software"), 0700u);
    EXPECT_EQ(ModeOf("data/Farrowby Software/Tidewell"), 0700u);
    ASSERT_TRUE(GetLogFolder(folder));  // a second call finds it

    Put("blocker", "file");
    Override("XDG_DATA_HOME", Path("blocker/data"));
    std::string unchanged = "unchanged";
    EXPECT_FALSE(GetLogFolder(unchanged));
    EXPECT_EQ(unchanged, "unchanged");
}

TEST_F(LogFile, SpecForAPathFindsOrCreatesTheItem)
{
    Put("existing.txt", "keep me");
    std::filesystem::create_directory(Path("folder"));
    struct Case {
        const char* name;
        std::string path;
        int status;
    } cases[] = {
        {"existing file", Path("existing.txt"), 0},
        {"existing folder", Path("folder"), 0},
        {"missing file", Path("new.log"), 0},
        {"missing folder above", Path("nowhere/new.log"), -ENOENT},
        {"empty path", "", -EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string found;
        EXPECT_EQ(GetSpecForHFSPath(c.path.c_str(), found).Code(), c.status);
        if (c.status == 0) {
            EXPECT_EQ(found, c.path);
        }
    }
    EXPECT_EQ(Get("existing.txt"), "keep me");
    EXPECT_TRUE(Exists("new.log"));
    EXPECT_EQ(Get("new.log"), "");
}

TEST_F(LogFile, OpenInDefaultAppHandsThePathToTheDesktopOpener)
{
    std::vector<std::vector<std::string>> started;
    int answer = 0;
    SetProgramSpawner([&](const std::vector<std::string>& argv) {
        started.push_back(argv);
        return answer;
    });
    EXPECT_EQ(OpenInDefaultApp(Path("data")), 0);
    answer = -ENOENT;  // no opener installed: still nothing to report
    EXPECT_EQ(OpenInDefaultApp(Path("data/Tidewell.log")), 0);
    SetProgramSpawner(nullptr);

    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0], (std::vector<std::string>{"xdg-open", Path("data")}));
    EXPECT_EQ(started[1], (std::vector<std::string>{"xdg-open", Path("data/Tidewell.log")}));
}

}  // namespace
