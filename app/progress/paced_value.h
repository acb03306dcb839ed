// A CLatestValueThrottle with its event-loop timer: values offered faster
// than a person reads them reach `apply` at most once per interval, the
// newest winning, and a held value goes when its interval ends without
// anyone offering again. Without an application there is no loop to wait
// for: every value goes at once.
//
// GUI thread only.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <utility>

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include "app/progress/latest_value_throttle.h"

template <class Value>
class CPacedValue {
public:
    using Throttle = CLatestValueThrottle<Value>;
    using Clock = typename Throttle::Clock;
    using Apply = std::function<void(const Value&)>;

    // The timer is made with the pace, on the GUI thread, rather than at
    // the first held value, which may come from a crawl's cooperative thread.
    CPacedValue(std::chrono::milliseconds interval, Apply apply) : mThrottle(interval), mApply(std::move(apply))
    {
        MakeTimer();
    }
    // The timer belongs to the application, so a static pace outliving it
    // finds it gone rather than deleting it twice.
    ~CPacedValue() { delete mTimer.data(); }
    CPacedValue(const CPacedValue&) = delete;
    CPacedValue& operator=(const CPacedValue&) = delete;

    void Offer(const Value& value)
    {
        // A crawl offers thousands of values a second while one is held and
        // the timer runs: the newest takes the held one's place without a
        // look at the clock, which is read only every kOffersPerClockRead
        // offers then, in case a busy loop holds the timer back.
        if (mTimerOn && mOffersSinceClock < kOffersPerClockRead && mThrottle.ReplaceHeld(value)) {
            ++mOffersSinceClock;
            return;
        }
        mOffersSinceClock = 0;
        const typename Clock::time_point now = Clock::now();
        if (QCoreApplication::instance() == nullptr) {
            mApply(value);
            return;
        }
        if (std::optional<Value> going = mThrottle.Offer(value, now)) {
            StopTimer();  // nothing is held now
            mApply(*going);
            return;
        }
        Schedule(now);
    }

    // The held value goes now (the end, a pause: the last state is shown
    // exactly and at once).
    void Flush()
    {
        StopTimer();
        if (std::optional<Value> held = mThrottle.TakeHeld(Clock::now())) mApply(*held);
    }

    // Something newer was shown past the pace: the held value is stale.
    void Overtaken()
    {
        mThrottle.Overtaken(Clock::now());
        StopTimer();
    }

private:
    void Schedule(typename Clock::time_point now)
    {
        const std::optional<typename Clock::time_point> due = mThrottle.DueAt();
        if (!due) return;
        if (mTimer.isNull()) {
            mTimerOn = false;  // it went with its application
            MakeTimer();
        }
        if (mTimer.isNull() || mTimerOn) return;
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - now);
        mTimer->start(std::max(wait, std::chrono::milliseconds(0)));
        mTimerOn = true;
    }

    void MakeTimer()
    {
        if (QCoreApplication::instance() == nullptr) return;
        auto* timer = new QTimer(QCoreApplication::instance());
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, timer, [this] { LetHeldGo(); });
        mTimer = timer;
    }

    void LetHeldGo()
    {
        mTimerOn = false;
        const typename Clock::time_point now = Clock::now();
        if (std::optional<Value> due = mThrottle.TakeDue(now)) mApply(*due);
        else Schedule(now);  // the timer came a little early
    }

    void StopTimer()
    {
        if (!mTimerOn) return;
        mTimerOn = false;
        if (!mTimer.isNull()) mTimer->stop();
    }

    static constexpr int kOffersPerClockRead = 64;

    Throttle mThrottle;
    Apply mApply;
    QPointer<QTimer> mTimer;
    // Whether mTimer runs, kept here: an offer asks it far more often than
    // the timer starts or stops.
    bool mTimerOn = false;
    int mOffersSinceClock = 0;
};
