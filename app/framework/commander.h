// Commanders: menu commands go to the current target (the front window) and,
// when it does not handle them, up the chain of super-commanders to the
// application. Enabling is asked the same way.
#pragma once

#include <string>
#include <vector>

#include "app/framework/framework_codes.h"

struct SCommandStatus {
    bool enabled = false;
    bool usesMark = false;
    bool marked = false;
    std::string name;  // empty: keep the menu item's own text
};

class CCommander {
public:
    explicit CCommander(CCommander* superCommander = nullptr);
    // Sub-commanders lose their super-commander; when this was the target,
    // the target moves to its super-commander.
    virtual ~CCommander();
    CCommander(const CCommander&) = delete;
    CCommander& operator=(const CCommander&) = delete;

    CCommander* GetSuperCommander() const { return mSuper; }
    void SetSuperCommander(CCommander* superCommander);

    // This commander's own handling: true when it handled the command. The
    // default handles nothing.
    virtual bool HandleCommand(CommandT command, void* ioParam);
    // This commander's own enabling: true when it answered (the status is
    // then final), false to ask the super-commander. The default answers
    // nothing.
    virtual bool GetCommandStatus(CommandT command, SCommandStatus& status);

    // This commander, then its super-commanders, until one handles it.
    bool ProcessCommand(CommandT command, void* ioParam = nullptr);
    // The first answer up the chain; disabled when nobody answers.
    SCommandStatus FindCommandStatus(CommandT command);

    // The commander that receives menu commands first (the active window, else
    // the application). Null only before an application exists.
    static CCommander* GetTarget();
    static void SetTarget(CCommander* target);
    // From the target up; false when nobody handled it (or no target).
    static bool DispatchCommand(CommandT command, void* ioParam = nullptr);
    static SCommandStatus DispatchCommandStatus(CommandT command);

private:
    CCommander* mSuper = nullptr;
    std::vector<CCommander*> mSubs;
};
