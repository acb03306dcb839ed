#include "foundation/files/file.h"

#include <cerrno>

#include "platform/xattr/item_attributes.h"

CStatus CFile::SetFileType(const CFileRef& file, std::uint32_t type)
{
    return CStatus::FromCode(file.IsValid() ? WriteItemCode(file.c_str(), kFileTypeAttribute, type) : -EINVAL);
}

CStatus CFile::SetFileCreator(const CFileRef& file, std::uint32_t creator)
{
    return CStatus::FromCode(file.IsValid() ? WriteItemCode(file.c_str(), kFileCreatorAttribute, creator) : -EINVAL);
}

CStatus CFile::SetFinderComment(const CFileRef& file, const char* comment)
{
    if (!file.IsValid() || comment == nullptr) return CStatus::FromCode(-EINVAL);
    return CStatus::FromCode(WriteItemAttribute(file.c_str(), kCommentAttribute, comment));
}

CStatus CFile::SetOriginURL(const CFileRef& file, const char* url)
{
    if (!file.IsValid() || url == nullptr) return CStatus::FromCode(-EINVAL);
    return CStatus::FromCode(WriteItemAttribute(file.c_str(), kOriginURLAttribute, url));
}

CStatus CFile::GetFinderComment(const CFileRef& file, std::string& comment)
{
    if (!file.IsValid()) return CStatus::FromCode(-EINVAL);
    std::string text;
    int status = ReadItemAttribute(file.c_str(), kCommentAttribute, text);
    if (status == 0 && !text.empty()) comment = std::move(text);
    return CStatus::FromCode(status);
}

CStatus CFile::GetFinderComment(const CFileRef& file, CFixedString255& comment)
{
    std::string text;
    CStatus status = GetFinderComment(file, text);
    if (status.Failed() || text.empty()) return status;
    if (text.size() > CFixedString255::kCapacity) return CStatus::FromCode(-ERANGE);
    comment.AssignView(text);
    return {};
}
