// The mail account and notification settings of the settings object.
#include <climits>
#include <atomic>
#include <optional>
#include <string>

#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_accessors.h"
#include "foundation/settings/preference_store.h"
#include "foundation/system/keychain_password.h"

namespace {

std::atomic<MailPasswordLookup> gPasswordLookup{&FindKeychainPassword};

// The stored text into `field` when there is a non-empty one; cleared
// otherwise.
bool LoadTextInto(const char* key, CFixedString255& field)
{
    std::optional<std::string> value = GetPreferenceString(key);
    if (!value || value->empty()) {
        field = "";
        return false;
    }
    field = value->c_str();
    return true;
}

std::int32_t NumberInRange(const char* key, std::int32_t low, std::int32_t high, std::int32_t fallback)
{
    std::optional<std::string> value = GetPreferenceString(key);
    if (!value) return fallback;
    std::int32_t number = ReadDecimalPrefix(*value);
    return (number >= low && number <= high) ? number : fallback;
}

}  // namespace

void SetMailPasswordLookup(MailPasswordLookup lookup)
{
    gPasswordLookup.store(lookup != nullptr ? lookup : &FindKeychainPassword);
}

bool CAppSettings::LoadMailServer() { return LoadTextInto("Mail Server", mMailServer); }

std::int32_t CAppSettings::GetMailServerPort() const
{
    return NumberInRange("Mail Server Port", 1, 65535, kDefaultMailServerPort);
}

void CAppSettings::LoadMailAccount()
{
    LoadTextInto("Username", mMailUserName);
    mMailPassword = "";
    gPasswordLookup.load()(mMailServer.c_str(), mMailUserName.c_str(), mMailPassword);
}

bool CAppSettings::LoadMailRecipient() { return LoadTextInto("Mail Recipient", mMailRecipient); }

std::int32_t CAppSettings::GetMailPeriod() const
{
    // 0 or less is kept: it means "no periodic mail".
    return NumberInRange("Mail Period", INT32_MIN, 32767, kDefaultMailPeriod);
}

void CAppSettings::LoadMailSettings()
{
    LoadMailServer();
    mMailServerPort = GetMailServerPort();
    LoadMailAccount();
    LoadMailRecipient();
    mMailPeriod = GetMailPeriod();
}
