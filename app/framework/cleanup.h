// Deferred deletion. An object that must not delete itself while its own
// code is running (a window inside its own broadcast, a dialog answering a
// button) schedules itself instead; CCleanupAttachment deletes the scheduled
// objects at the next event, when none of their code is on the stack.
//
// Sound rules: an object scheduled twice is deleted once; an object deleted
// by someone else meanwhile leaves the list; objects scheduled while the list
// is being emptied (a destructor scheduling another) are deleted on the next
// pass, never lost.
#pragma once

#include <cstddef>
#include <functional>

#include "app/framework/attachment.h"

class CCleanupObject {
public:
    CCleanupObject() = default;
    CCleanupObject(const CCleanupObject&) = delete;
    CCleanupObject& operator=(const CCleanupObject&) = delete;
    // Leaves the cleanup list when deleted another way.
    virtual ~CCleanupObject();
    // Appends the object to the cleanup list (once).
    virtual void ScheduleCleanup();
    bool IsScheduledForCleanup() const;
};

// Deletes every object scheduled before the call, in scheduling order.
// Returns how many were deleted.
std::size_t DeleteScheduledObjects();
std::size_t CountScheduledObjects();
// Called (once per scheduling) so an idle event loop wakes and runs the
// cleanup; the application installs it. Null: nothing.
void SetCleanupWakeHook(std::function<void()> hook);

class CCleanupAttachment : public CAttachment {
public:
    CCleanupAttachment() : CAttachment(kMsgEvent, true) {}

protected:
    void ExecuteSelf(MessageT message, void* ioParam) override;
};

// Gives the cooperative threads their time on every event: with a negative
// interval one scheduler pass per event; otherwise passes until the interval
// (in milliseconds) since the last due time has run out. Then runs the
// after-yield hooks (the quicker grabbers flush their queued progress).
class CYieldAttachment : public CAttachment {
public:
    explicit CYieldAttachment(int intervalMs = -1);

    // Process-wide hooks run after each yield.
    static void AddAfterYieldHook(std::function<void()> hook);

protected:
    void ExecuteSelf(MessageT message, void* ioParam) override;

private:
    int mInterval;
    long long mNextTime = 0;  // steady-clock milliseconds
};
