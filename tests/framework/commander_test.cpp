// Commands go from the target up the chain; enabling is the first answer.
#include <type_traits>

#include <gtest/gtest.h>

#include "app/framework/commander.h"

namespace {

constexpr CommandT kCmdA = MakeCommand("AAAA");
constexpr CommandT kCmdB = MakeCommand("BBBB");
constexpr CommandT kCmdC = MakeCommand("CCCC");

// 'UPDT' is a command and a message; the types must keep them apart.
static_assert(!std::is_convertible_v<MessageT, CommandT>);
static_assert(!std::is_convertible_v<CommandT, MessageT>);

class CRecordingCommander : public CCommander {
public:
    CRecordingCommander(const char* name, CCommander* super, CommandT handles, bool enables)
        : CCommander(super), mName(name), mHandles(handles), mEnables(enables) {}

    bool HandleCommand(CommandT command, void*) override
    {
        if (command != mHandles) return false;
        handledBy = mName;
        return true;
    }
    bool GetCommandStatus(CommandT command, SCommandStatus& status) override
    {
        if (command != mHandles) return false;
        status.enabled = mEnables;
        status.name = mName;
        return true;
    }

    static inline std::string handledBy;

private:
    std::string mName;
    CommandT mHandles;
    bool mEnables;
};

TEST(Commander, ChainFromTargetToApplication)
{
    CRecordingCommander application("application", nullptr, kCmdA, true);
    CRecordingCommander window("window", &application, kCmdB, false);
    CCommander::SetTarget(&window);

    struct SCase {
        CommandT command;
        bool handled;
        const char* by;
        bool enabled;
    } cases[] = {
        {kCmdA, true, "application", true},  // passed up
        {kCmdB, true, "window", false},      // the window answers first, even "disabled"
        {kCmdC, false, "", false},           // nobody: disabled
    };
    for (const SCase& c : cases) {
        CRecordingCommander::handledBy.clear();
        EXPECT_EQ(CCommander::DispatchCommand(c.command), c.handled) << FourCharCodeText(CommandValue(c.command));
        EXPECT_EQ(CRecordingCommander::handledBy, c.by);
        EXPECT_EQ(CCommander::DispatchCommandStatus(c.command).enabled, c.enabled);
    }
    CCommander::SetTarget(nullptr);
}

TEST(Commander, DestroyedTargetHandsOverAndChainsStaySound)
{
    CRecordingCommander application("application", nullptr, kCmdA, true);
    {
        CRecordingCommander window("window", &application, kCmdB, true);
        CRecordingCommander field("field", &window, kCmdC, true);
        CCommander::SetTarget(&window);
        // A super-commander that would close a loop is refused.
        window.SetSuperCommander(&field);
        EXPECT_EQ(window.GetSuperCommander(), nullptr);
        window.SetSuperCommander(&application);
    }
    EXPECT_EQ(CCommander::GetTarget(), &application);
    EXPECT_TRUE(CCommander::DispatchCommand(kCmdA));
    CCommander::SetTarget(nullptr);
}

}  // namespace
