#include "engine/crawl/crawl_preferences.h"

#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_accessors.h"
#include "foundation/settings/preference_store.h"

bool GetGenerateLogPreference() { return IsPreferenceNotFalse("Generate Log"); }
bool GetAllowSecondaryDomainsPreference() { return IsPreferenceNotFalse("Allow Secondary Domains"); }
bool GetGrabOffsiteURLsPreference() { return IsPreferenceNotFalse("Grab Offsite URLs"); }
bool GetURLsFromDiskPreference() { return IsPreferenceNotFalse("Load URLs from disk"); }

CCrawlPreferences CCrawlPreferences::Read()
{
    CCrawlPreferences preferences;
    preferences.allowSecondaryDomains = GetAllowSecondaryDomainsPreference();
    preferences.grabOffsiteURLs = GetGrabOffsiteURLsPreference();
    preferences.generateSitemap = ShouldGenerateSitemap();
    preferences.loadURLsFromDisk = GetURLsFromDiskPreference();
    preferences.preview = GetPreviewSettings(&preferences.previewIn);
    preferences.mediaRelinkAndRemap = ShouldRelinkAndRemapMedia();
    if (gAppSettings != nullptr) {
        preferences.messageRetries = gAppSettings->mMessageRetries;
        preferences.retryInterval = gAppSettings->mMessageRetriesInterval;
        preferences.createAliases = gAppSettings->mCreateAliases;
    } else {
        preferences.messageRetries = GetMessageRetries();
        preferences.retryInterval = GetMessageRetriesInterval();
    }
    if (preferences.messageRetries < 0) preferences.messageRetries = 0;
    if (preferences.retryInterval < 0) preferences.retryInterval = 0;
    if (auto mebibytes = GetDecimalPreference("Maximum Page Size For Links"); mebibytes && *mebibytes > 0)
        preferences.maxPageBytesForLinks = static_cast<std::uint64_t>(*mebibytes) << 20;
    if (auto folder = GetPreferenceString("Aliases Folder Location"); folder && !folder->empty())
        preferences.aliasesFolder = *folder;
    return preferences;
}
