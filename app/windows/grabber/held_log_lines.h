// Log lines held for the grabber's log pane between two showings, in runs
// of one colour.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

using HeldLogRuns = std::vector<std::pair<std::string, bool>>;  // text, error

// Drops what a pane keeping its last `capacity` characters would clear
// before anyone saw it: the runs keep only their newest whole lines, fewer
// than `capacity` characters in all.
void KeepNewestLines(HeldLogRuns& runs, std::size_t capacity);
