#include "foundation/messaging/broadcaster.h"

#include <algorithm>
#include <span>

CListener::~CListener()
{
    // Copy: Forget edits the broadcasters' lists, not ours, but stay safe.
    std::vector<CBroadcaster*> broadcasters = mBroadcasters;
    for (CBroadcaster* broadcaster : broadcasters) broadcaster->Forget(this);
}

bool CListener::HasBroadcaster(const CBroadcaster* broadcaster) const
{
    return std::find(mBroadcasters.begin(), mBroadcasters.end(), broadcaster) != mBroadcasters.end();
}

CBroadcaster::~CBroadcaster()
{
    for (CListener* listener : mListeners) {
        auto& list = listener->mBroadcasters;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void CBroadcaster::AddListener(CListener* listener)
{
    if (listener == nullptr || HasListener(listener)) return;
    mListeners.push_back(listener);
    listener->mBroadcasters.push_back(this);
}

void CBroadcaster::RemoveListener(CListener* listener)
{
    if (!HasListener(listener)) return;
    Forget(listener);
    auto& list = listener->mBroadcasters;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

bool CBroadcaster::HasListener(const CListener* listener) const
{
    return std::find(mListeners.begin(), mListeners.end(), listener) != mListeners.end();
}

void CBroadcaster::Forget(CListener* listener)
{
    mListeners.erase(std::remove(mListeners.begin(), mListeners.end(), listener), mListeners.end());
    ++mGeneration;
}

void CBroadcaster::BroadcastMessage(MessageT message, void* ioParam)
{
    // Deliver to a snapshot; before each delivery check that the listener is
    // still ours, since an earlier listener may have removed or deleted it.
    // The usual few listeners are copied on the stack: a crawl broadcasts
    // several times per URL.
    constexpr std::size_t kOnStack = 4;
    CListener* onStack[kOnStack];
    std::vector<CListener*> onHeap;
    std::span<CListener* const> snapshot;
    if (mListeners.size() <= kOnStack) {
        std::copy(mListeners.begin(), mListeners.end(), onStack);
        snapshot = std::span<CListener* const>(onStack, mListeners.size());
    } else {
        onHeap = mListeners;
        snapshot = onHeap;
    }
    unsigned generation = mGeneration;
    for (CListener* listener : snapshot) {
        if (generation != mGeneration && !HasListener(listener)) continue;
        if (listener->IsListening()) listener->ListenToMessage(message, ioParam);
    }
}
