// What a running crawl changes in a window's panes (texts, bar values and
// ranges, shown and enabled states), shown at the pace a person reads
// rather than once per URL: the first change goes at once, later ones
// collect and go together at most once per kPaneChangeInterval, each pane's
// newest state winning. A pane already showing the state is left alone, so
// nothing is laid out or drawn again for nothing.
//
// A window routes every change of the panes the crawl touches through here
// and calls Flush after its user's actions and at the end of a grab, so the
// held changes never come after newer ones and the last state is shown
// exactly. GUI thread only.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "app/framework/framework_codes.h"
#include "app/progress/paced_value.h"

class CPane;

inline constexpr std::chrono::milliseconds kPaneChangeInterval{250};

class CPaneChanges {
public:
    // Finds a window's pane by ID (null when it has none) when the changes go.
    using Finder = std::function<CPane*(PaneIDT)>;
    explicit CPaneChanges(Finder finder);

    void SetText(PaneIDT pane, std::string_view text);
    void SetValue(PaneIDT pane, std::int32_t value);
    void SetRange(PaneIDT pane, std::int32_t minimum, std::int32_t maximum);
    void SetVisible(PaneIDT pane, bool visible);
    void SetEnabled(PaneIDT pane, bool enabled);

    // The value held for the pane, newer than the pane shows; none when
    // none is held.
    std::optional<std::int32_t> HeldValue(PaneIDT pane) const;

    // Runs with every batch, before the panes change: a window's own held
    // output (log lines) goes with the panes.
    void SetFlushHook(std::function<void()> hook) { mHook = std::move(hook); }
    // Something of the hook's is waiting: it goes with the next batch.
    void Changed() { Offer(); }

    // Everything held goes now.
    void Flush();

private:
    // The order the changes go in: a range before the value it bounds.
    enum class EKind { kRange, kValue, kText, kEnabled, kVisible };
    using State = std::variant<std::string, std::int32_t, std::pair<std::int32_t, std::int32_t>, bool>;
    // One per pane and kind, kept once it went: a crawl sets the same few
    // texts thousands of times a second, and a kept entry takes the next
    // text into the room the last one left, without allocating.
    struct SEntry {
        EKind kind;
        PaneIDT pane;
        bool held;
        State state;
    };
    using Entries = std::vector<SEntry>;

    SEntry& Held(PaneIDT pane, EKind kind);
    void Offer();
    void Apply();
    void ApplyOne(CPane& pane, EKind kind, const State& state);

    Finder mFind;
    Entries mHeld;
    // The entries of the last batch, all gone, waiting to take new changes.
    Entries mSpare;
    std::function<void()> mHook;
    CPacedValue<std::monostate> mPace;
};
