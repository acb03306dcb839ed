#include "app/framework/window_hooks.h"

#include <vector>

namespace {

QuickerGrabberOpener& Opener()
{
    static QuickerGrabberOpener opener;
    return opener;
}

std::vector<SGrabWindowFamily>& Families()
{
    static std::vector<SGrabWindowFamily> families;
    return families;
}

}  // namespace

void SetQuickerGrabberOpener(QuickerGrabberOpener opener) { Opener() = std::move(opener); }

bool HasQuickerGrabberOpener() { return static_cast<bool>(Opener()); }

CWindow* OpenQuickerGrabber(const SQuickGrabRequest& request, CCommander* super)
{
    return Opener() ? Opener()(request, super) : nullptr;
}

void AddGrabWindowFamily(SGrabWindowFamily family) { Families().push_back(std::move(family)); }

bool IsAnyGrabRunning()
{
    for (const auto& family : Families())
        if (family.isAnyRunning && family.isAnyRunning()) return true;
    return false;
}

void CloseAllGrabWindows()
{
    for (auto family = Families().rbegin(); family != Families().rend(); ++family)
        if (family->closeAll) family->closeAll();
}

void ClearGrabWindowFamilies() { Families().clear(); }
