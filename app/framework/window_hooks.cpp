#include "app/framework/window_hooks.h"

#include <map>
#include <vector>

namespace {

std::vector<SGrabWindowFamily>& Families()
{
    static std::vector<SGrabWindowFamily> families;
    return families;
}

}  // namespace

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

namespace {
std::map<std::uint32_t, std::function<void()>>& CommandHandlers()
{
    static std::map<std::uint32_t, std::function<void()>> handlers;
    return handlers;
}
}  // namespace

std::function<void()> SetApplicationCommandHandler(std::uint32_t command, std::function<void()> handler)
{
    std::function<void()> replaced;
    auto found = CommandHandlers().find(command);
    if (found != CommandHandlers().end()) {
        replaced = std::move(found->second);
        CommandHandlers().erase(found);
    }
    if (handler) CommandHandlers()[command] = std::move(handler);
    return replaced;
}

bool RunApplicationCommandHandler(std::uint32_t command)
{
    auto found = CommandHandlers().find(command);
    if (found == CommandHandlers().end()) return false;
    // A copy: the handler may replace itself.
    std::function<void()> handler = found->second;
    handler();
    return true;
}

bool HasApplicationCommandHandler(std::uint32_t command) { return CommandHandlers().count(command) > 0; }
