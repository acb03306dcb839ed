// The crawl's progress where Linux docks show it: the windows' icon (the
// tile picture) and the launcher entry's progress bar, sent as the
// com.canonical.Unity.LauncherEntry "Update" signal on the session bus.
// Without a session bus only the icon changes.
#pragma once

#include <string>

struct CDockTile;

// The launcher's properties for a tile: progress (0..1) while a crawl runs,
// none (not visible) after a restore. Never a division: the fraction comes
// from the tile, which treats a count of 0 as no progress.
struct SLauncherProgress {
    bool visible = false;
    double progress = 0;
};
SLauncherProgress LauncherProgressFor(const CDockTile& tile);

// Installs the dock-tile hook that sets the icon and signals the launcher
// for the desktop entry `desktopFileName` ("tidewell.desktop").
void InstallLauncherProgress(const std::string& desktopFileName);
