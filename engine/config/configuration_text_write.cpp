// The configuration's text: every setting line in the file's order, and the
// printable summary, which describes the same settings in the same order.
#include <string>

#include "engine/config/configuration.h"
#include "engine/config/list_item_fields.h"
#include "foundation/text/key_value_lines.h"

namespace {

// Writes setting lines, or description lines for the summary.
class CSettingWriter {
public:
    CSettingWriter(CTextBuffer& out, bool describe) : mOut(out), mDescribe(describe) {}

    void Text(const char* key, const char* value)
    {
        mDescribe ? DescribeSetting(mOut, key, value) : WriteSetting(mOut, key, value);
    }
    template <std::size_t N>
    void Text(const char* key, const CFixedString<N>& value)
    {
        Text(key, value.c_str());
    }
    void Message(const char* key, const CTextBuffer& value)
    {
        mDescribe ? DescribeSetting(mOut, key, value) : WriteSetting(mOut, key, value);
    }
    void Integer(const char* key, std::int32_t value)
    {
        mDescribe ? DescribeSetting(mOut, key, value) : WriteSetting(mOut, key, value);
    }
    void List(const char* key, const TPooledList<CFixedString255>& list)
    {
        mDescribe ? DescribeListSetting(mOut, key, list) : WriteListSetting(mOut, key, list);
    }
    // Items already joined into one value (realm and input items, which are
    // not cut to 255 bytes as a whole).
    void JoinedList(const char* key, const std::string& value) { Message(key, CTextBuffer(std::string_view(value))); }
    void Filters(const CFilterSet& filters) { mDescribe ? filters.Describe(mOut) : filters.Write(mOut); }
    void Heading(const char* heading)
    {
        if (mDescribe) mOut.Append(heading);
    }

private:
    CTextBuffer& mOut;
    bool mDescribe;
};

void WriteGeneral(CSettingWriter& w, const CGeneralOptions& g)
{
    w.Integer("directoryDepth", g.directoryDepth);
    w.Integer("linkDepth", g.linkDepth);
    w.Integer("saveAction", g.saveAction);
    w.Integer("useRobotsTxt", g.useRobotsTxt);
    w.Integer("allowSecondaryDomains", g.allowSecondaryDomains);
    w.Integer("removeJavaScript", g.removeJavaScript);
    w.Integer("useCookies", g.useCookies);
    w.Integer("checkFileModificationDates", g.checkFileModificationDates);
    w.Integer("useServerContentType", g.useServerContentType);
    w.Integer("ignoreDynamicURLs", g.ignoreDynamicURLs);
    w.Integer("grabOffsiteURLs", g.grabOffsiteURLs);
    TPooledList<CFixedString255> hosts;
    for (const CFixedString255& host : g.offsiteHosts) hosts.Append(host);
    w.List("offsiteHosts", hosts);
    w.Integer("remapURLs", g.remapURLs);
    w.Integer("remapAllPHP", g.remapAllPHP);
    w.Integer("relinkURLs", g.relinkURLs);
    w.Integer("checkForRedirection", g.checkForRedirection);
    w.Integer("remapSecondaryDomains", g.remapSecondaryDomains);
    w.Integer("crawlSecondaryDomains", g.crawlSecondaryDomains);
    w.Integer("setExtensionFromContentType", g.setExtensionFromContentType);
    w.Integer("alwaysUseExtension", g.alwaysUseExtension);
    w.Integer("pauseSeconds", g.pauseSeconds);
    w.Integer("yieldQuantum", g.yieldQuantum);
    w.Integer("timeout", g.timeout);
    w.Text("indexFilename", g.indexFilename);
    w.Text("extension", g.extension);
    w.Text("localPath", g.localPath);
    w.Text("remotePath", g.remotePath);
    w.Text("host", g.host);
    w.Text("name", g.name);
    w.Text("password", g.password);
}

std::string JoinedRealms(const TPooledList<CRealm>& realms)
{
    std::string value;
    for (const CRealm& realm : realms) {
        if (!value.empty()) value += ',';
        value += JoinItemFields({realm.realm.View(), realm.userName.View(), realm.password.View()});
    }
    return value;
}

std::string JoinedInputItems(const TPooledList<CInputItem>& items)
{
    std::string value;
    for (const CInputItem& item : items) {
        if (!value.empty()) value += ',';
        value += JoinItemFields({item.name.View(), item.value.View()});
    }
    return value;
}

void WriteSiteLogin(CSettingWriter& w, const CSiteLogin& login)
{
    w.Text("siteUsername", login.siteUsername);
    w.Text("sitePassword", login.sitePassword);
    w.JoinedList("realmList", JoinedRealms(login.realmList));
}

void WriteMisc(CSettingWriter& w, const CMiscOptions& m)
{
    w.Text("logFolder", m.logFolder);
    w.Integer("generateSiteMap", m.generateSiteMap);
    w.Integer("siteMapFormat", m.siteMapFormat);
    w.Integer("extractEmailAddresses", m.extractEmailAddresses);
    w.Integer("collectPages", m.collectPages);
    w.Integer("generateLog", m.generateLog);
    w.Integer("offsiteLinks", m.offsiteLinks);
    w.Integer("errorLinks", m.errorLinks);
    w.Integer("includeAll", m.includeAll);
    w.Integer("generateEmail", m.generateEmail);
    w.List("siteMapSuffixes", m.siteMapSuffixes);
    w.Text("userAgent", m.userAgent);
    w.Text("mailTo", m.mailTo);
    w.Text("mailServer", m.mailServer);
    w.Text("replyTo", m.replyTo);
    w.Message("startMessage", m.startMessage);
    w.Message("finishMessage", m.finishMessage);
}

void WriteForm(CSettingWriter& w, const CFormOptions& form)
{
    w.Text("formURL", form.formURL);
    w.Text("formActionURL", form.formActionURL);
    w.Text("method", form.method == CFormOptions::kMethodGet ? "GET" : "POST");
    w.JoinedList("inputItemList", JoinedInputItems(form.inputItemList));
}

void WriteAll(CSettingWriter& w, const CConfiguration& c)
{
    w.Heading("General\r\r");
    WriteGeneral(w, c.mGeneralOptions);
    WriteSiteLogin(w, c.mSiteLogin);
    w.Heading("Grab filters\r\r");
    w.Filters(c.mGrabFilters);
    w.Heading("Crawl filters\r\r");
    w.Filters(c.mCrawlFilters);
    w.Heading("Save filters\r\r");
    w.Filters(c.mSaveFilters);
    w.Heading("Miscellaneous\r\r");
    WriteMisc(w, c.mMiscOptions);
    w.Heading("Input Items\r\r");
    WriteForm(w, c.mFormOptions);
}

}  // namespace

void CConfiguration::WriteText(CTextBuffer& out) const
{
    CSettingWriter writer(out, false);
    WriteAll(writer, *this);
}

void CConfiguration::MakeSummary(CTextBuffer& out) const
{
    CSettingWriter writer(out, true);
    WriteAll(writer, *this);
}
