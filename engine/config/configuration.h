// CConfiguration: one named set of rules for a grab, and its parts.
//
// A plain record: the crawl reads it, the editor keeps a saved and a working
// copy and compares them, and each grab gets its own copy. A newly built
// record is the built-in configuration "Default". Its text form is written
// and read below; its files are configuration_files.h's.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/filters/filter_set.h"
#include "foundation/containers/pooled_list.h"
#include "foundation/errors/status.h"
#include "foundation/files/file_ref.h"
#include "foundation/text/fixed_string.h"
#include "foundation/text/text_buffer.h"

// Crawl depth, site, saving and post-processing options. Flags are 0 or 1.
struct CGeneralOptions {
    // The download folder and the "Check File Modification Dates" preference
    // are read from the settings when the record is built.
    CGeneralOptions();
    bool operator==(const CGeneralOptions& other) const = default;

    std::int32_t directoryDepth = 99;
    std::int32_t linkDepth = 99;  // number of levels
    std::int32_t saveAction = 1;
    std::uint8_t useRobotsTxt = 0;  // kept and saved only
    std::uint8_t allowSecondaryDomains = 0;
    std::uint8_t removeJavaScript = 0;
    std::uint8_t useCookies = 1;
    std::uint8_t checkFileModificationDates = 0;
    std::uint8_t useServerContentType = 0;
    std::uint8_t ignoreDynamicURLs = 0;
    std::uint8_t grabOffsiteURLs = 0;
    // The allowed offsite hosts, in order.
    std::vector<CFixedString255> offsiteHosts;
    std::uint8_t remapURLs = 1;
    std::uint8_t remapAllPHP = 1;
    std::uint8_t relinkURLs = 1;
    std::uint8_t checkForRedirection = 1;
    std::uint8_t remapSecondaryDomains = 1;
    std::uint8_t crawlSecondaryDomains = 1;
    std::uint8_t setExtensionFromContentType = 0;
    std::uint8_t alwaysUseExtension = 1;
    std::int32_t pauseSeconds = 0;
    std::int32_t yieldQuantum = 10;
    std::int32_t timeout = 30;  // seconds
    CFixedString255 indexFilename = "Index.html";
    CFixedString255 extension = ".html";
    // Where the mirror is written: a folder path as long as the desktop's
    // folder chooser gives, since a cut path names another folder.
    CFixedString1024 localPath;
    CFixedString255 host;
    CFixedString255 remotePath;
    CFixedString255 name;
    CFixedString255 password;
};

// A pair of texts that brackets a link in HTML.
struct CDelimiter {
    CDelimiter() = default;
    CDelimiter(const char* startText, const char* endText, std::uint8_t isEnabled)
        : start(startText), end(endText), enabled(isEnabled)
    {
    }
    bool operator==(const CDelimiter& other) const = default;

    CFixedString255 start;
    CFixedString255 end;
    std::uint8_t enabled = 1;
};

struct CRealm {
    bool operator==(const CRealm& other) const = default;

    CFixedString255 realm;
    CFixedString255 userName;
    CFixedString255 password;
};

struct CSiteLogin {
    bool operator==(const CSiteLogin& other) const;

    // The first entry whose realm equals `realm` exactly gives its user name
    // and password; false, with both left as they were, when none does.
    [[nodiscard]] bool FindRealm(const char* realm, CFixedString255& userName, CFixedString255& password) const;

    CFixedString255 siteUsername;
    CFixedString255 sitePassword;
    TPooledList<CRealm> realmList;
};

struct CInputItem {
    bool operator==(const CInputItem& other) const = default;

    CFixedString255 name;
    CFixedString255 value;
};

// The form submitted before the crawl starts.
struct CFormOptions {
    static constexpr std::int32_t kMethodPost = 1;
    static constexpr std::int32_t kMethodGet = 2;

    bool operator==(const CFormOptions& other) const;

    CFixedString255 formURL;
    CFixedString255 formActionURL;
    TPooledList<CInputItem> inputItemList;
    std::int32_t method = kMethodPost;
};

// The logging, report and mail options.
struct CMiscOptions {
    // The log folder and the user agent are read from the settings when the
    // record is built.
    CMiscOptions();
    bool operator==(const CMiscOptions& other) const;

    CFixedString255 logFolder;
    std::int32_t generateSiteMap = 0;
    std::int32_t siteMapFormat = 1;
    std::uint8_t extractEmailAddresses = 0;
    std::uint8_t collectPages = 0;
    std::uint8_t generateLog = 0;
    std::uint8_t offsiteLinks = 0;
    std::uint8_t errorLinks = 0;
    std::uint8_t generateEmail = 0;
    TPooledList<CFixedString255> siteMapSuffixes;
    std::int32_t includeAll = 1;
    CFixedString255 userAgent;
    CFixedString255 mailTo;
    CFixedString255 mailServer;
    CFixedString255 replyTo;
    CTextBuffer startMessage{"Tidewell is starting to crawl."};
    CTextBuffer finishMessage{"Tidewell has finished a crawl."};
};

// The fifteen link delimiters every configuration carries.
void MakeDefaultDelimiters(TPooledList<CDelimiter>& delimiters);
// The crawl filter set of a new configuration: text pages and style, script
// and feed files are crawled; layered images, disk images and media files
// are not.
void MakeDefaultCrawlFilters(CFilterSet& filters);

class CConfiguration {
public:
    // The built-in "Default": every default above, the fifteen delimiters,
    // the default crawl filters, empty grab and save filters.
    CConfiguration();

    [[nodiscard]] bool IsEqual(const CConfiguration& other) const;
    friend bool operator==(const CConfiguration& a, const CConfiguration& b) { return a.IsEqual(b); }

    // Text form --------------------------------------------------------------------
    // Appends every setting: general, site login, grab, crawl and save
    // filters, misc, form. The delimiters are not part of it.
    void WriteText(CTextBuffer& out) const;
    // Reads the settings in the same order, consuming the lines it takes,
    // after preparing the text (configuration_file_text.h: NULs, old MacRoman
    // files, returns inside values). Fields whose keys are missing keep their
    // values; values that would stall the crawl are held to the nearest
    // sound one.
    void ReadText(CTextBuffer& text);
    // The printable summary.
    void MakeSummary(CTextBuffer& out) const;

    // Files ------------------------------------------------------------------------
    // Replaces the file's whole content by the text (temporary file, then
    // rename), mode 0600. On failure its code is a negative errno value.
    CStatus WriteFile(const CFileRef& file) const;
    // Reads the whole file with ReadText. On failure (a negative errno code)
    // the record is left as it was.
    CStatus ReadFile(const CFileRef& file);
    // Saves under a configuration name (configuration_files.h): -EPERM for
    // "Default", which has no file; the caller shows its alert.
    CStatus Save(std::string_view configurationName) const;

    CGeneralOptions mGeneralOptions;
    TPooledList<CDelimiter> mDelimiters;
    CSiteLogin mSiteLogin;
    CFormOptions mFormOptions;
    CFilterSet mGrabFilters;
    CFilterSet mCrawlFilters;
    CFilterSet mSaveFilters;
    CMiscOptions mMiscOptions;
};
