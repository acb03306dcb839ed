#include "app/windows/configurations/user_agents_import.h"

#include <set>

#include "foundation/files/whole_file.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_store.h"
#include "foundation/text/fixed_string.h"
#include "platform/plist/plist_value.h"

namespace {

constexpr const char* kUserAgentsPreference = "User Agents";

}  // namespace

std::vector<std::pair<std::string, std::string>> ParseUserAgents(std::string_view text)
{
    std::vector<std::pair<std::string, std::string>> agents;
    std::set<std::string> names;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string line = CFixedString255(text.substr(start, end - start)).str();
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        std::vector<std::string> fields;
        std::size_t at = 0;
        while (at < line.size() && fields.size() < 2) {
            const std::size_t tab = std::min(line.find('\t', at), line.size());
            if (tab > at) fields.push_back(line.substr(at, tab - at));
            at = tab + 1;
        }
        if (fields.size() < 2 || !names.insert(fields[0]).second) continue;
        agents.emplace_back(fields[0], fields[1]);
    }
    return agents;
}

bool ImportUserAgents(const std::string& path)
{
    // A plain file of bounded size: a pipe or a device would hold the window.
    std::string bytes;
    if (ReadWholeFile(CFileRef(path), bytes).Failed()) return false;
    const auto agents = ParseUserAgents(bytes);
    if (agents.empty()) return false;
    PlistValue dictionary = PlistValue::MakeDictionary();
    for (const auto& [name, agent] : agents) dictionary.Set(name, PlistValue::MakeString(agent));
    if (!SetPreferenceValue(kUserAgentsPreference, dictionary)) return false;
    if (gAppSettings != nullptr) gAppSettings->LoadUserAgents(nullptr);
    return true;
}

void RevertUserAgents()
{
    (void)RemovePreference(kUserAgentsPreference);
    if (gAppSettings != nullptr) gAppSettings->LoadUserAgents(nullptr);
}
