#include "app/framework/socket_watch.h"

#include <QSocketNotifier>

#include <unordered_set>

namespace {

// Disabled notifiers beyond this many are dropped.
constexpr std::size_t kKeptNotifiers = 32;

}  // namespace

CSocketWatch::CSocketWatch(std::function<void()> ready) : mReady(std::move(ready))
{
    mTimer.setSingleShot(true);
    mTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&mTimer, &QTimer::timeout, [this] { mReady(); });
}

CSocketWatch::~CSocketWatch() = default;

QSocketNotifier& CSocketWatch::Notifier(std::unique_ptr<QSocketNotifier>& slot, int fd, bool read)
{
    if (!slot) {
        slot = std::make_unique<QSocketNotifier>(fd, read ? QSocketNotifier::Read : QSocketNotifier::Write);
        slot->setEnabled(false);
        QObject::connect(slot.get(), &QSocketNotifier::activated, [this] { mReady(); });
    }
    return *slot;
}

void CSocketWatch::Watch(const std::vector<SWatchedSocket>& sockets, int waitMilliseconds)
{
    std::unordered_set<int> watched;
    for (const SWatchedSocket& socket : sockets) {
        watched.insert(socket.fd);
        SNotifiers& notifiers = mNotifiers[socket.fd];
        if (socket.read) Notifier(notifiers.read, socket.fd, true).setEnabled(true);
        else if (notifiers.read) notifiers.read->setEnabled(false);
        if (socket.write) Notifier(notifiers.write, socket.fd, false).setEnabled(true);
        else if (notifiers.write) notifiers.write->setEnabled(false);
    }
    for (auto it = mNotifiers.begin(); it != mNotifiers.end();) {
        if (watched.count(it->first) != 0) {
            ++it;
            continue;
        }
        if (it->second.read) it->second.read->setEnabled(false);
        if (it->second.write) it->second.write->setEnabled(false);
        it = mNotifiers.size() > kKeptNotifiers ? mNotifiers.erase(it) : std::next(it);
    }
    if (waitMilliseconds < 0) mTimer.stop();
    else mTimer.start(waitMilliseconds);
}

void CSocketWatch::Clear()
{
    Watch({}, -1);
}
