// One change per field of a configuration, each to a value no default has,
// for the equality and round-trip tests.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/config/configuration.h"
#include "foundation/messaging/four_char_code.h"

using ConfigurationChange = std::pair<std::string, std::function<void(CConfiguration&)>>;

inline void AppendItem(TPooledList<CFixedString255>& list, const char* item) { list.Append(CFixedString255(item)); }

// Changes to every criterion of one filter set; `tag` keeps the three sets apart.
inline void AddFilterChanges(std::vector<ConfigurationChange>& changes, const std::string& setName,
                             CFilterSet CConfiguration::*set, const std::string& tag)
{
    using List = FilterStringList CFilterSet::*;
    const std::pair<const char*, List> lists[] = {
        {"filenameContains", &CFilterSet::filenameContains},
        {"filenameBeginsWith", &CFilterSet::filenameBeginsWith},
        {"filenameEndsWith", &CFilterSet::filenameEndsWith},
        {"suffixIs", &CFilterSet::suffixIs},
        {"mimeContains", &CFilterSet::mimeContains},
        {"pathContains", &CFilterSet::pathContains},
        {"pathBeginsWith", &CFilterSet::pathBeginsWith},
        {"pathEndsWith", &CFilterSet::pathEndsWith},
        {"filenameDoesNotContain", &CFilterSet::filenameDoesNotContain},
        {"filenameDoesNotBeginWith", &CFilterSet::filenameDoesNotBeginWith},
        {"filenameDoesNotEndWith", &CFilterSet::filenameDoesNotEndWith},
        {"suffixIsNot", &CFilterSet::suffixIsNot},
        {"mimeDoesNotContain", &CFilterSet::mimeDoesNotContain},
        {"pathDoesNotContain", &CFilterSet::pathDoesNotContain},
        {"pathDoesNotBeginWith", &CFilterSet::pathDoesNotBeginWith},
        {"pathDoesNotEndWith", &CFilterSet::pathDoesNotEndWith},
        {"contentQuery", &CFilterSet::contentQuery},
    };
    for (const auto& [name, list] : lists) {
        changes.push_back({setName + "." + name, [set, list = list, tag, name = std::string(name)](CConfiguration& c) {
                               AppendItem((c.*set).*list, (tag + "-" + name).c_str());
                               AppendItem((c.*set).*list, "second");
                           }});
    }
    changes.push_back({setName + ".sizeLessThan", [set](CConfiguration& c) { (c.*set).sizeLessThan = 64000; }});
    changes.push_back({setName + ".sizeGreaterThan", [set](CConfiguration& c) { (c.*set).sizeGreaterThan = 0; }});
    changes.push_back({setName + ".afterDate", [set, tag](CConfiguration& c) { (c.*set).afterDate = ("1 Jan 2001 " + tag).c_str(); }});
    changes.push_back({setName + ".beforeDate", [set](CConfiguration& c) { (c.*set).beforeDate = "2030-01-01"; }});
    changes.push_back({setName + ".pathToScript", [set, tag](CConfiguration& c) {
                           (c.*set).pathToScript = ("/home/tester/bin/" + tag + " filter.sh").c_str();
                       }});
    changes.push_back({setName + ".fileTypes", [set](CConfiguration& c) {
                           (c.*set).fileTypes.Append(MakeFourCharCode("PICT"));
                           (c.*set).fileTypes.Append(MakeFourCharCode("JPEG"));
                       }});
}

