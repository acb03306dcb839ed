#include "foundation/threads/thread_list_walk.h"

#include "foundation/threads/thread.h"

namespace {

// Every walk in progress, whatever fiber it lives on.
CThreadListWalk* sWalks = nullptr;

} // namespace

CThreadListWalk::CThreadListWalk()
    : mNext(CThread::LiveThreads().Head()), mNextWalk(sWalks)
{
    sWalks = this;
}

CThreadListWalk::~CThreadListWalk()
{
    // Walks on different fibers can end in any order.
    for (CThreadListWalk** link = &sWalks; *link; link = &(*link)->mNextWalk) {
        if (*link != this) continue;
        *link = mNextWalk;
        break;
    }
}

CThread* CThreadListWalk::Next()
{
    Node* node = mNext;
    if (!node) return nullptr;
    mNext = node->next;
    return node->element;
}

void CThreadListWalk::ThreadLeaving(const Node* node)
{
    for (CThreadListWalk* walk = sWalks; walk; walk = walk->mNextWalk)
        if (walk->mNext == node) walk->mNext = node->next;
}
