// The user-agent list of the settings object: the user's imported list, or
// the one that ships with the program.
#include <optional>
#include <string>

#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_store.h"
#include "foundation/text/text_encodings.h"
#include "platform/plist/plist_xml.h"

namespace {

std::optional<PlistValue> UserAgentDictionary()
{
    std::optional<PlistValue> stored = GetPreferenceValue("User Agents");
    if (stored && stored->IsDictionary()) return stored;
    std::string text;
    if (!LoadNamedTextResource(CAppSettings::kDefaultUserAgentsResource, text)) return std::nullopt;
    std::optional<PlistValue> shipped = ParsePlist(text);
    if (shipped && shipped->IsDictionary()) return shipped;
    return std::nullopt;
}

}  // namespace

void CAppSettings::LoadUserAgents(CUserAgentMenu* menu)
{
    if (menu != nullptr) {
        menu->RemoveAllItems();
        menu->AppendItem(kApplicationName);
        menu->AppendItem("-");
    }
    mUserAgentNames.clear();
    mUserAgentStrings.clear();
    if (std::optional<PlistValue> agents = UserAgentDictionary()) {
        for (std::size_t i = 0; i < agents->Count(); ++i) {
            // A name without a text would shift every later menu item
            // against the lists.
            if (!agents->ItemAt(i).IsString()) continue;
            if (menu != nullptr) menu->AppendItem(agents->KeyAt(i));
            mUserAgentNames.push_back(agents->KeyAt(i));
            mUserAgentStrings.push_back(agents->ItemAt(i).Text());
        }
    }
    if (menu != nullptr) menu->DisableItem(2);
}
