// The two dialogs of both grab windows: the question before closing a
// window whose grab runs, and the notice of a start URL that does not parse.
#pragma once

namespace grabstart {

inline constexpr int kCloseDialog = 2128;   // closing while a grab runs
inline constexpr int kBadURLDialog = 2129;  // a start URL that does not parse

// Registers both layouts; a second call changes nothing.
void RegisterGrabStartDialogs();

}  // namespace grabstart
