#include "app/framework/commander.h"

#include <algorithm>

namespace {
CCommander* gTarget = nullptr;
}

CCommander::CCommander(CCommander* superCommander) { SetSuperCommander(superCommander); }

CCommander::~CCommander()
{
    if (gTarget == this) gTarget = mSuper;
    for (CCommander* sub : mSubs) sub->mSuper = nullptr;
    if (mSuper != nullptr) std::erase(mSuper->mSubs, this);
}

void CCommander::SetSuperCommander(CCommander* superCommander)
{
    if (mSuper != nullptr) std::erase(mSuper->mSubs, this);
    // A chain that loops would send a command round for ever.
    for (CCommander* up = superCommander; up != nullptr; up = up->mSuper)
        if (up == this) superCommander = nullptr;
    mSuper = superCommander;
    if (mSuper != nullptr) mSuper->mSubs.push_back(this);
}

bool CCommander::HandleCommand(CommandT, void*) { return false; }

bool CCommander::GetCommandStatus(CommandT, SCommandStatus&) { return false; }

bool CCommander::ProcessCommand(CommandT command, void* ioParam)
{
    for (CCommander* commander = this; commander != nullptr; commander = commander->mSuper)
        if (commander->HandleCommand(command, ioParam)) return true;
    return false;
}

SCommandStatus CCommander::FindCommandStatus(CommandT command)
{
    for (CCommander* commander = this; commander != nullptr; commander = commander->mSuper) {
        SCommandStatus status;
        if (commander->GetCommandStatus(command, status)) return status;
    }
    return {};
}

CCommander* CCommander::GetTarget() { return gTarget; }

void CCommander::SetTarget(CCommander* target) { gTarget = target; }

bool CCommander::DispatchCommand(CommandT command, void* ioParam)
{
    return gTarget != nullptr && gTarget->ProcessCommand(command, ioParam);
}

SCommandStatus CCommander::DispatchCommandStatus(CommandT command)
{
    return gTarget != nullptr ? gTarget->FindCommandStatus(command) : SCommandStatus{};
}
