#include "app/main/launcher_progress.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QVariantMap>

#include <algorithm>
#include <cmath>

#include "app/progress/dock_tile.h"

SLauncherProgress LauncherProgressFor(const CDockTile& tile)
{
    if (!(tile.progress >= 0) || !std::isfinite(tile.progress)) return {};
    return {true, std::clamp(tile.progress, 0.0, 1.0)};
}

void InstallLauncherProgress(const std::string& desktopFileName)
{
    QString appURI = "application://" + QString::fromStdString(desktopFileName);
    SetDockTileHook([appURI, last = SLauncherProgress{}](const CDockTile& tile) mutable {
        QGuiApplication::setWindowIcon(tile.icon);
        SLauncherProgress now = LauncherProgressFor(tile);
        // The tile comes spaced out already (see ShowCrawlProgressTile); only
        // a repeat is left out, so the last state always reaches the launcher.
        if (now.visible == last.visible && now.progress == last.progress) return;
        last = now;
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) return;
        QDBusMessage signal =
            QDBusMessage::createSignal("/com/tidewell/launcher", "com.canonical.Unity.LauncherEntry", "Update");
        QVariantMap properties;
        properties.insert("progress-visible", now.visible);
        properties.insert("progress", now.progress);
        signal << appURI << properties;
        bus.send(signal);
    });
}
