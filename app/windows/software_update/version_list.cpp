#include "app/windows/software_update/version_list.h"

#include <cmath>
#include <limits>

#include "platform/plist/plist_xml.h"

namespace {

constexpr const char* kProductKey = "Tidewell";

}  // namespace

bool ParseVersionList(CUpdateInfo& info, std::string_view body)
{
    const std::optional<PlistValue> root = ParsePlist(body);
    if (!root || !root->IsDictionary()) return false;
    const PlistValue* product = root->Find(kProductKey);
    if (product == nullptr || !product->IsDictionary()) return false;

    const PlistValue* version = product->Find("CurrentVersion");
    const PlistValue* notes = product->Find("ReleaseNotesLocation");
    if (version == nullptr || notes == nullptr || !notes->IsString()) return false;
    std::int64_t number = 0;
    if (version->IsInteger()) {
        number = version->Integer();
    } else if (version->GetKind() == PlistValue::Kind::kReal) {
        const double real = version->Real();
        if (!std::isfinite(real) || std::trunc(real) != real) return false;
        if (real < std::numeric_limits<std::int32_t>::min() || real > std::numeric_limits<std::int32_t>::max())
            return false;
        number = static_cast<std::int64_t>(real);
    } else {
        return false;
    }
    if (number < std::numeric_limits<std::int32_t>::min() || number > std::numeric_limits<std::int32_t>::max())
        return false;

    info.currentVersion = static_cast<std::int32_t>(number);
    info.releaseNotesLocation = notes->Text();
    const PlistValue* download = product->Find("DownloadLocation");
    info.downloadLocation = download != nullptr && download->IsString() ? download->Text() : std::string();
    return true;
}

std::int64_t VersionNumber(std::string_view versionText)
{
    std::int64_t number = 0;
    for (char c : versionText) {
        if (c == '.') continue;
        if (c < '0' || c > '9') break;
        if (number > (std::numeric_limits<std::int64_t>::max() - 9) / 10) break;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::string VersionText(std::int32_t version)
{
    // A negative number has no dotted form: shown as it is.
    if (version < 0) return std::to_string(version);
    std::string text;
    for (char digit : std::to_string(version)) {
        if (!text.empty()) text += '.';
        text += digit;
    }
    return text;
}

EVersionCheck CompareVersions(std::string_view ownVersion, const CUpdateInfo& info)
{
    return VersionNumber(ownVersion) < info.currentVersion ? EVersionCheck::kUpdateAvailable
                                                           : EVersionCheck::kUpToDate;
}
