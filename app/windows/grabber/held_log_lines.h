// Log lines held for the grabber's log pane between two showings, in runs
// of one colour.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using HeldLogRuns = std::vector<std::pair<std::string, bool>>;  // text, error

// Drops what a pane keeping its last `capacity` characters would clear
// before anyone saw it: the runs keep only their newest whole lines, fewer
// than `capacity` characters in all.
void KeepNewestLines(HeldLogRuns& runs, std::size_t capacity);

// The lines a crawl logs between two showings of the pane (megabytes of
// them on a quick site): what the pane would drop is dropped as they come,
// so the held text stays small and what is taken is what KeepNewestLines
// would keep of them all.
class CHeldLogLines {
public:
    explicit CHeldLogLines(std::size_t capacity) : mCapacity(capacity) {}

    // One line; it ends with a line end.
    void Add(std::string_view line, bool error);
    // The newest whole lines that fit the pane; none are held after.
    HeldLogRuns Take();

private:
    std::size_t mCapacity;
    HeldLogRuns mRuns;
    std::size_t mChars = 0;
};
