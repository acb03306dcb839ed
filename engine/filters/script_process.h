// Running a filter's script file as a program: an argument vector through
// posix_spawn, never a shell, so nothing from a page or a setting can become
// a command. Blocking: call it from a worker thread, never from a fiber.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

// Runs the program at `path` (used as given, no PATH search) in a process
// group of its own, with this process's environment plus `environment`
// ("NAME=value" entries, which replace inherited ones of the same name),
// `input` on its standard input and its output and errors discarded. It
// inherits no other descriptor. When it has not ended within `timeout` its
// whole process group is killed.
//
// 0 when it ran to its end (`exitCode`, when given, receives its exit status
// or 128 + the signal that ended it); -ETIMEDOUT when it was killed; else the
// negative errno of the failed start (-ENOENT, -EACCES, -ENOEXEC...).
[[nodiscard]] int RunProgramWithInput(const std::string& path, const std::vector<std::string>& environment,
                        std::string_view input, std::chrono::milliseconds timeout, int* exitCode = nullptr);

// The same with arguments: `argv[0]` is the program's path, the rest its
// arguments. -EINVAL for an empty vector or path.
[[nodiscard]] int RunProgramWithArguments(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                            std::string_view input, std::chrono::milliseconds timeout, int* exitCode = nullptr);
