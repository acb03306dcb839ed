#include "engine/config/configuration.h"

#include <string>

#include "engine/filters/list_equality.h"
#include "foundation/messaging/four_char_code.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/preference_accessors.h"
#include "foundation/settings/user_folders.h"

namespace {

// The settings' download folder; without a settings object (tools, tests
// that build none) the user's download folder as the settings would find it.
std::string DownloadFolderPath()
{
    if (gAppSettings != nullptr) return gAppSettings->mDownloadFolderPath;
    return UserDownloadFolder();
}

const char* UserAgentText()
{
    return gAppSettings != nullptr ? gAppSettings->mUserAgent.c_str() : CAppSettings::kApplicationName;
}

void AppendAll(FilterStringList& list, std::initializer_list<const char*> items)
{
    for (const char* item : items) list.Append(CFixedString255(item));
}

}  // namespace

CGeneralOptions::CGeneralOptions()
{
    checkFileModificationDates = ShouldCheckFileModificationDates() ? 1 : 0;
    localPath.AssignView(DownloadFolderPath());
}

CMiscOptions::CMiscOptions()
{
    logFolder.AssignView(DownloadFolderPath());
    userAgent = UserAgentText();
}

bool CMiscOptions::operator==(const CMiscOptions& o) const
{
    return logFolder == o.logFolder && generateSiteMap == o.generateSiteMap && siteMapFormat == o.siteMapFormat &&
           extractEmailAddresses == o.extractEmailAddresses && collectPages == o.collectPages &&
           generateLog == o.generateLog && offsiteLinks == o.offsiteLinks && errorLinks == o.errorLinks &&
           includeAll == o.includeAll && generateEmail == o.generateEmail &&
           SameItems(siteMapSuffixes, o.siteMapSuffixes) && userAgent == o.userAgent &&
           startMessage == o.startMessage && finishMessage == o.finishMessage && mailTo == o.mailTo &&
           mailServer == o.mailServer && replyTo == o.replyTo;
}

bool CSiteLogin::operator==(const CSiteLogin& o) const
{
    return SameItems(realmList, o.realmList) && siteUsername == o.siteUsername && sitePassword == o.sitePassword;
}

bool CSiteLogin::FindRealm(const char* realm, CFixedString255& userName, CFixedString255& password) const
{
    if (realm == nullptr) return false;
    for (const CRealm& entry : realmList) {
        if (entry.realm.View() != realm) continue;
        userName = entry.userName;
        password = entry.password;
        return true;
    }
    return false;
}

bool CFormOptions::operator==(const CFormOptions& o) const
{
    return SameItems(inputItemList, o.inputItemList) && formURL == o.formURL && formActionURL == o.formActionURL &&
           method == o.method;
}

void MakeDefaultDelimiters(TPooledList<CDelimiter>& delimiters)
{
    static constexpr struct {
        const char* start;
        const char* end;
        std::uint8_t enabled;
    } kPairs[] = {
        {"HREF=\"", "\"", 1},       {"SRC=\"", "\"", 1},        {"HREF='", "'", 1},
        {"SRC='", "'", 1},          {"SRC=", " ", 1},           {"background=\"", "\"", 1},
        {"background='", "'", 1},   {"option value=\"", "\"", 0}, {"option value='", "'", 0},
        {"HREF=", ">", 1},          {"SRC=", ">", 1},           {"background=", ">", 1},
        {"HREF=", " ", 1},          {"SRC=", " ", 1},           {"background=", " ", 1},
    };
    delimiters.Clear();
    for (const auto& pair : kPairs) delimiters.Append(CDelimiter(pair.start, pair.end, pair.enabled));
}

void MakeDefaultCrawlFilters(CFilterSet& filters)
{
    filters = CFilterSet();
    AppendAll(filters.mimeContains, {"text"});
    filters.fileTypes.Append(MakeFourCharCode("text"));
    filters.fileTypes.Append(MakeFourCharCode("TEXT"));
    AppendAll(filters.suffixIsNot, {".psd", ".dmg", ".swf", ".flv", ".wmv"});
    AppendAll(filters.suffixIs, {".css", ".js", ".rss", ".xml"});
    filters.Compile();
}

CConfiguration::CConfiguration()
{
    MakeDefaultDelimiters(mDelimiters);
    MakeDefaultCrawlFilters(mCrawlFilters);
}

bool CConfiguration::IsEqual(const CConfiguration& o) const
{
    return mGeneralOptions == o.mGeneralOptions && SameItems(mDelimiters, o.mDelimiters) &&
           mSiteLogin == o.mSiteLogin && mFormOptions == o.mFormOptions && mGrabFilters == o.mGrabFilters &&
           mCrawlFilters == o.mCrawlFilters && mSaveFilters == o.mSaveFilters && mMiscOptions == o.mMiscOptions;
}
