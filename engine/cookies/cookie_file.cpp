#include "engine/cookies/cookie_file.h"

#include "platform/plist/plist_xml.h"

int WritePropertyListFile(const PlistValue& plist, const CFileRef& file)
{
    if (!file.IsValid()) return -EINVAL;
    return WritePlistFile(file.Path(), plist, 0600);
}

std::optional<PlistValue> ReadPropertyListFile(const CFileRef& file)
{
    if (!file.IsValid()) return std::nullopt;
    PlistValue plist;
    if (ReadPlistFile(file.Path(), plist) != 0) return std::nullopt;
    return plist;
}
