// The progress mail of a running crawl: a cooperative thread that sleeps
// until the next period (no event-loop timer, no polling) and then sends
// the mail built from the crawl's counters.
//
// The timer belongs to the crawl driver: destroying it, however the driver
// goes away, detaches the thread from the driver and ends it, so the thread
// never touches a driver that is gone.
#pragma once

#include <chrono>
#include <memory>

class CSiteIterator;

class CProgressMailTimer {
public:
    // Nothing is sent unless `period` is positive; the first mail goes
    // `firstDelay` after the start.
    CProgressMailTimer(CSiteIterator& driver, std::chrono::seconds firstDelay, std::chrono::seconds period);
    ~CProgressMailTimer();
    CProgressMailTimer(const CProgressMailTimer&) = delete;
    CProgressMailTimer& operator=(const CProgressMailTimer&) = delete;

    [[nodiscard]] bool IsRunning() const;

    // Builds and sends one progress mail for the driver's present state.
    static void SendProgressMail(const CSiteIterator& driver);

    struct CShared;

private:
    std::shared_ptr<CShared> mShared;
};
