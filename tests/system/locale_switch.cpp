#include "tests/system/locale_switch.h"

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>

#include "tests/support/peer_process.h"

CZoneAndLocale::CZoneAndLocale(const std::string& zone, const std::string& locale)
{
    if (const char* old = std::getenv("TZ")) {
        mHadZone = true;
        mOldZone = old;
    }
    if (!zone.empty()) {
        setenv("TZ", zone.c_str(), 1);
        tzset();
    }
    mOldLocale = std::setlocale(LC_TIME, nullptr);
    if (!locale.empty()) mLocaleSet = std::setlocale(LC_TIME, locale.c_str()) != nullptr;
}

CZoneAndLocale::~CZoneAndLocale()
{
    if (mHadZone) setenv("TZ", mOldZone.c_str(), 1);
    else unsetenv("TZ");
    tzset();
    std::setlocale(LC_TIME, mOldLocale.c_str());
}

std::string FindNonCTimeLocale(const std::string& scratchFolder, std::string& why)
{
    std::string old = std::setlocale(LC_TIME, nullptr);
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "es_ES.UTF-8", "it_IT.UTF-8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_TIME, name) != nullptr) {
            std::setlocale(LC_TIME, old.c_str());
            return name;
        }
    }
    // None installed: compile one for this test only.
    struct stat info;
    if (::stat("/usr/bin/localedef", &info) != 0 || ::stat("/usr/share/i18n/locales/de_DE", &info) != 0) {
        why = "no non-C locale is installed and localedef or its de_DE source is missing";
        return "";
    }
    std::string target = scratchFolder + "/de_DE.UTF-8";
    int status = testsupport::RunProgram({"/usr/bin/localedef", "-i", "de_DE", "-f", "UTF-8", target},
                                         scratchFolder + "/localedef.log", std::chrono::seconds(60));
    // localedef exits 1 for mere warnings; the locale is usable when it exists.
    (void)status;
    setenv("LOCPATH", scratchFolder.c_str(), 1);
    if (std::setlocale(LC_TIME, "de_DE.UTF-8") == nullptr) {
        unsetenv("LOCPATH");
        why = "no non-C locale is installed and localedef could not make de_DE.UTF-8";
        return "";
    }
    std::setlocale(LC_TIME, old.c_str());
    return "de_DE.UTF-8";
}
