// The version list the product's web site publishes ("ProductVersions.plist")
// and what a check makes of it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct CUpdateInfo {
    std::string downloadLocation;      // "DownloadLocation"; empty when not a string
    std::string releaseNotesLocation;  // "ReleaseNotesLocation"
    std::int32_t currentVersion = 0;   // "CurrentVersion"
};

// The outcome of a check, as the windows show it.
enum class EVersionCheck : int { kUpToDate = 1, kUpdateAvailable = 2, kFailed = 3 };

// True when `body` is a property list whose root holds, under "Tidewell", a
// dictionary with an integral "CurrentVersion" that fits 32 bits and a string
// "ReleaseNotesLocation"; `info` is filled then.
bool ParseVersionList(CUpdateInfo& info, std::string_view body);

// A version text without its dots, read as a decimal number up to the first
// other character ("2.1" is 21; 0 when it starts with none).
std::int64_t VersionNumber(std::string_view versionText);

// A version number as users read it: its digits joined by dots, the form
// whose dots VersionNumber drops (11 is "1.1", 210 is "2.1.0", 7 is "7").
std::string VersionText(std::int32_t version);

// Up to date or update available, comparing the own version text.
EVersionCheck CompareVersions(std::string_view ownVersion, const CUpdateInfo& info);
