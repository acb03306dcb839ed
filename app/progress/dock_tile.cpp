#include "app/progress/dock_tile.h"

#include <algorithm>
#include <optional>

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>

#include "app/progress/paced_value.h"
#include "app/progress/progress_icons.h"
#include "app/progress/progress_picture.h"

namespace {

// Icons and text need a running GUI application; without one there is no
// tile to draw into.
bool HasGuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

void SetWindowIcon(const CDockTile& tile) { QGuiApplication::setWindowIcon(tile.icon); }

DockTileHook& Hook()
{
    static DockTileHook hook = &SetWindowIcon;
    return hook;
}

double Progress(std::int32_t index, std::int32_t count)
{
    return ProgressPieDegrees(index, count) / 360.0;
}

struct STileValues {
    std::int32_t number, index, count;
};

void Apply(std::int32_t number, std::int32_t index, std::int32_t count, bool paused);

CPacedValue<STileValues>& CrawlTile()
{
    static CPacedValue<STileValues> tile(kCrawlTileInterval, [](const STileValues& values) {
        Apply(values.number, values.index, values.count, false);
    });
    return tile;
}

void Apply(std::int32_t number, std::int32_t index, std::int32_t count, bool paused)
{
    if (!HasGuiApplication()) return;
    const QImage image = MakeDockTileImage(number, index, count, paused);
    if (image.isNull()) return;
    Hook()({QIcon(QPixmap::fromImage(image)), Progress(index, count), paused});
}

}  // namespace

void SetDockTileHook(DockTileHook hook) { Hook() = hook ? std::move(hook) : DockTileHook(&SetWindowIcon); }

QImage MakeDockTileImage(std::int32_t number, std::int32_t index, std::int32_t count, bool paused)
{
    QImage image = CreateBitmapContext(kDockTileSide, kDockTileSide);
    if (image.isNull()) return image;
    QPainter painter(&image);
    DrawProgressPicture(painter, kDockTileSide, number, index, count, paused);
    return image;
}

void DrawDockTileProgress(std::int32_t number, std::int32_t index, std::int32_t count)
{
    if (!HasGuiApplication()) return;
    CrawlTile().Overtaken();
    Apply(number, index, count, false);
}

void DrawDockTilePaused(std::int32_t number, std::int32_t index, std::int32_t count)
{
    if (!HasGuiApplication()) return;
    CrawlTile().Overtaken();
    Apply(number, index, count, true);
}

void ShowCrawlProgressTile(std::int32_t number, std::int32_t index, std::int32_t count)
{
    if (!HasGuiApplication()) return;
    CrawlTile().Offer({number, index, count});
}

void RestoreDockTile()
{
    if (!HasGuiApplication()) return;
    CrawlTile().Overtaken();
    const QImage& icon = ApplicationIconImage();
    Hook()({icon.isNull() ? QIcon() : QIcon(QPixmap::fromImage(icon)), -1, false});
}
