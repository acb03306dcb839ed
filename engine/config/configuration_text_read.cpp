// Reading the configuration's text. Each read consumes its line and a search
// finds the first remaining line of a key, so the order matters: the three
// filter sets share their keys and are read grab, crawl, save, as written.
#include <algorithm>
#include <string>

#include "engine/config/configuration.h"
#include "engine/config/configuration_file_text.h"
#include "engine/config/list_item_fields.h"
#include "engine/filters/setting_values.h"
#include "foundation/files/whole_file.h"

namespace {

void ReadGeneral(CTextBuffer& text, CGeneralOptions& g)
{
    ReadIntegerSetting(text, "directoryDepth", g.directoryDepth);
    ReadIntegerSetting(text, "linkDepth", g.linkDepth);
    ReadIntegerSetting(text, "saveAction", g.saveAction);
    ReadFlagSetting(text, "useRobotsTxt", g.useRobotsTxt);
    ReadFlagSetting(text, "allowSecondaryDomains", g.allowSecondaryDomains);
    ReadFlagSetting(text, "removeJavaScript", g.removeJavaScript);
    ReadFlagSetting(text, "useCookies", g.useCookies);
    ReadFlagSetting(text, "checkFileModificationDates", g.checkFileModificationDates);
    ReadFlagSetting(text, "useServerContentType", g.useServerContentType);
    ReadFlagSetting(text, "ignoreDynamicURLs", g.ignoreDynamicURLs);
    ReadFlagSetting(text, "grabOffsiteURLs", g.grabOffsiteURLs);
    TPooledList<CFixedString255> hosts;
    if (ReadListItems(text, "offsiteHosts", hosts)) g.offsiteHosts.assign(hosts.begin(), hosts.end());
    ReadFlagSetting(text, "remapURLs", g.remapURLs);
    ReadFlagSetting(text, "remapAllPHP", g.remapAllPHP);
    ReadFlagSetting(text, "relinkURLs", g.relinkURLs);
    ReadFlagSetting(text, "checkForRedirection", g.checkForRedirection);
    ReadFlagSetting(text, "remapSecondaryDomains", g.remapSecondaryDomains);
    ReadFlagSetting(text, "crawlSecondaryDomains", g.crawlSecondaryDomains);
    ReadFlagSetting(text, "setExtensionFromContentType", g.setExtensionFromContentType);
    ReadFlagSetting(text, "alwaysUseExtension", g.alwaysUseExtension);
    ReadIntegerSetting(text, "pauseSeconds", g.pauseSeconds);
    ReadIntegerSetting(text, "yieldQuantum", g.yieldQuantum);
    ReadIntegerSetting(text, "timeout", g.timeout);
    ReadTextSetting(text, "indexFilename", g.indexFilename);
    ReadTextSetting(text, "extension", g.extension);
    ReadTextSetting(text, "localPath", g.localPath);
    ReadTextSetting(text, "remotePath", g.remotePath);
    ReadTextSetting(text, "host", g.host);
    ReadTextSetting(text, "name", g.name);
    ReadTextSetting(text, "password", g.password);

    // A crawl with no levels, no yield quantum or no time-out would stall or
    // do nothing; a negative pause would wait forever.
    g.linkDepth = std::max(g.linkDepth, 1);
    g.yieldQuantum = std::max(g.yieldQuantum, 1);
    g.timeout = std::max(g.timeout, 1);
    g.pauseSeconds = std::max(g.pauseSeconds, 0);
}

void ReadSiteLogin(CTextBuffer& text, CSiteLogin& login)
{
    ReadTextSetting(text, "siteUsername", login.siteUsername);
    ReadTextSetting(text, "sitePassword", login.sitePassword);
    std::string value;
    if (!ReadRawListValue(text, "realmList", value)) return;
    login.realmList.Clear();
    for (std::string_view item : SplitListItems(value)) {
        std::vector<std::string> fields = SplitItemFields(item, 3);
        CRealm realm;
        realm.realm.AssignView(fields[0]);
        realm.userName.AssignView(fields[1]);
        realm.password.AssignView(fields[2]);
        login.realmList.Append(realm);
    }
}

void ReadMisc(CTextBuffer& text, CMiscOptions& m)
{
    ReadTextSetting(text, "logFolder", m.logFolder);
    ReadIntegerSetting(text, "generateSiteMap", m.generateSiteMap);
    ReadIntegerSetting(text, "siteMapFormat", m.siteMapFormat);
    ReadFlagSetting(text, "extractEmailAddresses", m.extractEmailAddresses);
    ReadFlagSetting(text, "collectPages", m.collectPages);
    ReadFlagSetting(text, "generateLog", m.generateLog);
    ReadFlagSetting(text, "offsiteLinks", m.offsiteLinks);
    ReadFlagSetting(text, "errorLinks", m.errorLinks);
    ReadIntegerSetting(text, "includeAll", m.includeAll);
    ReadFlagSetting(text, "generateEmail", m.generateEmail);
    ReadListItems(text, "siteMapSuffixes", m.siteMapSuffixes);
    ReadTextSetting(text, "userAgent", m.userAgent);
    ReadTextSetting(text, "mailTo", m.mailTo);
    ReadTextSetting(text, "mailServer", m.mailServer);
    ReadTextSetting(text, "replyTo", m.replyTo);
    ReadTextSetting(text, "startMessage", m.startMessage);
    ReadTextSetting(text, "finishMessage", m.finishMessage);
}

void ReadForm(CTextBuffer& text, CFormOptions& form)
{
    ReadTextSetting(text, "formURL", form.formURL);
    ReadTextSetting(text, "formActionURL", form.formActionURL);
    std::string method;
    if (ReadTextValue(text, "method", method))
        form.method = method == "GET" ? CFormOptions::kMethodGet : CFormOptions::kMethodPost;
    std::string value;
    if (!ReadRawListValue(text, "inputItemList", value)) return;
    form.inputItemList.Clear();
    for (std::string_view entry : SplitListItems(value)) {
        std::vector<std::string> fields = SplitItemFields(entry, 2);
        CInputItem item;
        item.name.AssignView(fields[0]);
        item.value.AssignView(fields[1]);
        form.inputItemList.Append(item);
    }
}

}  // namespace

void CConfiguration::ReadText(CTextBuffer& text)
{
    std::string prepared = text.str();
    PrepareConfigurationText(prepared);
    text.Assign(std::string_view(prepared));
    ReadGeneral(text, mGeneralOptions);
    ReadSiteLogin(text, mSiteLogin);
    mGrabFilters.Read(text);
    mCrawlFilters.Read(text);
    mSaveFilters.Read(text);
    ReadMisc(text, mMiscOptions);
    ReadForm(text, mFormOptions);
}

CStatus CConfiguration::ReadFile(const CFileRef& file)
{
    std::string bytes;
    if (CStatus status = ReadWholeFile(file, bytes); status.Failed()) return status;
    CTextBuffer text{std::string_view(bytes)};
    ReadText(text);
    return {};
}
