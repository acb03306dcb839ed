// The GUI thread's event loop watching sockets it does not own, for a job
// that runs on that thread whenever one of them is ready or a time is up
// (the downloads the GUI thread drives itself). The job says after each run
// what to watch next.
#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class QSocketNotifier;

struct SWatchedSocket {
    int fd;
    bool read;
    bool write;
};

class CSocketWatch {
public:
    // GUI thread. `ready` runs when a watched socket is ready or the wait
    // given to Watch is over.
    explicit CSocketWatch(std::function<void()> ready);
    ~CSocketWatch();

    // Replaces what is watched; a wait below 0 sets no time.
    void Watch(const std::vector<SWatchedSocket>& sockets, int waitMilliseconds);
    // Watches nothing, at once.
    void Clear();

private:
    struct SNotifiers {
        std::unique_ptr<QSocketNotifier> read;
        std::unique_ptr<QSocketNotifier> write;
        bool readOn = false;
        bool writeOn = false;
        bool wanted = false;  // by the last Watch
    };

    void Enable(SNotifiers& notifiers, int fd, bool read, bool on);
    void Activated(int fd, bool read);
    void SetTimer(int waitMilliseconds);

    std::function<void()> mReady;
    // Kept, disabled, for sockets no longer watched: a connection that is
    // reused is watched again at once.
    std::unordered_map<int, SNotifiers> mNotifiers;
    QTimer mTimer;
    bool mTimerOn = false;
    std::chrono::steady_clock::time_point mTimerDue;
};
