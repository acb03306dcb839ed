#include "engine/cookies/cookie_file.h"

#include "platform/plist/plist_xml.h"

int WritePropertyListFile(const PlistValue& plist, const CFileRef& file)
{
    if (!file.IsValid()) return -EINVAL;
    return WritePlistFile(file.Path(), plist, 0600);
}

std::optional<PlistValue> ReadPropertyListFile(const CFileRef& file)
{
    PlistValue plist;
    if (ReadPropertyListFile(file, plist) != 0) return std::nullopt;
    return plist;
}

int ReadPropertyListFile(const CFileRef& file, PlistValue& plist)
{
    return file.IsValid() ? ReadPlistFile(file.Path(), plist) : -EINVAL;
}
