#include "foundation/system/internet_config.h"

#include <cerrno>

#include "platform/launch/program_launcher.h"

CInternetConfig::CInternetConfig(TypeCode creator) : mCreator(creator) {}

CInternetConfig::~CInternetConfig()
{
    (void)Stop();
}

SystemStatus CInternetConfig::Start()
{
    mStarted = true;
    return kSysNoError;
}

SystemStatus CInternetConfig::Stop()
{
    if (mMappingOpen) (void)EndMapping();
    mStarted = false;
    return kSysNoError;
}

SystemStatus CInternetConfig::LaunchURL(std::string_view url)
{
    if (!mStarted) return kSysNotStarted;
    int error = OpenWithDesktop(url);
    if (error == 0) return kSysNoError;
    return error == -EINVAL ? kSysBadParameter : kSysLaunchFailed;
}

SystemStatus CInternetConfig::BeginMapping()
{
    if (!mStarted) return kSysNotStarted;
    mNextIndex = 1;
    mEntryCount = static_cast<std::int32_t>(FileNameMappings().size());
    mMappingOpen = true;
    return kSysNoError;
}

bool CInternetConfig::NextMapEntry(FileNameMapping& entry)
{
    if (!mStarted || !mMappingOpen || mNextIndex > mEntryCount) return false;
    entry = FileNameMappings()[static_cast<std::size_t>(mNextIndex - 1)];
    ++mNextIndex;
    return true;
}

SystemStatus CInternetConfig::EndMapping()
{
    if (!mStarted || !mMappingOpen) return kSysNotStarted;
    mMappingOpen = false;
    mEntryCount = 0;
    return kSysNoError;
}
