// The preferences a crawl consults, read once when it starts: a crawl
// never reads the preference store per URL or per link.
#pragma once

#include <cstdint>
#include <string>

struct CCrawlPreferences {
    bool allowSecondaryDomains = true;  // "Allow Secondary Domains" (on unless "false")
    bool grabOffsiteURLs = true;        // "Grab Offsite URLs" (on unless "false")
    bool generateSitemap = false;       // "GenerateSitemap" ("true")
    bool loadURLsFromDisk = true;       // "Load URLs from disk" (on unless "false")
    bool preview = false;               // "Preview" ("true")
    std::int32_t previewIn = 1;         // "Preview In"
    bool mediaRelinkAndRemap = false;   // "Media Grabber Relink and Remap" ("true")
    std::int32_t messageRetries = 0;    // the settings' "Message Retries"
    std::int32_t retryInterval = 10;    // the settings' "Message Retries Interval", seconds
    bool createAliases = false;         // the settings' "Create Aliases"
    std::string aliasesFolder;          // "Aliases Folder Location"; empty: the crawl's download folder
    // "Maximum Page Size For Links", in MiB (a positive decimal; 64 when
    // absent): a larger body is saved as it came, without looking for its
    // links, so a crawl's memory stays bounded whatever the pages.
    std::uint64_t maxPageBytesForLinks = kDefaultMaxPageMiBForLinks << 20;

    static constexpr std::uint64_t kDefaultMaxPageMiBForLinks = 64;

    // Reads them all from the store and the settings object.
    static CCrawlPreferences Read();
};

// The four switches of the preferences window, read the same way wherever
// they are consulted: on unless the stored text is "false" (missing: on).
[[nodiscard]] bool GetGenerateLogPreference();
[[nodiscard]] bool GetAllowSecondaryDomainsPreference();
[[nodiscard]] bool GetGrabOffsiteURLsPreference();
[[nodiscard]] bool GetURLsFromDiskPreference();
