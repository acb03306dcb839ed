// Spaces out a stream of values that may come far faster than anyone can
// see them (a local crawl moves on thousands of times a second): the first
// value goes at once, then at most one per interval; of the values held
// back only the newest goes, when its interval ends, so the last one is
// never lost.
//
// The caller owns the clock and the timer: it offers values, and when
// DueAt() has passed it takes the held value.
#pragma once

#include <chrono>
#include <optional>

template <class Value>
class CLatestValueThrottle {
public:
    using Clock = std::chrono::steady_clock;

    explicit CLatestValueThrottle(Clock::duration interval) : mInterval(interval) {}

    // The value when it may go now; otherwise it is held, replacing any
    // value held before, until DueAt(). A value offered once the interval is
    // over goes at once even when one is held: a loop kept busy by the crawl
    // may hold the caller's timer back, and the newest value wins anyway.
    std::optional<Value> Offer(const Value& value, Clock::time_point now)
    {
        if (!mLastSent || now - *mLastSent >= mInterval) {
            mHeld.reset();
            mLastSent = now;
            return value;
        }
        mHeld = value;
        return std::nullopt;
    }

    // The value takes the held one's place when one is held (it goes when
    // that one would have); false when nothing is held.
    bool ReplaceHeld(const Value& value)
    {
        if (!mHeld) return false;
        *mHeld = value;
        return true;
    }

    // When the held value may go; none when nothing is held.
    std::optional<Clock::time_point> DueAt() const
    {
        if (!mHeld) return std::nullopt;
        return *mLastSent + mInterval;
    }

    // The held value once its time has come; it counts as sent then.
    std::optional<Value> TakeDue(Clock::time_point now)
    {
        if (!mHeld || now < *DueAt()) return std::nullopt;
        std::optional<Value> value = std::move(mHeld);
        mHeld.reset();
        mLastSent = now;
        return value;
    }

    // The held value at once, its interval over or not (the end of a grab
    // shows its last state without waiting); it counts as sent then.
    std::optional<Value> TakeHeld(Clock::time_point now)
    {
        if (!mHeld) return std::nullopt;
        std::optional<Value> value = std::move(mHeld);
        mHeld.reset();
        mLastSent = now;
        return value;
    }

    // Something newer went at once, past the throttle (a pause, the end):
    // the held value is stale and dropped, and the next value goes at once
    // (a crawl started right after a restore shows its progress without
    // waiting for a timer that a busy loop may hold back).
    void Overtaken(Clock::time_point /*now*/)
    {
        mHeld.reset();
        mLastSent.reset();
    }

private:
    Clock::duration mInterval;
    std::optional<Clock::time_point> mLastSent;
    std::optional<Value> mHeld;
};
