#include "app/framework/socket_watch.h"

#include <fcntl.h>

#include <QSocketNotifier>

namespace {

// Unwatched sockets beyond this many lose their notifiers.
constexpr std::size_t kKeptNotifiers = 32;

}  // namespace

CSocketWatch::CSocketWatch(std::function<void()> ready) : mReady(std::move(ready))
{
    mTimer.setSingleShot(true);
    mTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&mTimer, &QTimer::timeout, [this] {
        mTimerOn = false;
        mReady();
    });
}

CSocketWatch::~CSocketWatch() = default;

void CSocketWatch::Enable(SNotifiers& notifiers, int fd, bool read, bool on)
{
    bool& state = read ? notifiers.readOn : notifiers.writeOn;
    std::unique_ptr<QSocketNotifier>& slot = read ? notifiers.read : notifiers.write;
    // The loop turns a notifier off by itself when its socket is closed
    // under it, and a new connection may get the same number.
    if (state == on && (!slot || slot->isEnabled() == on)) return;
    if (!slot) {
        slot = std::make_unique<QSocketNotifier>(fd, read ? QSocketNotifier::Read : QSocketNotifier::Write);
        QObject::connect(slot.get(), &QSocketNotifier::activated, [this, fd, read] { Activated(fd, read); });
    }
    slot->setEnabled(on);
    state = on;
}

void CSocketWatch::Activated(int fd, bool read)
{
    const auto found = mNotifiers.find(fd);
    if (found == mNotifiers.end()) return;
    if (!found->second.wanted) {
        // A read watch kept past its socket's use: see Watch.
        Enable(found->second, fd, read, false);
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
    for (auto& [fd, notifiers] : mNotifiers) notifiers.wanted = false;
    for (const SWatchedSocket& socket : sockets) {
        SNotifiers& notifiers = mNotifiers[socket.fd];
        notifiers.wanted = true;
        Enable(notifiers, socket.fd, true, socket.read);
        Enable(notifiers, socket.fd, false, socket.write);
    }
    for (auto it = mNotifiers.begin(); it != mNotifiers.end();) {
        SNotifiers& notifiers = it->second;
        if (notifiers.wanted) {
            ++it;
            continue;
        }
        Enable(notifiers, it->first, false, false);
        // A connection closed in the turn: the loop would warn about it.
        if (notifiers.readOn && fcntl(it->first, F_GETFD) == -1) Enable(notifiers, it->first, true, false);
        it = !notifiers.readOn && mNotifiers.size() > kKeptNotifiers ? mNotifiers.erase(it) : std::next(it);
    }
    SetTimer(waitMilliseconds);
}

// A turn that comes early costs little, so a timer that is due sooner than
// asked is kept rather than set again on every turn.
void CSocketWatch::SetTimer(int waitMilliseconds)
{
    if (waitMilliseconds < 0) {
        if (mTimerOn) mTimer.stop();
        mTimerOn = false;
        return;
    }
    const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    if (mTimerOn && mTimerDue <= due) return;
    mTimer.start(waitMilliseconds);
    mTimerOn = true;
    mTimerDue = due;
}

void CSocketWatch::Clear()
{
    for (auto& [fd, notifiers] : mNotifiers) {
        notifiers.wanted = false;
        Enable(notifiers, fd, true, false);
        Enable(notifiers, fd, false, false);
    }
    SetTimer(-1);
}
