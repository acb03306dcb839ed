#include "foundation/mirror/local_file_types.h"

#include <cerrno>
#include <string>

#include "platform/xattr/item_attributes.h"

bool GetMIMETypeForFile(const CFileRef& file, CFixedString255& mimeType, const MimeTypeForExtension& lookup)
{
    std::string_view extension = file.Extension();
    if (extension.empty() || !lookup) return false;
    std::string key = ".";
    key.append(extension);
    CFixedString255 found;
    if (!lookup(key.c_str(), found)) return false;
    mimeType = found;
    return true;
}

CStatus GetFileTypeAndCreator(const CFileRef& file, std::uint32_t& type, std::uint32_t& creator)
{
    type = 0;
    creator = 0;
    if (!file.IsValid()) return CStatus::FromCode(-EINVAL);
    int typeStatus = ReadItemCode(file.c_str(), kFileTypeAttribute, type);
    if (typeStatus != 0) type = 0;
    int creatorStatus = ReadItemCode(file.c_str(), kFileCreatorAttribute, creator);
    if (creatorStatus != 0) creator = 0;
    return CStatus::FromCode(typeStatus != 0 ? typeStatus : creatorStatus);
}

bool GetMIMETypeForTypeCreator(const CFileRef& file, CFixedString255& mimeType,
                               std::span<const CTypeCreatorMapping> mappings)
{
    std::uint32_t type = 0;
    std::uint32_t creator = 0;
    if (!file.IsValid() || ReadItemCode(file.c_str(), kFileTypeAttribute, type) != 0) return false;
    if (ReadItemCode(file.c_str(), kFileCreatorAttribute, creator) != 0) creator = 0;
    for (const CTypeCreatorMapping& mapping : mappings) {
        if (mapping.fileType != type || mapping.mimeType.empty()) continue;
        mimeType.AssignView(mapping.mimeType);
        if (mapping.fileCreator == creator) return true;
    }
    return false;
}
