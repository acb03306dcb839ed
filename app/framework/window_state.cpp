#include "app/framework/window_state.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace {

bool ReadNumber(std::string_view word, std::int32_t& out)
{
    const char* end = word.data() + word.size();
    auto [at, error] = std::from_chars(word.data(), end, out);
    return error == std::errc() && at == end;
}

std::int64_t OverlapArea(const SWindowRect& a, const SWindowRect& b)
{
    std::int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
    std::int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// Squared distance from the window's centre to the nearest point of the screen.
std::int64_t DistanceToCentre(const SWindowRect& window, const SWindowRect& screen)
{
    std::int64_t x = (std::int64_t{window.left} + window.right) / 2;
    std::int64_t y = (std::int64_t{window.top} + window.bottom) / 2;
    std::int64_t dx = x < screen.left ? screen.left - x : x > screen.right ? x - screen.right : 0;
    std::int64_t dy = y < screen.top ? screen.top - y : y > screen.bottom ? y - screen.bottom : 0;
    return dx * dx + dy * dy;
}

}  // namespace

std::string FormatWindowState(const SWindowState& state)
{
    return std::to_string(state.h) + " " + std::to_string(state.v) + " " + std::to_string(state.bounds.top) + " " +
           std::to_string(state.bounds.left) + " " + std::to_string(state.bounds.bottom) + " " +
           std::to_string(state.bounds.right) + " " + (state.zoomed ? "true" : "false");
}

std::optional<SWindowState> ParseWindowState(std::string_view text)
{
    std::vector<std::string_view> words;
    while (!text.empty()) {
        std::size_t blank = text.find(' ');
        std::string_view word = text.substr(0, blank);
        if (!word.empty()) words.push_back(word);
        if (blank == std::string_view::npos) break;
        text.remove_prefix(blank + 1);
    }
    if (words.size() != 7) return std::nullopt;
    SWindowState state;
    std::int32_t* numbers[] = {&state.h, &state.v, &state.bounds.top, &state.bounds.left, &state.bounds.bottom,
                               &state.bounds.right};
    for (std::size_t i = 0; i < 6; ++i)
        if (!ReadNumber(words[i], *numbers[i])) return std::nullopt;
    if (words[6] == "true") state.zoomed = true;
    else if (words[6] != "false") return std::nullopt;
    if (state.bounds.IsEmpty()) return std::nullopt;
    return state;
}

SWindowState KeepOnScreen(const SWindowState& state, const std::vector<SWindowRect>& screens)
{
    if (screens.empty()) return state;
    // The screen it overlaps most; off every screen, the nearest one.
    const SWindowRect* best = &screens.front();
    std::int64_t bestArea = 0;
    for (const SWindowRect& screen : screens) {
        std::int64_t area = OverlapArea(state.bounds, screen);
        if (area > bestArea) {
            bestArea = area;
            best = &screen;
        }
    }
    if (bestArea == 0) {
        for (const SWindowRect& screen : screens)
            if (DistanceToCentre(state.bounds, screen) < DistanceToCentre(state.bounds, *best)) best = &screen;
    }
    SWindowState fitted = state;
    SWindowRect& bounds = fitted.bounds;
    // The frame's position keeps its offset from the content.
    std::int32_t frameDx = state.bounds.left - state.h;
    std::int32_t frameDy = state.bounds.top - state.v;
    std::int32_t width = std::min(bounds.Width(), best->Width());
    std::int32_t height = std::min(bounds.Height(), best->Height());
    std::int32_t left = std::clamp(bounds.left, best->left, best->right - width);
    std::int32_t top = std::clamp(bounds.top, best->top, best->bottom - height);
    bounds = {top, left, top + height, left + width};
    fitted.h = left - frameDx;
    fitted.v = top - frameDy;
    return fitted;
}
