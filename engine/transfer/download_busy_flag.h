// The global busy flag: one URL download runs at a time in the whole
// program, across every grab. A download thread takes the flag before it
// opens its transfer and gives it back when it is destroyed; threads that
// find it taken sleep until it is given back, in the order they asked.
//
// Only the holder can clear the flag, so a thread that was stopped while it
// waited never frees a transfer that another thread is running.
//
// Cooperative threads only (the scheduler's OS thread); nothing here locks.
#pragma once

// True while a download holds the flag.
[[nodiscard]] bool IsDownloadBusy();

// On a CThread: returns once the flag is set for `holder`. While another
// holder has it the thread sleeps; a stop request, followed by a Wake of the
// thread, ends the wait with CThread::CStopException, the flag untouched.
void TakeDownloadBusyFlag(const void* holder);

// Clears the flag when `holder` set it and wakes the next waiter; does
// nothing for anyone else.
void ReleaseDownloadBusyFlag(const void* holder);
