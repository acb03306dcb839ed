// Opening the search window from the application: the 'SRch' command opens
// it empty; a folder (a site's download folder) can be given to search in.
#pragma once

#include <optional>
#include <string>

#include "app/framework/framework_codes.h"

class CCommander;
class CSearcher;

inline constexpr CommandT kCmdSearchFiles = MakeCommand("SRch");

// Registers the window class 'Srch', layout 140 and the panes it uses (the
// outline tables, the heading tables, radio groups, the shared widgets).
// Once at start-up.
void RegisterSearchWindow();

// Builds layout 140 with `superCommander` (the application) as its commander
// and shows it; raises the framework's 'nilP' ("OpenSearchWindow") when it
// cannot be built. With a folder, the folder field shows it and the
// search folder is made from it; the search starts when the user asks.
CSearcher* OpenSearchWindow(const std::optional<std::string>& folder, CCommander* superCommander);
