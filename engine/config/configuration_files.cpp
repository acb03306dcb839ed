#include "engine/config/configuration_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "engine/config/private_file_write.h"
#include "foundation/files/file.h"
#include "foundation/files/folder_entries.h"
#include "foundation/files/whole_file.h"
#include "foundation/settings/app_settings.h"
#include "foundation/settings/user_folders.h"
#include "platform/posix/errno_status.h"
#include "platform/posix/unique_fd.h"

namespace {

constexpr std::size_t kMaxNameBytes = 255;

// The folder for a write, made when missing.
CStatus PrepareFolder(std::string& folder)
{
    folder = ConfigurationsFolder();
    if (folder.empty()) return CStatus::FromCode(-ENOENT);
    return MakeFolderChain(folder, 0700);
}

// The checks every operation that makes a file under `name` shares.
CStatus CheckNewName(std::string_view name)
{
    if (IsDefaultConfigurationName(name)) return CStatus::FromCode(-EPERM);
    if (CStatus status = CheckConfigurationName(name); status.Failed()) return status;
    return CStatus::FromCode(ConfigurationExists(name) ? -EEXIST : 0);
}

}  // namespace

bool IsDefaultConfigurationName(std::string_view name) { return name == kDefaultConfigurationName; }

CStatus CheckConfigurationName(std::string_view name)
{
    if (name.empty() || name.front() == '.' || name.find_first_of(std::string_view("/\0", 2)) != name.npos)
        return CStatus::FromCode(-EINVAL);
    return CStatus::FromCode(name.size() > kMaxNameBytes ? -ENAMETOOLONG : 0);
}

std::string ConfigurationsFolder() { return gAppSettings != nullptr ? gAppSettings->mConfigurationsFolderPath : ""; }

CStatus FindConfigurationFile(std::string_view name, CFileRef& outFile)
{
    if (IsDefaultConfigurationName(name)) return CStatus::FromCode(-ENOENT);
    if (CStatus status = CheckConfigurationName(name); status.Failed()) return status;
    std::string folder = ConfigurationsFolder();
    if (folder.empty()) return CStatus::FromCode(-ENOENT);
    CFileRef file(folder + "/" + std::string(name));
    struct stat info;
    if (::stat(file.c_str(), &info) != 0) return CStatus::FromCode(ErrnoStatus());
    if (S_ISDIR(info.st_mode)) return CStatus::FromCode(-EISDIR);
    outFile = file;
    return {};
}

namespace {

// The items of the configurations folder that are not folders; false when
// it is missing or cannot be read.
bool ReadConfigurationFileEntries(std::vector<CFolderEntry>& files)
{
    std::string folderPath = ConfigurationsFolder();
    if (folderPath.empty()) return false;
    CUniqueFd folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::vector<CFolderEntry> entries;
    if (!folder.IsOpen() || ReadFolderEntries(folder.Get(), entries).Failed()) return false;
    for (CFolderEntry& entry : entries)
        if (!entry.isFolder) files.push_back(std::move(entry));
    return true;
}

}  // namespace

bool ConfigurationExists(std::string_view name)
{
    if (IsDefaultConfigurationName(name) || CheckConfigurationName(name).Failed()) return false;
    std::vector<CFolderEntry> files;
    ReadConfigurationFileEntries(files);
    return std::any_of(files.begin(), files.end(), [name](const CFolderEntry& entry) { return entry.name == name; });
}

std::vector<std::string> ListConfigurationNames()
{
    std::vector<std::string> names;
    std::vector<CFolderEntry> files;
    ReadConfigurationFileEntries(files);
    for (const CFolderEntry& entry : files)
        if (!IsDefaultConfigurationName(entry.name) && CheckConfigurationName(entry.name).Ok())
            names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

CStatus LoadConfiguration(std::string_view name, CConfiguration& configuration)
{
    configuration = CConfiguration();
    if (name.empty() || IsDefaultConfigurationName(name)) return {};
    CFileRef file;
    if (CStatus status = FindConfigurationFile(name, file); status.Failed()) return status;
    CConfiguration loaded;
    CStatus status = loaded.ReadFile(file);
    if (status.Ok()) configuration = loaded;
    return status;
}

std::string ConfigurationReadFailure(std::string_view name, const CStatus& status)
{
    return "The configuration could not be read: " + std::string(name) + " (" + std::strerror(-status.Code()) + ")";
}

CStatus CConfiguration::Save(std::string_view configurationName) const
{
    if (IsDefaultConfigurationName(configurationName)) return CStatus::FromCode(-EPERM);
    if (CStatus status = CheckConfigurationName(configurationName); status.Failed()) return status;
    std::string folder;
    if (CStatus status = PrepareFolder(folder); status.Failed()) return status;
    return WriteFile(CFileRef(folder + "/" + std::string(configurationName)));
}

CStatus CConfiguration::WriteFile(const CFileRef& file) const
{
    if (!file.IsValid()) return CStatus::FromCode(-EINVAL);
    CTextBuffer text;
    WriteText(text);
    const std::string& path = file.Path();
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    return WritePrivateFile(folder, path.substr(slash == std::string::npos ? 0 : slash + 1), text.View(), true);
}

CStatus CreateConfigurationFile(std::string_view name, const CConfiguration& configuration)
{
    std::string folder;
    CStatus status = CheckNewName(name);
    if (status.Ok()) status = PrepareFolder(folder);
    if (status.Failed()) return status;
    CTextBuffer text;
    configuration.WriteText(text);
    return WritePrivateFile(folder, std::string(name), text.View(), false);
}

CStatus RenameConfigurationFile(std::string_view oldName, std::string_view newName)
{
    if (CStatus status = CheckNewName(newName); status.Failed()) return status;
    CFileRef file;
    if (CStatus status = FindConfigurationFile(oldName, file); status.Failed()) return status;
    return CFile::Rename(file, std::string(newName).c_str());
}

CStatus DeleteConfigurationFile(std::string_view name)
{
    CFileRef file;
    if (CStatus status = FindConfigurationFile(name, file); status.Failed()) return status;
    return CStatus::FromCode(::unlink(file.c_str()) == 0 ? 0 : ErrnoStatus());
}

CStatus DuplicateConfigurationFile(std::string_view sourceName, std::string_view newName)
{
    if (CStatus status = CheckNewName(newName); status.Failed()) return status;
    CFileRef source;
    if (CStatus status = FindConfigurationFile(sourceName, source); status.Failed()) return status;
    std::string bytes;
    std::string folder;
    CStatus status = ReadWholeFile(source, bytes);
    if (status.Ok()) status = PrepareFolder(folder);
    if (status.Failed()) return status;
    return WritePrivateFile(folder, std::string(newName), bytes, false);
}
