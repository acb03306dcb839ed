#include "app/progress/pane_changes.h"

#include <algorithm>
#include <tuple>

#include "app/framework/pane.h"

CPaneChanges::CPaneChanges(Finder finder)
    : mFind(std::move(finder)), mPace(kPaneChangeInterval, [this](const std::monostate&) { Apply(); })
{
}

void CPaneChanges::SetText(PaneIDT pane, std::string_view text)
{
    State& state = Held(pane, EKind::kText).state;
    if (auto* held = std::get_if<std::string>(&state)) held->assign(text);
    else state.emplace<std::string>(text);
    Offer();
}

void CPaneChanges::SetValue(PaneIDT pane, std::int32_t value)
{
    Held(pane, EKind::kValue).state = value;
    Offer();
}

void CPaneChanges::SetRange(PaneIDT pane, std::int32_t minimum, std::int32_t maximum)
{
    Held(pane, EKind::kRange).state = std::make_pair(minimum, maximum);
    Offer();
}

void CPaneChanges::SetVisible(PaneIDT pane, bool visible)
{
    Held(pane, EKind::kVisible).state = visible;
    Offer();
}

void CPaneChanges::SetEnabled(PaneIDT pane, bool enabled)
{
    Held(pane, EKind::kEnabled).state = enabled;
    Offer();
}

std::optional<std::int32_t> CPaneChanges::HeldValue(PaneIDT pane) const
{
    for (const SEntry& entry : mHeld)
        if (entry.held && entry.kind == EKind::kValue && entry.pane == pane) return std::get<std::int32_t>(entry.state);
    return std::nullopt;
}

void CPaneChanges::Flush()
{
    mPace.Overtaken();
    Apply();
}

// A window's crawl touches a score of panes at most: a look along them is
// quicker than any tree.
CPaneChanges::SEntry& CPaneChanges::Held(PaneIDT pane, EKind kind)
{
    for (SEntry& entry : mHeld) {
        if (entry.kind != kind || entry.pane != pane) continue;
        entry.held = true;
        return entry;
    }
    return mHeld.emplace_back(SEntry{kind, pane, true, State{}});
}

void CPaneChanges::Offer() { mPace.Offer({}); }

void CPaneChanges::Apply()
{
    if (mHook) mHook();
    // Taken first: a pane's change may run code that changes panes again.
    Entries going = std::move(mHeld);
    mHeld = std::move(mSpare);
    mSpare.clear();
    std::sort(going.begin(), going.end(),
              [](const SEntry& a, const SEntry& b) { return std::tie(a.kind, a.pane) < std::tie(b.kind, b.pane); });
    for (SEntry& entry : going) {
        if (!entry.held) continue;
        entry.held = false;
        if (CPane* pane = mFind(entry.pane)) ApplyOne(*pane, entry.kind, entry.state);
    }
    mSpare = std::move(going);
}

void CPaneChanges::ApplyOne(CPane& pane, EKind kind, const State& state)
{
    switch (kind) {
    case EKind::kText: {
        const std::string& text = std::get<std::string>(state);
        if (pane.GetDescriptor() != text) pane.SetDescriptor(text);
        break;
    }
    case EKind::kValue: {
        const std::int32_t value = std::get<std::int32_t>(state);
        if (pane.GetValue() != value) pane.SetValue(value);
        break;
    }
    case EKind::kRange: {
        const auto [minimum, maximum] = std::get<std::pair<std::int32_t, std::int32_t>>(state);
        if (pane.GetMinValue() != minimum) pane.SetMinValue(minimum);
        if (pane.GetMaxValue() != maximum) pane.SetMaxValue(maximum);
        break;
    }
    case EKind::kEnabled: pane.SetEnabled(std::get<bool>(state)); break;
    case EKind::kVisible: {
        const bool visible = std::get<bool>(state);
        if (pane.IsVisible() != visible) pane.SetVisible(visible);
        break;
    }
    }
}
