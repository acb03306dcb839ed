// Deferred deletion: nothing is lost, nothing is deleted twice, and a window
// that closes from inside its own broadcast survives until the next event.
#include <QPushButton>
#include <gtest/gtest.h>

#include "app/framework/class_registrar.h"
#include "app/framework/cleanup.h"
#include "app/framework/window.h"
#include "framework_environment.h"

namespace {

struct CTracked : CCleanupObject {
    explicit CTracked(std::vector<int>& log, int id, CTracked* scheduleWhenDeleted = nullptr)
        : mLog(log), mID(id), mNext(scheduleWhenDeleted) {}
    ~CTracked() override
    {
        mLog.push_back(mID);
        if (mNext != nullptr) mNext->ScheduleCleanup();
    }
    std::vector<int>& mLog;
    int mID;
    CTracked* mNext;
};

TEST(Cleanup, ScheduledObjectsAreDeletedOnceAndNeverLost)
{
    std::vector<int> deleted;
    auto* third = new CTracked(deleted, 3);
    auto* first = new CTracked(deleted, 1, third);  // schedules 3 while the list empties
    auto* second = new CTracked(deleted, 2);
    auto* gone = new CTracked(deleted, 4);
    first->ScheduleCleanup();
    second->ScheduleCleanup();
    second->ScheduleCleanup();  // twice: once
    gone->ScheduleCleanup();
    delete gone;  // deleted by its owner meanwhile: leaves the list

    EXPECT_EQ(DeleteScheduledObjects(), 2u);
    EXPECT_EQ(deleted, (std::vector<int>{4, 1, 2}));
    EXPECT_EQ(CountScheduledObjects(), 1u) << "the object scheduled during the pass waits for the next";
    EXPECT_EQ(DeleteScheduledObjects(), 1u);
    EXPECT_EQ(deleted, (std::vector<int>{4, 1, 2, 3}));
}

constexpr PaneIDT kDone = MakeFourCharCode("DONE");
constexpr SPaneSpec kPanes[] = {{.id = kDone, .classID = kClassPushButton, .caption = "Done"}};
constexpr SLayout kLayout{.number = 9200, .windowClass = MakeFourCharCode("Clsr"), .panes = kPanes};

// Closes itself when its button says so, and checks it is still whole after
// its own broadcast.
class CSelfClosing : public CWindow, public CListener {
public:
    CSelfClosing(const SLayout& layout, CCommander* super) : CWindow(layout, super) {}
    void FinishCreateSelf() override { FindPaneByID(kDone)->AddListener(this); }
    void ListenToMessage(MessageT message, void*) override
    {
        if (message != kDone) return;
        AttemptClose();
        stillAlive = FindPaneByID(kDone) != nullptr;
    }
    ~CSelfClosing() override { ++destroyed; }
    bool stillAlive = false;
    static inline int destroyed = 0;
};

TEST(Cleanup, WindowClosedInItsOwnBroadcastGoesAtTheNextEvent)
{
    CClassRegistrar::RegisterWindowClass<CSelfClosing>(kLayout.windowClass);
    CScopedLayout registered(kLayout);
    auto* window = MakeWindowAs<CSelfClosing>(kLayout.number, nullptr, "Test");
    window->Show();
    qobject_cast<QPushButton*>(window->FindPaneByID(kDone)->GetWidget())->click();
    EXPECT_TRUE(window->stillAlive);
    EXPECT_EQ(CSelfClosing::destroyed, 0);
    CCleanupAttachment cleanup;
    cleanup.Execute(kMsgEvent, nullptr);
    EXPECT_EQ(CSelfClosing::destroyed, 1);
}

}  // namespace
