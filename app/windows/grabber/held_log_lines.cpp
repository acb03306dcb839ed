#include "app/windows/grabber/held_log_lines.h"

void KeepNewestLines(HeldLogRuns& runs, std::size_t capacity)
{
    std::size_t first = runs.size();
    std::size_t kept = 0;
    while (first > 0 && kept + runs[first - 1].first.size() < capacity) kept += runs[--first].first.size();
    if (first > 0) {
        // The run that does not fit whole keeps the lines that do.
        std::string& cut = runs[first - 1].first;
        const std::size_t room = capacity - 1 - kept;
        const std::size_t lineEnd = room < cut.size() ? cut.find('\n', cut.size() - room - 1) : std::string::npos;
        if (lineEnd != std::string::npos && lineEnd + 1 < cut.size()) {
            cut.erase(0, lineEnd + 1);
            --first;
        }
    }
    runs.erase(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(first));
}

void CHeldLogLines::Add(std::string_view line, bool error)
{
    if (mRuns.empty() || mRuns.back().second != error) mRuns.emplace_back(std::string(), error);
    mRuns.back().first.append(line).push_back('\n');
    mChars += line.size() + 1;
    // Trimmed once twice the pane's worth is held: a trim moves fewer
    // characters than came since the last one.
    if (mChars < 2 * mCapacity) return;
    KeepNewestLines(mRuns, mCapacity);
    mChars = 0;
    for (const auto& run : mRuns) mChars += run.first.size();
}

HeldLogRuns CHeldLogLines::Take()
{
    HeldLogRuns runs = std::move(mRuns);
    mRuns.clear();
    mChars = 0;
    KeepNewestLines(runs, mCapacity);
    return runs;
}
