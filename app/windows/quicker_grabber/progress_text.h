// The quicker grabber's byte-progress line, and the one-slot mailbox that
// carries it from a transfer's OS thread to the GUI thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

// "(50%, 5 KB, 2 KB/sec)": the share when `size` is known, the bytes and the
// rate (in KB above 999); "Ooops, an error occurred." for a negative count.
std::string ProgressText(std::int64_t bytes, std::int64_t size, std::int64_t rate);

// Only the newest text matters: a post replaces what the GUI has not shown
// yet, so however fast a transfer reports, the mailbox holds one text.
class CLatestText {
public:
    // Any OS thread. True when the GUI should be woken to show it: at most
    // a few times a second, as a person reads. A text posted in between is
    // shown by the GUI's next turn (a transfer's end wakes it anyway) or
    // rides on the next wake.
    bool Post(std::string text);
    // The text posted since the last take, if any.
    std::optional<std::string> Take();

private:
    std::mutex mMutex;
    std::optional<std::string> mText;
    std::chrono::steady_clock::time_point mLastWake;  // none yet: the epoch
};
