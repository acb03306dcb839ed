#include "foundation/messaging/broadcaster.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

struct Recorder : CListener {
    std::vector<MessageT> heard;
    std::function<void(MessageT)> onMessage;
    void ListenToMessage(MessageT message, void*) override
    {
        heard.push_back(message);
        if (onMessage) onMessage(message);
    }
};

constexpr MessageT kPing = MakeFourCharCode("Ping");

TEST(Broadcaster, DeliversToEveryListenerOnceInOrder)
{
    CBroadcaster b;
    Recorder r1, r2;
    std::vector<int> order;
    r1.onMessage = [&](MessageT) { order.push_back(1); };
    r2.onMessage = [&](MessageT) { order.push_back(2); };
    b.AddListener(&r1);
    b.AddListener(&r2);
    b.AddListener(&r1);  // no double registration
    b.BroadcastMessage(kPing);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    r2.StopListening();
    b.BroadcastMessage(kPing);
    EXPECT_EQ(r2.heard.size(), 1u);
    EXPECT_EQ(r1.heard.size(), 2u);
}

TEST(Broadcaster, ListenerDeletedDuringABroadcastIsSkipped)
{
    CBroadcaster b;
    Recorder first;
    auto second = std::make_unique<Recorder>();
    Recorder* secondRaw = second.get();
    first.onMessage = [&](MessageT) { second.reset(); };
    b.AddListener(&first);
    b.AddListener(secondRaw);
    b.BroadcastMessage(kPing);  // ASan would flag a delivery to the deleted one
    EXPECT_EQ(first.heard.size(), 1u);
    EXPECT_FALSE(b.HasListener(secondRaw));
}

TEST(Broadcaster, EitherSideMayGoFirst)
{
    Recorder r;
    {
        CBroadcaster b;
        b.AddListener(&r);
        EXPECT_TRUE(r.HasBroadcaster(&b));
    }
    EXPECT_TRUE(r.heard.empty());
    CBroadcaster b2;
    {
        Recorder shortLived;
        b2.AddListener(&shortLived);
    }
    b2.BroadcastMessage(kPing);  // no dangling listener
    EXPECT_EQ(FourCharCodeText(kPing), "Ping");
}

}  // namespace
