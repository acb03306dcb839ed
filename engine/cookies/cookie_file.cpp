#include "engine/cookies/cookie_file.h"

#include "platform/plist/plist_xml.h"

CStatus WritePropertyListFile(const PlistValue& plist, const CFileRef& file)
{
    return CStatus::FromCode(file.IsValid() ? WritePlistFile(file.Path(), plist, 0600) : -EINVAL);
}

std::optional<PlistValue> ReadPropertyListFile(const CFileRef& file)
{
    PlistValue plist;
    if (ReadPropertyListFile(file, plist).Failed()) return std::nullopt;
    return plist;
}

CStatus ReadPropertyListFile(const CFileRef& file, PlistValue& plist)
{
    const int status = file.IsValid() ? ReadPlistFile(file.Path(), plist) : -EINVAL;
    if (status == kCookieFileMalformed) return CStatus::Failure(status, "not a cookie file");
    return CStatus::FromCode(status);
}
