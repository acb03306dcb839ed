// Broadcasters and listeners: objects tell their listeners about events by a
// four-character message code and a payload pointer, synchronously, on the
// broadcasting thread.
//
// A listener may stop listening (or be destroyed) while a message is being
// delivered; the broadcast skips it from then on. Both sides unlink
// themselves on destruction, so neither may dangle.
#pragma once

#include <vector>

#include "foundation/messaging/four_char_code.h"

using MessageT = FourCharCode;

class CBroadcaster;

class CListener {
public:
    CListener() = default;
    CListener(const CListener&) : CListener() {}
    CListener& operator=(const CListener&) { return *this; }
    virtual ~CListener();

    virtual void ListenToMessage(MessageT message, void* ioParam) = 0;

    [[nodiscard]] bool IsListening() const { return mListening; }
    void StopListening() { mListening = false; }
    [[nodiscard]] bool HasBroadcaster(const CBroadcaster* broadcaster) const;

private:
    friend class CBroadcaster;
    std::vector<CBroadcaster*> mBroadcasters;
    bool mListening = true;
};

class CBroadcaster {
public:
    CBroadcaster() = default;
    // Copies start with no listeners: listening is to one object.
    CBroadcaster(const CBroadcaster&) : CBroadcaster() {}
    CBroadcaster& operator=(const CBroadcaster&) { return *this; }
    virtual ~CBroadcaster();

    void AddListener(CListener* listener);
    void RemoveListener(CListener* listener);
    [[nodiscard]] bool HasListener(const CListener* listener) const;
    void BroadcastMessage(MessageT message, void* ioParam = nullptr);

private:
    friend class CListener;
    void Forget(CListener* listener);

    std::vector<CListener*> mListeners;
    // Bumped whenever a listener goes, so a broadcast in progress rechecks.
    unsigned mGeneration = 0;
};
