#include "foundation/files/file.h"

#include <cerrno>

#include "platform/xattr/item_attributes.h"

int CFile::SetFileType(const CFileRef& file, std::uint32_t type)
{
    return file.IsValid() ? WriteItemCode(file.c_str(), kFileTypeAttribute, type) : -EINVAL;
}

int CFile::SetFileCreator(const CFileRef& file, std::uint32_t creator)
{
    return file.IsValid() ? WriteItemCode(file.c_str(), kFileCreatorAttribute, creator) : -EINVAL;
}

int CFile::SetFinderComment(const CFileRef& file, const char* comment)
{
    if (!file.IsValid() || comment == nullptr) return -EINVAL;
    return WriteItemAttribute(file.c_str(), kCommentAttribute, comment);
}

int CFile::SetOriginURL(const CFileRef& file, const char* url)
{
    if (!file.IsValid() || url == nullptr) return -EINVAL;
    return WriteItemAttribute(file.c_str(), kOriginURLAttribute, url);
}

int CFile::GetFinderComment(const CFileRef& file, std::string& comment)
{
    if (!file.IsValid()) return -EINVAL;
    std::string text;
    int status = ReadItemAttribute(file.c_str(), kCommentAttribute, text);
    if (status == 0 && !text.empty()) comment = std::move(text);
    return status;
}

int CFile::GetFinderComment(const CFileRef& file, CFixedString255& comment)
{
    std::string text;
    int status = GetFinderComment(file, text);
    if (status != 0 || text.empty()) return status;
    if (text.size() > CFixedString255::kCapacity) return -ERANGE;
    comment.AssignView(text);
    return 0;
}
