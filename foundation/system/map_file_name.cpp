#include "foundation/system/map_file_name.h"

SystemStatus MapFileNameToMIMEType(const char* fileName, CFixedString255& mimeType)
{
    if (fileName == nullptr) return kSysBadParameter;
    const FileNameMapping* entry = FindFileNameMappingForName(fileName);
    if (entry == nullptr) return kSysNoMapping;
    mimeType = entry->mimeType;
    return kSysNoError;
}

SystemStatus MapFileNameToTypeCreator(const char* fileName, TypeCode& type, TypeCode& creator)
{
    if (fileName == nullptr) return kSysBadParameter;
    const FileNameMapping* entry = FindFileNameMappingForName(fileName);
    if (entry == nullptr) return kSysNoMapping;
    type = entry->type;
    creator = entry->creator;
    return kSysNoError;
}
