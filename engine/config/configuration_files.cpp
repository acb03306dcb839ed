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
int PrepareFolder(std::string& folder)
{
    folder = ConfigurationsFolder();
    if (folder.empty()) return -ENOENT;
    return MakeFolderChain(folder, 0700);
}

// The checks every operation that makes a file under `name` shares.
int CheckNewName(std::string_view name)
{
    if (IsDefaultConfigurationName(name)) return -EPERM;
    int status = CheckConfigurationName(name);
    if (status != 0) return status;
    return ConfigurationExists(name) ? -EEXIST : 0;
}

}  // namespace

bool IsDefaultConfigurationName(std::string_view name) { return name == kDefaultConfigurationName; }

int CheckConfigurationName(std::string_view name)
{
    if (name.empty() || name.front() == '.' || name.find_first_of(std::string_view("/\0", 2)) != name.npos)
        return -EINVAL;
    return name.size() > kMaxNameBytes ? -ENAMETOOLONG : 0;
}

std::string ConfigurationsFolder() { return gAppSettings != nullptr ? gAppSettings->mConfigurationsFolderPath : ""; }

int FindConfigurationFile(std::string_view name, CFileRef& outFile)
{
    if (IsDefaultConfigurationName(name)) return -ENOENT;
    int status = CheckConfigurationName(name);
    if (status != 0) return status;
    std::string folder = ConfigurationsFolder();
    if (folder.empty()) return -ENOENT;
    CFileRef file(folder + "/" + std::string(name));
    struct stat info;
    if (::stat(file.c_str(), &info) != 0) return ErrnoStatus();
    if (S_ISDIR(info.st_mode)) return -EISDIR;
    outFile = file;
    return 0;
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
    if (!folder.IsOpen() || ReadFolderEntries(folder.Get(), entries) != 0) return false;
    for (CFolderEntry& entry : entries)
        if (!entry.isFolder) files.push_back(std::move(entry));
    return true;
}

}  // namespace

bool ConfigurationExists(std::string_view name)
{
    if (IsDefaultConfigurationName(name) || CheckConfigurationName(name) != 0) return false;
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
        if (!IsDefaultConfigurationName(entry.name) && CheckConfigurationName(entry.name) == 0)
            names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

int LoadConfiguration(std::string_view name, CConfiguration& configuration)
{
    configuration = CConfiguration();
    if (name.empty() || IsDefaultConfigurationName(name)) return 0;
    CFileRef file;
    int status = FindConfigurationFile(name, file);
    if (status != 0) return status;
    CConfiguration loaded;
    status = loaded.ReadFile(file);
    if (status == 0) configuration = loaded;
    return status;
}

std::string ConfigurationReadFailure(std::string_view name, int status)
{
    return "The configuration could not be read: " + std::string(name) + " (" + std::strerror(-status) + ")";
}

int CConfiguration::Save(std::string_view configurationName) const
{
    if (IsDefaultConfigurationName(configurationName)) return -EPERM;
    int status = CheckConfigurationName(configurationName);
    if (status != 0) return status;
    std::string folder;
    status = PrepareFolder(folder);
    if (status != 0) return status;
    return WriteFile(CFileRef(folder + "/" + std::string(configurationName)));
}

int CConfiguration::WriteFile(const CFileRef& file) const
{
    if (!file.IsValid()) return -EINVAL;
    CTextBuffer text;
    WriteText(text);
    const std::string& path = file.Path();
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    return WritePrivateFile(folder, path.substr(slash == std::string::npos ? 0 : slash + 1), text.View(), true);
}

static int CreateConfigurationFileCode(std::string_view name, const CConfiguration& configuration)
{
    int status = CheckNewName(name);
    std::string folder;
    if (status == 0) status = PrepareFolder(folder);
    if (status != 0) return status;
    CTextBuffer text;
    configuration.WriteText(text);
    return WritePrivateFile(folder, std::string(name), text.View(), false);
}

static int RenameConfigurationFileCode(std::string_view oldName, std::string_view newName)
{
    int status = CheckNewName(newName);
    if (status != 0) return status;
    CFileRef file;
    status = FindConfigurationFile(oldName, file);
    if (status != 0) return status;
    return CFile::Rename(file, std::string(newName).c_str()).Code();
}

static int DeleteConfigurationFileCode(std::string_view name)
{
    CFileRef file;
    int status = FindConfigurationFile(name, file);
    if (status != 0) return status;
    return ::unlink(file.c_str()) == 0 ? 0 : ErrnoStatus();
}

static int DuplicateConfigurationFileCode(std::string_view sourceName, std::string_view newName)
{
    int status = CheckNewName(newName);
    if (status != 0) return status;
    CFileRef source;
    status = FindConfigurationFile(sourceName, source);
    if (status != 0) return status;
    std::string bytes;
    status = ReadWholeFile(source, bytes).Code();
    std::string folder;
    if (status == 0) status = PrepareFolder(folder);
    if (status != 0) return status;
    return WritePrivateFile(folder, std::string(newName), bytes, false);
}

CStatus CreateConfigurationFile(std::string_view name, const CConfiguration& configuration)
{
    return CStatus::FromCode(CreateConfigurationFileCode(name, configuration));
}

CStatus RenameConfigurationFile(std::string_view oldName, std::string_view newName)
{
    return CStatus::FromCode(RenameConfigurationFileCode(oldName, newName));
}

CStatus DeleteConfigurationFile(std::string_view name)
{
    return CStatus::FromCode(DeleteConfigurationFileCode(name));
}

CStatus DuplicateConfigurationFile(std::string_view sourceName, std::string_view newName)
{
    return CStatus::FromCode(DuplicateConfigurationFileCode(sourceName, newName));
}
