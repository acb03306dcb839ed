// CTimeThread: keeps a clock pane showing the time of day. It sleeps until
// the next second begins and then rewrites the pane, so an idle window
// costs no processor time between seconds. The owner stops it with Stop,
// which also waits for it, before the pane goes.
#pragma once

#include "foundation/threads/thread.h"

class CPane;

class CTimeThread : public CThread {
public:
    explicit CTimeThread(CPane* pane);
    ~CTimeThread() override;

    // Asks the thread to end and waits cooperatively until it has.
    void Stop();

protected:
    void* Run() override;

private:
    CPane* mPane;
};
