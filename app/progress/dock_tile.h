// The progress tile of a running crawl. On Linux the tile is the
// application's window icon: the crawl draws its progress into it, a paused
// crawl adds the pause badge, and the end of the crawl restores the plain
// application icon. The icon reaches the windows through a hook, so a
// launcher that shows progress can be served too.
//
// GUI thread only.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include <QIcon>
#include <QImage>

// What the tile shows: the icon, and for a running or paused crawl the
// level's progress from 0 to 1 (negative after a restore).
struct CDockTile {
    QIcon icon;
    double progress = -1;
    bool paused = false;
};

// Receives every change of the tile. The default sets the application's
// window icon when a GUI application runs, and does nothing otherwise. A
// null hook restores the default.
using DockTileHook = std::function<void(const CDockTile&)>;
void SetDockTileHook(DockTileHook hook);

// The 127 x 127 tile on a transparent ground.
QImage MakeDockTileImage(std::int32_t number, std::int32_t index, std::int32_t count, bool paused);

// At once: for a window's own change (a pause, a resume).
void DrawDockTileProgress(std::int32_t number, std::int32_t index, std::int32_t count);
void DrawDockTilePaused(std::int32_t number, std::int32_t index, std::int32_t count);
// The running crawl's progress, which may change far faster than a desktop
// shows it: at most kCrawlTileInterval apart, the newest values winning. A
// change the event loop holds back is dropped when a window's own change or
// the restore comes first.
inline constexpr std::chrono::milliseconds kCrawlTileInterval{250};
void ShowCrawlProgressTile(std::int32_t number, std::int32_t index, std::int32_t count);
// Back to the plain application icon, at once.
void RestoreDockTile();
