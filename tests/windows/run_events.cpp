#include "tests/windows/run_events.h"

#include <QApplication>
#include <QTimer>

namespace windowtest {

bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        // processEvents with a time limit spins without sleeping; a timer
        // wakes the waiting form instead, so an idle loop stays idle.
        QTimer::singleShot(50, [] {});
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace windowtest
