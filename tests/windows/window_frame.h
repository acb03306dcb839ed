// What a window test installs around its windows, on top of the crawl
// tests' environment: the cooperative threads driven by the Qt event loop,
// no scripted dialog answers, and programs recorded instead of started.
#pragma once

#include <string>
#include <vector>

namespace windowtest {

// The command lines the windows would start go to `spawned`.
void InstallWindowFrame(std::vector<std::vector<std::string>>& spawned);
// After the test's windows are deleted: deletes the objects scheduled for
// deletion and takes the frame away.
void RemoveWindowFrame();

}  // namespace windowtest
