#include "foundation/settings/log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

#include "foundation/settings/user_folders.h"
#include "foundation/text/line_feeds.h"
#include "foundation/text/text_buffer.h"
#include "platform/launch/program_launcher.h"
#include "platform/posix/errno_status.h"
#include "platform/posix/plain_file.h"
#include "platform/posix/write_all.h"

namespace {

std::int64_t SystemClock() { return static_cast<std::int64_t>(std::time(nullptr)); }

std::atomic<LogClock> gLogClock{&SystemClock};

std::int64_t Now() { return gLogClock.load()(); }

std::string LogLine(const char* verb, std::int64_t seconds)
{
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::time_t when = static_cast<std::time_t>(seconds);
    struct tm parts {};
    if (::localtime_r(&when, &parts) == nullptr) parts = tm{};
    char line[128];
    std::snprintf(line, sizeof line, "Tidewell %s logging at %02d:%02d:%02d on %s %d %s %d.\n", verb,
                  parts.tm_hour, parts.tm_min, parts.tm_sec, kDays[(parts.tm_wday % 7 + 7) % 7],
                  parts.tm_mday, kMonths[(parts.tm_mon % 12 + 12) % 12], parts.tm_year + 1900);
    return line;
}

// Only a plain file takes a log: opening a pipe for writing would wait for a
// reader, and a full one would stop every later line.
int OpenForAppending(const std::string& path)
{
    CUniqueFd fd;
    const int status = OpenPlainFile(path.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644, fd);
    return status != 0 ? status : fd.Release();
}

// Renames a log of `limit` bytes or more to "<path>.1", replacing an older
// one; true when it did.
bool RotateWhenFull(const std::string& path, std::int64_t size, std::int64_t limit)
{
    if (limit <= 0 || size < limit) return false;
    return ::rename(path.c_str(), (path + ".1").c_str()) == 0;
}

// The age of held text counts in the kernel's ticks (a few milliseconds):
// the precise clock, read for each of the many lines a crawl logs, costs
// more than the appending.
std::chrono::steady_clock::time_point CoarseNow()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return std::chrono::steady_clock::time_point(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::seconds(now.tv_sec) +
                                                                        std::chrono::nanoseconds(now.tv_nsec)));
}

}  // namespace

std::string LogOpenFailureText(const std::string& path, const CStatus& status)
{
    return "The log file could not be opened: " + path + " (" + std::strerror(-status.Code()) + ")";
}

std::string LogWriteFailureText(const std::string& path, const CStatus& status)
{
    return "The log file could not be written: " + path + " (" + std::strerror(-status.Code()) + ")";
}

std::string StopLoggingTellingFailure(CLogHolder& log)
{
    if (!log.IsOpen()) return {};
    CStatus failure = TakeLogWriteFailure(&log);
    CStatus stopped = StopLogging(&log);
    if (failure.Ok()) failure = std::move(stopped);
    return failure.Ok() ? std::string() : LogWriteFailureText(log.Path(), failure);
}

std::string LogStartLine(std::int64_t seconds) { return LogLine("starting", seconds); }

std::string LogStopLine(std::int64_t seconds) { return LogLine("stopping", seconds); }

void SetLogClock(LogClock clock) { gLogClock.store(clock != nullptr ? clock : &SystemClock); }

CStatus StartLogging(CLogHolder* holder, const char* path)
{
    if (holder == nullptr || path == nullptr || path[0] == '\0') return CStatus::FromCode(-EINVAL);
    std::lock_guard<std::mutex> lock(holder->mMutex);
    holder->mFd.Reset();
    holder->mPath = path;
    holder->mWriteFailure = 0;
    holder->mAfterReturn = false;
    holder->mHeld.clear();
    struct stat info {};
    if (::stat(path, &info) == 0) RotateWhenFull(holder->mPath, info.st_size, holder->mRotateAtBytes);
    const int opened = OpenForAppending(holder->mPath);
    if (opened < 0) return CStatus::FromCode(opened);
    CUniqueFd fd(opened);
    const int status = WriteAll(fd.Get(), LogStartLine(Now()));
    if (status != 0) return CStatus::FromCode(status);
    holder->mFd = std::move(fd);
    return {};
}

