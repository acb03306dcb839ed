// The configuration files: one file per named configuration in the
// configurations folder of the settings (gAppSettings), named after the
// configuration and holding its text. The built-in "Default" has no file.
//
// Every operation returns a status whose failure code is a negative errno
// value, and never shows a message; the windows decide what the user sees.
// Names are single path components (see CheckConfigurationName), compared
// byte for byte. Files are written whole (temporary file, then rename) with
// mode 0600, since they hold passwords; the folder is made (mode 0700) when a
// file is first written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/config/configuration.h"
#include "foundation/errors/status.h"
#include "foundation/files/file_ref.h"

inline constexpr const char* kDefaultConfigurationName = "Default";

// Exactly "Default".
[[nodiscard]] bool IsDefaultConfigurationName(std::string_view name);
// Success for a name usable as a file name; -EINVAL when it is empty, holds
// '/' or NUL or begins with '.'; -ENAMETOOLONG past 255 bytes.
CStatus CheckConfigurationName(std::string_view name);
// The settings' configurations folder; empty without a settings object.
std::string ConfigurationsFolder();

// Success with the file's reference when the configuration has a file. "Default",
// a missing file (nothing is created) and a missing folder give -ENOENT; a
// folder of that name -EISDIR.
CStatus FindConfigurationFile(std::string_view name, CFileRef& outFile);
// True when the configurations folder holds an item of exactly that name
// that is not a folder; never for "Default".
[[nodiscard]] bool ConfigurationExists(std::string_view name);

// The names of the configuration files (every item of the configurations
// folder that is not a folder and whose name is usable), sorted byte for
// byte; empty when the folder is missing or unreadable.
std::vector<std::string> ListConfigurationNames();

// Replaces `configuration` by the built-in defaults, then, for a name other
// than "Default" (or empty), reads its file over them. Success when loaded
// (or built in); otherwise the status of the look-up or the read, with the
// configuration left at the defaults.
CStatus LoadConfiguration(std::string_view name, CConfiguration& configuration);
// What a window tells when LoadConfiguration gave `status` for `name`.
std::string ConfigurationReadFailure(std::string_view name, const CStatus& status);
// Writes a new configuration file; -EEXIST when the name is taken, -EPERM
// for "Default".
CStatus CreateConfigurationFile(std::string_view name, const CConfiguration& configuration);
// Renames a configuration's file. -EPERM when the new name is "Default",
// -EEXIST when it is taken (nothing changes in either case), the look-up's
// status when the old name has no file.
CStatus RenameConfigurationFile(std::string_view oldName, std::string_view newName);
// Deletes a configuration's file; the look-up's status when it has none.
CStatus DeleteConfigurationFile(std::string_view name);
// Copies a configuration's file byte for byte under a new name. -EPERM when
// the new name is "Default", -EEXIST when it is taken, -ENOENT when the
// source has no file; a read or write failure is returned as it is.
CStatus DuplicateConfigurationFile(std::string_view sourceName, std::string_view newName);
