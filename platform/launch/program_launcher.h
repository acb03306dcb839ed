// Starting other programs: always an argument vector through posix_spawnp,
// never a command line for a shell, so no text from a page or a setting can
// turn into a command.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Starts argv[0] (looked up on PATH) with the arguments that follow, and does
// not wait for it: the child runs in a session of its own, reads /dev/null,
// inherits no descriptor beyond stderr, and is reaped in the background.
// Returns 0 when the program started, else a negative errno value (-ENOENT
// when it cannot be found or run, -EINVAL for an empty vector).
int SpawnProgram(const std::vector<std::string>& argv);

// Replaces the way OpenWithDesktop starts programs, so tests can see what
// would run without launching anything; an empty function restores
// SpawnProgram. The replacement gets the argument vector and returns as
// SpawnProgram does.
using ProgramSpawner = std::function<int(const std::vector<std::string>& argv)>;
void SetProgramSpawner(ProgramSpawner spawner);

// Opens a URL or a file in the application that the desktop assigns to it
// ("xdg-open target"). Returns 0 when xdg-open started, else a negative errno
// value; -EINVAL for an empty target, one that starts with '-' (it would read as an
// option) or one holding control characters.
int OpenWithDesktop(std::string_view target);
