#include "app/framework/socket_watch.h"

#include <QSocketNotifier>


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
        QSocketNotifier* notifier = slot.get();
        QObject::connect(notifier, &QSocketNotifier::activated, [this, notifier, fd] { Activated(*notifier, fd); });
    }
    return *slot;
}

void CSocketWatch::Activated(QSocketNotifier& notifier, int fd)
{
    if (mWatched.count(fd) == 0) {
        // A read watch kept past its socket's use: see Watch.
        notifier.setEnabled(false);
        return;
    }
    mReady();
}

// Turning a notifier on or off wakes the loop once more, and a connection
// goes quiet between two requests only to be watched again a moment later:
// a read watch that is no longer wanted stays on until it fires (once, for
// a socket that was closed or is read by nobody). A write watch fires at
// once on any connected socket, so it goes off at once.
void CSocketWatch::Watch(const std::vector<SWatchedSocket>& sockets, int waitMilliseconds)
{
    mWatched.clear();
    for (const SWatchedSocket& socket : sockets) {
        mWatched.insert(socket.fd);
        SNotifiers& notifiers = mNotifiers[socket.fd];
        if (socket.read) Notifier(notifiers.read, socket.fd, true).setEnabled(true);
        else if (notifiers.read) notifiers.read->setEnabled(false);
        if (socket.write) Notifier(notifiers.write, socket.fd, false).setEnabled(true);
        else if (notifiers.write) notifiers.write->setEnabled(false);
    }
    for (auto it = mNotifiers.begin(); it != mNotifiers.end();) {
        if (mWatched.count(it->first) != 0) {
            ++it;
            continue;
        }
        if (it->second.write) it->second.write->setEnabled(false);
        const bool idle = !it->second.read || !it->second.read->isEnabled();
        it = idle && mNotifiers.size() > kKeptNotifiers ? mNotifiers.erase(it) : std::next(it);
    }
    if (waitMilliseconds < 0) mTimer.stop();
    else mTimer.start(waitMilliseconds);
}

void CSocketWatch::Clear()
{
    mWatched.clear();
    for (auto& [fd, notifiers] : mNotifiers) {
        if (notifiers.read) notifiers.read->setEnabled(false);
        if (notifiers.write) notifiers.write->setEnabled(false);
    }
    mTimer.stop();
}
