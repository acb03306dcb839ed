// A walk over the list of live threads that stays valid while threads are
// created and deleted under it, also when the walk yields between elements.
// The walk moves on before it hands out an element, and deleting the thread
// a walk would hand out next moves the walk past it.
#pragma once

#include "foundation/containers/pooled_list.h"

class CThread;

class CThreadListWalk {
public:
    CThreadListWalk();
    ~CThreadListWalk();
    CThreadListWalk(const CThreadListWalk&) = delete;
    CThreadListWalk& operator=(const CThreadListWalk&) = delete;

    // The next live thread in creation order, or null at the end.
    CThread* Next();

private:
    friend class CThread;
    using Node = TPooledList<CThread*>::Node;

    // Called by a thread just before it leaves the list.
    static void ThreadLeaving(const Node* node);

    Node* mNext;
    CThreadListWalk* mNextWalk = nullptr;
};
