#include "app/framework/layout.h"

#include <map>
#include <set>
#include <stdexcept>

#include "app/framework/registration_site.h"

namespace {

struct SRegisteredLayout {
    const SLayout* layout;
    std::string site;
};

std::map<int, SRegisteredLayout>& Layouts()
{
    static std::map<int, SRegisteredLayout> layouts;
    return layouts;
}

std::string Quoted(FourCharCode code) { return "'" + FourCharCodeText(code) + "'"; }

std::string Owner(const SLayout& layout, const std::string& site)
{
    return "\"" + std::string(layout.title) + "\" (class " + Quoted(layout.windowClass) + ", " + site + ")";
}

}  // namespace

std::string CLayoutTable::Check(const SLayout& layout)
{
    std::set<PaneIDT> seen;
    for (const SPaneSpec& spec : layout.panes) {
        if (spec.classID == 0) return "pane " + Quoted(spec.id) + " has no class";
        if (spec.superID != 0 && seen.count(spec.superID) == 0)
            return "pane " + Quoted(spec.id) + " names super-pane " + Quoted(spec.superID) +
                   " before it exists";
        if (spec.id == 0) continue;
        if (!seen.insert(spec.id).second) return "duplicate pane ID " + Quoted(spec.id);
    }
    return "";
}

bool CLayoutTable::Register(const SLayout& layout, std::source_location where)
{
    if (!Check(layout).empty()) return false;
    std::string site = RegistrationSite(where);
    auto [found, added] = Layouts().try_emplace(layout.number, SRegisteredLayout{&layout, site});
    if (!added && found->second.layout != &layout)
        throw std::logic_error("layout " + std::to_string(layout.number) + " is registered twice: by " +
                               Owner(*found->second.layout, found->second.site) + " and by " + Owner(layout, site));
    return true;
}

const SLayout* CLayoutTable::Find(int number)
{
    auto found = Layouts().find(number);
    return found != Layouts().end() ? found->second.layout : nullptr;
}

std::vector<int> CLayoutTable::Numbers()
{
    std::vector<int> numbers;
    for (const auto& [number, layout] : Layouts()) numbers.push_back(number);
    return numbers;
}

void CLayoutTable::Unregister(int number) { Layouts().erase(number); }