CStatus AppendToLog(CLogHolder* holder, std::string_view text)
{
    if (holder == nullptr) return {};
    std::lock_guard<std::mutex> lock(holder->mMutex);
    if (!holder->mFd.IsOpen()) return {};
    struct stat info {};
    if (holder->mRotateAtBytes > 0 && ::fstat(holder->mFd.Get(), &info) == 0 &&
        RotateWhenFull(holder->mPath, info.st_size, holder->mRotateAtBytes)) {
        holder->mFd.Reset();
        const int fd = OpenForAppending(holder->mPath);
        if (fd < 0) {
            if (holder->mWriteFailure == 0) holder->mWriteFailure = fd;
            return CStatus::FromCode(fd);
        }
        holder->mFd.Reset(fd);
    }
    if (holder->mBuffered) {
        const auto now = CoarseNow();
        if (holder->mHeld.empty()) holder->mHeldSince = now;
        AppendWithLineFeeds(holder->mHeld, text, holder->mAfterReturn);
        if (holder->mHeld.size() < kLogBufferBytes && now - holder->mHeldSince < kLogBufferAge) return {};
        return CStatus::FromCode(holder->WriteHeld());
    }
    const int status = WriteAll(holder->mFd.Get(), WithLineFeeds(text, holder->mAfterReturn));
    if (status != 0 && holder->mWriteFailure == 0) holder->mWriteFailure = status;
    return CStatus::FromCode(status);
}

int CLogHolder::WriteHeld()
{
    if (mHeld.empty() || !mFd.IsOpen()) return 0;
    const int status = WriteAll(mFd.Get(), mHeld);
    mHeld.clear();
    if (status != 0 && mWriteFailure == 0) mWriteFailure = status;
    return status;
}

CStatus FlushLog(CLogHolder* holder)
{
    if (holder == nullptr) return {};
    std::lock_guard<std::mutex> lock(holder->mMutex);
    return CStatus::FromCode(holder->WriteHeld());
}

bool IsLogTextHeld(CLogHolder* holder)
{
    if (holder == nullptr) return false;
    std::lock_guard<std::mutex> lock(holder->mMutex);
    return !holder->mHeld.empty();
}

CStatus AppendToLog(CLogHolder* holder, const char* text)
{
    return AppendToLog(holder, std::string_view(text != nullptr ? text : ""));
}

CStatus AppendToLog(CLogHolder* holder, const CTextBuffer& text) { return AppendToLog(holder, text.View()); }

CStatus StopLogging(CLogHolder* holder)
{
    if (holder == nullptr) return {};
    std::lock_guard<std::mutex> lock(holder->mMutex);
    if (!holder->mFd.IsOpen()) return {};
    // The held text and the stop line in one write.
    holder->mHeld += LogStopLine(Now());
    CUniqueFd fd = std::move(holder->mFd);
    const int status = WriteAll(fd.Get(), holder->mHeld);
    holder->mHeld.clear();
    // A failed close may be the first report of a failed write.
    const int closeStatus = ::close(fd.Release()) == 0 ? 0 : ErrnoStatus();
    return CStatus::FromCode(status != 0 ? status : closeStatus);
}

CStatus TakeLogWriteFailure(CLogHolder* holder)
{
    if (holder == nullptr) return {};
    std::lock_guard<std::mutex> lock(holder->mMutex);
    holder->WriteHeld();  // a failure lands in mWriteFailure
    return CStatus::FromCode(std::exchange(holder->mWriteFailure, 0));
}

bool GetLogFolder(std::string& folder)
{
    std::string support = DataHomeFolder() + "/" + kMakerFolderName + "/" + kProductFolderName;
    if (MakeFolderChain(support, 0700).Failed()) return false;
    folder = support;
    return true;
}

CStatus GetSpecForHFSPath(const char* path, std::string& found)
{
    if (path == nullptr || path[0] == '\0') return CStatus::FromCode(-EINVAL);
    struct stat info {};
    if (::stat(path, &info) != 0) {
        if (errno != ENOENT) return CStatus::FromCode(ErrnoStatus());
        const CUniqueFd created(::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        if (!created.IsOpen() && errno != EEXIST) return CStatus::FromCode(ErrnoStatus());
    }
    found = path;
    return {};
}

int OpenInDefaultApp(const std::string& path)
{
    OpenWithDesktop(path);
    return 0;
}
