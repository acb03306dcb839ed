#include "foundation/settings/app_settings.h"

#include <string>

#include "foundation/settings/preference_accessors.h"
#include "foundation/settings/user_folders.h"
#include "foundation/system/bundle_info.h"
#include "foundation/system/file_name_mappings.h"
#include "foundation/text/text_buffer.h"
#include "foundation/text/text_encodings.h"

CAppSettings* gAppSettings = nullptr;

CAppSettings::CAppSettings()
{
    mUserAgent = kApplicationName;
    LoadFileMappings();
    // The file-type table is the compiled-in one, so text buffers can ask it
    // directly without depending on this object.
    SetKnownExtensionTest([](const char* dotExtension) { return FindFileNameMapping(dotExtension) != nullptr; });

    mNetworkTimeout = GetNetworkTimeout();
    mMessageRetries = GetMessageRetries();
    mMessageRetriesInterval = GetMessageRetriesInterval();
    mAutoRedirect = ShouldAutoRedirect();

    mHelpTags = IsPreferenceNotFalse("Display Help Tags");
    mCreateAliases = IsPreferenceNotFalse("Create Aliases");

    std::string entities;
    if (LoadNamedTextResource("ISO8559", entities)) mEntityTable = std::make_unique<CEntityTable>(entities);

    GetApplicationFolder(mApplicationFolderPath, mApplicationPath);
    mSupportFolderPath = DataHomeFolder() + "/" + kMakerFolderName + "/" + kProductFolderName;
    mConfigurationsFolderPath = mSupportFolderPath + "/Configurations";
    mDownloadFolderPath = UserDownloadFolder();

    for (const auto* node : FormEscapeTable().Order()) {
        mCharToEscape.Insert(node->key, node->value);
        if (!node->value.IsEmpty()) mEscapeToChar.Insert(node->value, node->key);
    }

    LoadMailSettings();
    OpenLog();
}

CAppSettings::~CAppSettings() { CloseLog(); }

void CAppSettings::LoadFileMappings()
{
    for (const FileNameMapping& mapping : FileNameMappings()) {
        if (!mapping.IsEmpty()) mFileTypeTable.Insert(CFixedString255(mapping.extension), mapping);
    }
}

bool CAppSettings::MakeQueueFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string base = (runtime != nullptr && runtime[0] == '/') ? std::string(runtime) : CacheHomeFolder();
    std::string folder = base + "/tidewell/FTP Queue";
    if (MakeFolderChain(folder, 0700).Failed()) return false;
    mQueueFolderPath = folder;
    return true;
}

void CAppSettings::OpenLog()
{
    mLog.reset();
    std::string folder;
    if (!GetLogFolder(folder)) return;
    mSupportFolderPath = folder;
    mLog = std::make_unique<CLogHolder>(kApplicationLogRotateBytes);
    (void)StartLogging(mLog.get(), (folder + "/" + kApplicationLogName).c_str());
}

void CAppSettings::CloseLog()
{
    if (!mLog) return;
    (void)StopLogging(mLog.get());
    mLog.reset();
}
