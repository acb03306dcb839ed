// The saved place of a window: one preference text under the window's name,
// "h v top left bottom right zoomed" (position, the content bounds in global
// coordinates, "true" or "false"), separated by single blanks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct SWindowRect {
    std::int32_t top = 0;
    std::int32_t left = 0;
    std::int32_t bottom = 0;
    std::int32_t right = 0;

    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
};

struct SWindowState {
    std::int32_t h = 0;  // frame position
    std::int32_t v = 0;
    SWindowRect bounds;  // content
    bool zoomed = false;
};

std::string FormatWindowState(const SWindowState& state);
// All seven fields, each a whole decimal number (the last "true" or
// "false"), and bounds that are not empty; nothing otherwise, so a damaged
// preference leaves the layout's place.
std::optional<SWindowState> ParseWindowState(std::string_view text);

// Moves (and if need be shrinks) the window so its bounds lie on one of the
// available screen areas: the one it overlaps most, else the first. With no
// screens the state is unchanged.
SWindowState KeepOnScreen(const SWindowState& state, const std::vector<SWindowRect>& screens);
