#include "app/framework/class_registrar.h"

#include <map>
#include <stdexcept>

#include "app/framework/pane.h"
#include "app/framework/registration_site.h"

namespace {

struct SClassEntry {
    PaneCreator pane;
    WindowCreator window;
    std::string site;
};

std::map<ClassIDT, SClassEntry>& Classes()
{
    static std::map<ClassIDT, SClassEntry> classes;
    return classes;
}

void Enter(ClassIDT classID, SClassEntry entry)
{
    auto found = Classes().find(classID);
    if (found != Classes().end() && found->second.site != entry.site)
        throw std::logic_error("class '" + FourCharCodeText(classID) + "' is registered twice: at " +
                               found->second.site + " and at " + entry.site);
    Classes()[classID] = std::move(entry);
}

}  // namespace

void CClassRegistrar::RegisterPane(ClassIDT classID, PaneCreator creator, std::source_location where)
{
    Enter(classID, SClassEntry{std::move(creator), {}, RegistrationSite(where)});
}

void CClassRegistrar::RegisterWindow(ClassIDT classID, WindowCreator creator, std::source_location where)
{
    Enter(classID, SClassEntry{{}, std::move(creator), RegistrationSite(where)});
}

void CClassRegistrar::Unregister(ClassIDT classID) { Classes().erase(classID); }

bool CClassRegistrar::HasPaneClass(ClassIDT classID)
{
    auto found = Classes().find(classID);
    return found != Classes().end() && found->second.pane;
}

bool CClassRegistrar::HasWindowClass(ClassIDT classID)
{
    auto found = Classes().find(classID);
    return found != Classes().end() && found->second.window;
}

std::unique_ptr<CPane> CClassRegistrar::CreatePane(const SPaneSpec& spec, QWidget* parentWidget)
{
    auto found = Classes().find(spec.classID);
    if (found == Classes().end() || !found->second.pane) return nullptr;
    return found->second.pane(spec, parentWidget);
}

CWindow* CClassRegistrar::CreateWindow(const SLayout& layout, CCommander* superCommander)
{
    auto found = Classes().find(layout.windowClass);
    if (found == Classes().end() || !found->second.window) return nullptr;
    return found->second.window(layout, superCommander);
}
