// Runs the Qt event loop (which runs the cooperative threads) until a
// condition holds, sleeping in the loop between events.
#pragma once

#include <chrono>
#include <functional>

namespace windowtest {

// False when `done` did not come true within `limit` (a guard against hanging).
bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(60));

}  // namespace windowtest
