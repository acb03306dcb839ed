// Puts the process into a time zone and an LC_TIME locale for one test and
// restores both afterwards.
#pragma once

#include <string>

class CZoneAndLocale {
public:
    // `zone` is a TZ value ("" leaves TZ alone); `locale` an LC_TIME name
    // ("" leaves the locale alone).
    CZoneAndLocale(const std::string& zone, const std::string& locale);
    ~CZoneAndLocale();
    CZoneAndLocale(const CZoneAndLocale&) = delete;
    CZoneAndLocale& operator=(const CZoneAndLocale&) = delete;

    bool LocaleSet() const { return mLocaleSet; }

private:
    bool mHadZone = false;
    std::string mOldZone;
    std::string mOldLocale;
    bool mLocaleSet = false;
};

// The name of a non-English, non-C LC_TIME locale that setlocale accepts, making one with
// localedef under `scratchFolder` (and pointing LOCPATH at it) when none is
// installed. Empty, with `why` telling the reason, when neither works.
std::string FindNonCTimeLocale(const std::string& scratchFolder, std::string& why);
