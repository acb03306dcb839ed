#include "app/progress/dock_tile.h"

#include <algorithm>
#include <optional>

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include "app/progress/latest_value_throttle.h"
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

using TileThrottle = CLatestValueThrottle<STileValues>;

TileThrottle& Throttle()
{
    static TileThrottle throttle(kCrawlTileInterval);
    return throttle;
}

void Apply(std::int32_t number, std::int32_t index, std::int32_t count, bool paused);
void LetHeldTileGo();

// The timer that lets a held crawl tile go; it belongs to the application,
// so none outlives it.
QTimer& HeldTileTimer()
{
    static QPointer<QTimer> timer;
    if (timer.isNull()) {
        auto* made = new QTimer(QCoreApplication::instance());
        made->setSingleShot(true);
        made->setTimerType(Qt::PreciseTimer);
        QObject::connect(made, &QTimer::timeout, &LetHeldTileGo);
        timer = made;
    }
    return *timer;
}

// Starts the timer for the held tile's time, unless it runs already.
void ScheduleHeldTile(TileThrottle::Clock::time_point now)
{
    QTimer& timer = HeldTileTimer();
    const std::optional<TileThrottle::Clock::time_point> due = Throttle().DueAt();
    if (!due || timer.isActive()) return;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - now);
    timer.start(std::max(wait, std::chrono::milliseconds(0)));
}

void LetHeldTileGo()
{
    const TileThrottle::Clock::time_point now = TileThrottle::Clock::now();
    if (std::optional<STileValues> due = Throttle().TakeDue(now)) Apply(due->number, due->index, due->count, false);
    else ScheduleHeldTile(now);  // the timer came a little early
}

// A change that goes at once makes any held crawl tile stale.
void OvertakeHeldTile()
{
    Throttle().Overtaken(TileThrottle::Clock::now());
    HeldTileTimer().stop();
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
    OvertakeHeldTile();
    Apply(number, index, count, false);
}

void DrawDockTilePaused(std::int32_t number, std::int32_t index, std::int32_t count)
{
    if (!HasGuiApplication()) return;
    OvertakeHeldTile();
    Apply(number, index, count, true);
}

void ShowCrawlProgressTile(std::int32_t number, std::int32_t index, std::int32_t count)
{
    if (!HasGuiApplication()) return;
    const TileThrottle::Clock::time_point now = TileThrottle::Clock::now();
    if (std::optional<STileValues> going = Throttle().Offer({number, index, count}, now)) {
        Apply(going->number, going->index, going->count, false);
        return;
    }
    ScheduleHeldTile(now);
}

void RestoreDockTile()
{
    if (!HasGuiApplication()) return;
    OvertakeHeldTile();
    const QImage& icon = ApplicationIconImage();
    Hook()({icon.isNull() ? QIcon() : QIcon(QPixmap::fromImage(icon)), -1, false});
}
