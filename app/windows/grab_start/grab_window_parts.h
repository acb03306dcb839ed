// What the grabber and the quicker grabber do alike around a grab: the
// chasing arrows, the grab's log file and the site map button.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "app/progress/paced_value.h"
#include "foundation/settings/log_file.h"

class CConfiguration;
class CPane;
class CSiteIteratorThread;
class CURL;

// A grab window's state (both kinds).
enum ECrawlWindowState : std::int32_t {
    kWindowNeverStarted = 0,
    kWindowRunning = 1,
    kWindowDone = 2,
    kWindowPaused = 3,
};

void StartSpinning(CPane* spinner);
void StopSpinning(CPane* spinner);

// Opens "<log folder>/<start host>.log" into `log` (closing what it held);
// the path, or, when it could not be opened, nothing and `failure` set to
// the line that tells it.
std::string OpenGrabLog(CLogHolder& log, const CConfiguration& configuration, const CURL& startURL,
                        std::string& failure);
// Appends to a buffered grab log, and writes what it holds at most
// kLogBufferAge after it was appended, also when no line follows it (a page
// that stalls). A failure is kept by the log and told when the crawl ends.
// GUI thread.
class CHeldLogWriter {
public:
    explicit CHeldLogWriter(CLogHolder& log)
        : mLog(log), mPace(kLogBufferAge, [&log](const std::monostate&) { (void)FlushLog(&log); })
    {
    }
    void Append(std::string_view text)
    {
        // A grab without a log file (the configuration asks for none) logs
        // as many lines: nothing is kept or timed for them.
        if (!mLog.IsOpen()) return;
        (void)AppendToLog(&mLog, text);
        mPace.Offer({});
    }
    // The text and a line end. A crawl logs many lines a URL: each is put
    // together in the same room.
    void AppendLine(std::string_view text)
    {
        if (!mLog.IsOpen()) return;
        mLine.assign(text).push_back('\n');
        Append(mLine);
    }

private:
    CLogHolder& mLog;
    std::string mLine;
    CPacedValue<std::monostate> mPace;
};

// The line that tells the first failure to write the open log not told yet
// ("The log file could not be written: PATH (REASON)"), or empty.
std::string TakeGrabLogFailure(CLogHolder& log);

// Where the crawl writes its site map.
std::string SiteMapPathOf(const CSiteIteratorThread& thread, const CConfiguration& configuration);

// The site map button: while a crawl runs, its site map is written and
// opened (and `ioPath` keeps where it went); afterwards the one it left is
// opened; with neither, a beep.
void ShowSiteMap(CSiteIteratorThread* thread, const CConfiguration& configuration, std::string& ioPath);
