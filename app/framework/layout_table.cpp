#include "app/framework/layout.h"

#include <map>
#include <set>

namespace {

std::map<int, const SLayout*>& Layouts()
{
    static std::map<int, const SLayout*> layouts;
    return layouts;
}

std::string Quoted(FourCharCode code) { return "'" + FourCharCodeText(code) + "'"; }

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

bool CLayoutTable::Register(const SLayout& layout)
{
    if (!Check(layout).empty()) return false;
    Layouts()[layout.number] = &layout;
    return true;
}

const SLayout* CLayoutTable::Find(int number)
{
    auto found = Layouts().find(number);
    return found != Layouts().end() ? found->second : nullptr;
}

std::vector<int> CLayoutTable::Numbers()
{
    std::vector<int> numbers;
    for (const auto& [number, layout] : Layouts()) numbers.push_back(number);
    return numbers;
}

void CLayoutTable::Unregister(int number) { Layouts().erase(number); }
