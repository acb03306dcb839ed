#include "app/progress/pane_changes.h"

#include "app/framework/pane.h"

CPaneChanges::CPaneChanges(Finder finder)
    : mFind(std::move(finder)), mPace(kPaneChangeInterval, [this](const std::monostate&) { Apply(); })
{
}

void CPaneChanges::SetText(PaneIDT pane, std::string text) { Hold(pane, EKind::kText, std::move(text)); }

void CPaneChanges::SetValue(PaneIDT pane, std::int32_t value) { Hold(pane, EKind::kValue, value); }

void CPaneChanges::SetRange(PaneIDT pane, std::int32_t minimum, std::int32_t maximum)
{
    Hold(pane, EKind::kRange, std::make_pair(minimum, maximum));
}

void CPaneChanges::SetVisible(PaneIDT pane, bool visible) { Hold(pane, EKind::kVisible, visible); }

void CPaneChanges::SetEnabled(PaneIDT pane, bool enabled) { Hold(pane, EKind::kEnabled, enabled); }

std::optional<std::int32_t> CPaneChanges::HeldValue(PaneIDT pane) const
{
    const auto found = mHeld.find({EKind::kValue, pane});
    if (found == mHeld.end()) return std::nullopt;
    return std::get<std::int32_t>(found->second);
}

void CPaneChanges::Flush()
{
    mPace.Overtaken();
    Apply();
}

void CPaneChanges::Hold(PaneIDT pane, EKind kind, State state)
{
    mHeld.insert_or_assign({kind, pane}, std::move(state));
    mPace.Offer({});
}

void CPaneChanges::Apply()
{
    if (mHook) mHook();
    // Taken first: a pane's change may run code that changes panes again.
    std::map<std::pair<EKind, PaneIDT>, State> held = std::move(mHeld);
    mHeld.clear();
    for (const auto& [key, state] : held)
        if (CPane* pane = mFind(key.second)) ApplyOne(*pane, key.first, state);
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