// Every saved field; the delimiters, which the file does not hold, are not
// among them.
inline std::vector<ConfigurationChange> SavedFieldChanges()
{
    std::vector<ConfigurationChange> changes = {
        {"directoryDepth", [](CConfiguration& c) { c.mGeneralOptions.directoryDepth = 3; }},
        {"linkDepth", [](CConfiguration& c) { c.mGeneralOptions.linkDepth = 4; }},
        {"saveAction", [](CConfiguration& c) { c.mGeneralOptions.saveAction = 2; }},
        {"useRobotsTxt", [](CConfiguration& c) { c.mGeneralOptions.useRobotsTxt = 1; }},
        {"allowSecondaryDomains", [](CConfiguration& c) { c.mGeneralOptions.allowSecondaryDomains = 1; }},
        {"removeJavaScript", [](CConfiguration& c) { c.mGeneralOptions.removeJavaScript = 1; }},
        {"useCookies", [](CConfiguration& c) { c.mGeneralOptions.useCookies = 0; }},
        {"checkFileModificationDates", [](CConfiguration& c) { c.mGeneralOptions.checkFileModificationDates = 1; }},
        {"useServerContentType", [](CConfiguration& c) { c.mGeneralOptions.useServerContentType = 1; }},
        {"ignoreDynamicURLs", [](CConfiguration& c) { c.mGeneralOptions.ignoreDynamicURLs = 1; }},
        {"grabOffsiteURLs", [](CConfiguration& c) { c.mGeneralOptions.grabOffsiteURLs = 1; }},
        {"offsiteHosts", [](CConfiguration& c) {
             c.mGeneralOptions.offsiteHosts = {CFixedString255("cdn.example.test"), CFixedString255("img.example.test")};
         }},
        {"remapURLs", [](CConfiguration& c) { c.mGeneralOptions.remapURLs = 0; }},
        {"remapAllPHP", [](CConfiguration& c) { c.mGeneralOptions.remapAllPHP = 0; }},
        {"relinkURLs", [](CConfiguration& c) { c.mGeneralOptions.relinkURLs = 0; }},
        {"checkForRedirection", [](CConfiguration& c) { c.mGeneralOptions.checkForRedirection = 0; }},
        {"remapSecondaryDomains", [](CConfiguration& c) { c.mGeneralOptions.remapSecondaryDomains = 0; }},
        {"crawlSecondaryDomains", [](CConfiguration& c) { c.mGeneralOptions.crawlSecondaryDomains = 0; }},
        {"setExtensionFromContentType", [](CConfiguration& c) { c.mGeneralOptions.setExtensionFromContentType = 1; }},
        {"alwaysUseExtension", [](CConfiguration& c) { c.mGeneralOptions.alwaysUseExtension = 0; }},
        {"pauseSeconds", [](CConfiguration& c) { c.mGeneralOptions.pauseSeconds = 2; }},
        {"yieldQuantum", [](CConfiguration& c) { c.mGeneralOptions.yieldQuantum = 25; }},
        {"timeout", [](CConfiguration& c) { c.mGeneralOptions.timeout = 45; }},
        {"indexFilename", [](CConfiguration& c) { c.mGeneralOptions.indexFilename = "default.htm"; }},
        {"extension", [](CConfiguration& c) { c.mGeneralOptions.extension = ".htm"; }},
        {"localPath", [](CConfiguration& c) { c.mGeneralOptions.localPath = "/srv/mirror/Café"; }},
        {"host", [](CConfiguration& c) { c.mGeneralOptions.host = "ftp.example.test"; }},
        {"remotePath", [](CConfiguration& c) { c.mGeneralOptions.remotePath = "/pub/site"; }},
        {"name", [](CConfiguration& c) { c.mGeneralOptions.name = "uploader"; }},
        {"password", [](CConfiguration& c) { c.mGeneralOptions.password = "p@ss word"; }},
        {"siteUsername", [](CConfiguration& c) { c.mSiteLogin.siteUsername = "visitor"; }},
        {"sitePassword", [](CConfiguration& c) { c.mSiteLogin.sitePassword = "open sesame"; }},
        {"realmList", [](CConfiguration& c) {
             c.mSiteLogin.realmList.Append({"Members Area", "ann", "a,b\tc"});
             c.mSiteLogin.realmList.Append({"", "", ""});
             c.mSiteLogin.realmList.Append({"Staff", "", "100%25 sure"});
             c.mSiteLogin.realmList.Append({"Staff ", "bob", "%%2c%"});
         }},
        {"formURL", [](CConfiguration& c) { c.mFormOptions.formURL = "http://example.test/login"; }},
        {"formActionURL", [](CConfiguration& c) { c.mFormOptions.formActionURL = "http://example.test/do-login"; }},
        {"inputItemList", [](CConfiguration& c) {
             c.mFormOptions.inputItemList.Append({"user", "ann"});
             c.mFormOptions.inputItemList.Append({"empty", ""});
             c.mFormOptions.inputItemList.Append({"", "no name"});
             c.mFormOptions.inputItemList.Append({"list", "1,2\t3 %09"});
         }},
        {"method", [](CConfiguration& c) { c.mFormOptions.method = CFormOptions::kMethodGet; }},
        {"logFolder", [](CConfiguration& c) { c.mMiscOptions.logFolder = "/var/log/tidewell"; }},
        {"generateSiteMap", [](CConfiguration& c) { c.mMiscOptions.generateSiteMap = 1; }},
        {"siteMapFormat", [](CConfiguration& c) { c.mMiscOptions.siteMapFormat = 2; }},
        {"extractEmailAddresses", [](CConfiguration& c) { c.mMiscOptions.extractEmailAddresses = 1; }},
        {"collectPages", [](CConfiguration& c) { c.mMiscOptions.collectPages = 1; }},
        {"generateLog", [](CConfiguration& c) { c.mMiscOptions.generateLog = 1; }},
        {"offsiteLinks", [](CConfiguration& c) { c.mMiscOptions.offsiteLinks = 1; }},
        {"errorLinks", [](CConfiguration& c) { c.mMiscOptions.errorLinks = 1; }},
        {"generateEmail", [](CConfiguration& c) { c.mMiscOptions.generateEmail = 1; }},
        {"siteMapSuffixes", [](CConfiguration& c) {
             AppendItem(c.mMiscOptions.siteMapSuffixes, ".html");
             AppendItem(c.mMiscOptions.siteMapSuffixes, ".php");
         }},
        {"includeAll", [](CConfiguration& c) { c.mMiscOptions.includeAll = 0; }},
        {"userAgent", [](CConfiguration& c) { c.mMiscOptions.userAgent = "Mozilla/5.0 (compatible; tester)"; }},
        {"mailTo", [](CConfiguration& c) { c.mMiscOptions.mailTo = "ann@example.test"; }},
        {"mailServer", [](CConfiguration& c) { c.mMiscOptions.mailServer = "smtp.example.test"; }},
        {"replyTo", [](CConfiguration& c) { c.mMiscOptions.replyTo = "noreply@example.test"; }},
        {"startMessage", [](CConfiguration& c) { c.mMiscOptions.startMessage = "Starting\r\nline two\rline three\n"; }},
        {"finishMessage", [](CConfiguration& c) {
             c.mMiscOptions.finishMessage = "Klart på\rРабота закончена, Х\r\n完成了\r";
         }},
    };
    AddFilterChanges(changes, "grab", &CConfiguration::mGrabFilters, "grab");
    AddFilterChanges(changes, "crawl", &CConfiguration::mCrawlFilters, "crawl");
    AddFilterChanges(changes, "save", &CConfiguration::mSaveFilters, "save");
    return changes;
}
