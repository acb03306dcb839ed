// The Qt event loop drives the fiber scheduler, without polling:
//   - while fibers are ready, one scheduler pass per loop iteration (posted
//     to ourselves, so events in between are still handled);
//   - otherwise a single-shot timer for the nearest sleep deadline;
//   - the scheduler's ready hook (any OS thread: a worker's wake, a
//     transfer's completion) posts an event that restarts the passes.
// Installed by CApplication; tests may install it on a bare QApplication.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

class CSchedulerDriver {
public:
    struct SStats {
        std::uint64_t passes = 0;        // scheduler passes run
        std::uint64_t threadsRun = 0;    // fiber slices in those passes
        std::uint64_t idlePasses = 0;    // passes that ran nothing
        std::uint64_t timerArms = 0;     // deadline timers armed
        std::uint64_t wakePosts = 0;     // ready-hook posts (not those held)
    };

    // GUI thread, with a QCoreApplication in place.
    static void Install();
    static void Uninstall();
    static SStats Stats();
    static void ResetStats();
    // Schedules a pass now (as the ready hook does). Any OS thread. A worker
    // that queued something for the windows (transfer progress) pokes, so
    // the pass's after-pass hook (the yield attachment's hooks) shows it.
    static void Poke();
    // Called on the GUI thread after every pass (the application runs its
    // attachments then: the quicker grabbers flush their progress).
    static void SetAfterPassHook(std::function<void()> hook);
    // Work the GUI thread does at the end of every pass, before the
    // after-pass hook: the turn of the downloads it drives, which sends the
    // requests the pass's fibers made.
    static void SetPassEndWork(std::function<void()> work);
    // How a pass waits, within its time, for what its fibers wait on (the
    // downloads the GUI thread drives): called when no fiber is ready, it
    // returns false when there is nothing to wait for or the time is up.
    // A fast answer then goes on in the same pass, without a turn of the
    // loop for each; input, timers and drawing still wait at most a pass.
    static void SetPassWait(std::function<bool(std::chrono::steady_clock::time_point until)> wait);

    // True on the GUI thread inside a pass or a CPassAfter: a turn of the
    // pass-end work comes before the loop waits again. False elsewhere.
    static bool PassPending();

    // GUI thread, outside a pass: for the life of this object a thread that
    // the GUI thread itself makes ready posts no pass; the pass runs when
    // the object goes instead (the downloads' turn that ends a transfer
    // then goes straight on with the fiber that waited for it, without a
    // wake-up of the loop and a turn of it).
    class CPassAfter {
    public:
        CPassAfter();
        ~CPassAfter();
        CPassAfter(const CPassAfter&) = delete;
        CPassAfter& operator=(const CPassAfter&) = delete;
    };
};
