// Log files: the application log and the grabber windows' logs. A log is
// appended to and never truncated; each start adds a start line, each stop a
// stop line, and every line ends with a line feed, whatever line ends the
// callers' texts carry (CR, LF or CR LF), so that less, grep and editors see
// one line per line.
//
//   Tidewell starting logging at 09:05:03 on Mon 7 Dec 2026.\n
//   ...lines appended by the callers...
//   Tidewell stopping logging at 09:07:41 on Mon 7 Dec 2026.\n
//
// Times are local, with English day and month names whatever the locale.
// A failure's code is a negative errno value.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "foundation/errors/status.h"
#include "platform/posix/unique_fd.h"

class CTextBuffer;

// The application log's name, its folder below the user's data folder, and
// the size at which it is renamed to "Tidewell.log.1" and begun afresh.
inline constexpr const char* kApplicationLogName = "Tidewell.log";
inline constexpr const char* kMakerFolderName = "Farrowby Software";
inline constexpr const char* kProductFolderName = "Tidewell";
inline constexpr std::int64_t kApplicationLogRotateBytes = 5LL * 1024 * 1024;

// One open log. Not copyable; a holder that goes away with its log still
// open closes it (without a stop line).
class CLogHolder {
public:
    // `rotateAtBytes` > 0: before a start or an append finds the file at
    // that size or beyond, it is renamed to "<path>.1" (replacing an older
    // one) and a new file begun.
    explicit CLogHolder(std::int64_t rotateAtBytes = 0) : mRotateAtBytes(rotateAtBytes) {}
    // A grab's log takes lines by the thousand a second: a buffered holder
    // keeps appended text and writes it in one go once kLogBufferBytes are
    // held, once an append finds the oldest held text kLogBufferAge old, and
    // at FlushLog, TakeLogWriteFailure and StopLogging. The bytes written
    // are the same as unbuffered.
    struct SBuffered {};
    explicit CLogHolder(SBuffered) : mRotateAtBytes(0), mBuffered(true) {}
    CLogHolder(const CLogHolder&) = delete;
    CLogHolder& operator=(const CLogHolder&) = delete;

    [[nodiscard]] bool IsOpen() const { return mFd.IsOpen(); }
    const std::string& Path() const { return mPath; }

private:
    friend CStatus StartLogging(CLogHolder* holder, const char* path);
    friend CStatus AppendToLog(CLogHolder* holder, std::string_view text);
    friend CStatus StopLogging(CLogHolder* holder);
    friend CStatus TakeLogWriteFailure(CLogHolder* holder);
    friend CStatus FlushLog(CLogHolder* holder);
    friend bool IsLogTextHeld(CLogHolder* holder);

    // Writes the held text; its first failure is kept in mWriteFailure.
    int WriteHeld();

    // The mail sender appends from its own OS thread.
    std::mutex mMutex;
    CUniqueFd mFd;  // closed: no log open
    std::string mPath;
    std::int64_t mRotateAtBytes;
    int mWriteFailure = 0;  // the first failed append not yet taken
    bool mAfterReturn = false;  // the last append ended with a CR
    const bool mBuffered = false;
    std::string mHeld;  // buffered text not written yet
    std::chrono::steady_clock::time_point mHeldSince;
};

inline constexpr std::size_t kLogBufferBytes = 64 * 1024;
inline constexpr std::chrono::seconds kLogBufferAge{1};

// Opens (creating when missing) the file at `path` for appending and writes
// the start line. A holder that was open is closed first. On failure the
// holder stays closed.
CStatus StartLogging(CLogHolder* holder, const char* path);
// Appends the text with its line ends made LF (a CR that ends one append
// and the LF that opens the next make one line end). Success, writing
// nothing, when there is no holder or no open log. A failure is also kept
// for TakeLogWriteFailure, so callers that append line by line may leave it.
CStatus AppendToLog(CLogHolder* holder, std::string_view text);
CStatus AppendToLog(CLogHolder* holder, const char* text);
CStatus AppendToLog(CLogHolder* holder, const CTextBuffer& text);
// A buffered holder's held text written now; its status (success when
// nothing was held or no log is open).
CStatus FlushLog(CLogHolder* holder);
// A buffered holder holds text not written yet.
[[nodiscard]] bool IsLogTextHeld(CLogHolder* holder);
// Writes the stop line and closes the log; the holder is closed afterwards
// in every case, so a second stop or a late append does nothing. Returns the
// first failure of the write and the close; success when no log was open.
CStatus StopLogging(CLogHolder* holder);
// Writes what a buffered holder holds, then: the first failure of an
// append since the log was started, or success; taking it clears it, so
// that a log that fails at every line is told of once.
CStatus TakeLogWriteFailure(CLogHolder* holder);

// What a window or a program tells when the log at `path` could not be
// opened, or written (appended to or closed).
std::string LogOpenFailureText(const std::string& path, const CStatus& status);
std::string LogWriteFailureText(const std::string& path, const CStatus& status);
// Stops an open log; the line that tells its first failure not told yet
// (an append or the closing line), or empty.
std::string StopLoggingTellingFailure(CLogHolder& log);

// The start and stop lines for a moment (seconds since 1970, shown in local
// time).
std::string LogStartLine(std::int64_t seconds);
std::string LogStopLine(std::int64_t seconds);

// The clock the log lines are stamped with; null restores the system clock.
using LogClock = std::int64_t (*)();
void SetLogClock(LogClock clock);

// The application's support folder "$XDG_DATA_HOME/Farrowby Software/Tidewell"
// (by default under ~/.local/share), creating each missing level private to
// the user. False when a level cannot be made.
[[nodiscard]] bool GetLogFolder(std::string& folder);

// Makes sure an item exists at the (POSIX) path: an existing file or folder
// is taken as it is, a missing one is created as an empty file. `found`
// receives the path. Success, or the error that kept the file from being made.
CStatus GetSpecForHFSPath(const char* path, std::string& found);

// Opens the file or folder in the application the desktop assigns to it (a
// folder opens in the file manager). Always 0: a failure to start the opener
// is not reported.
int OpenInDefaultApp(const std::string& path);
