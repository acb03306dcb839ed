// Where the program keeps its files for the current user, after the XDG base
// directory and user directory conventions. Each call reads the environment
// as it is at that moment.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "foundation/errors/status.h"

// $HOME, else the home folder of the user's password entry; "/" when neither
// is known.
std::string HomeFolder();

// $XDG_CONFIG_HOME, $XDG_DATA_HOME, $XDG_CACHE_HOME when set to an absolute
// path, else ~/.config, ~/.local/share, ~/.cache.
std::string ConfigHomeFolder();
std::string DataHomeFolder();
std::string CacheHomeFolder();

// The user's download folder as `xdg-user-dir DOWNLOAD` gives it: the
// XDG_DOWNLOAD_DIR entry of $XDG_CONFIG_HOME/user-dirs.dirs, else
// ~/Downloads. The folder is not created.
std::string UserDownloadFolder();

// The XDG_DOWNLOAD_DIR value of a user-dirs.dirs text, with a leading $HOME
// replaced by `home`; empty when the entry is missing or not a usable path.
std::string ParseDownloadDirEntry(std::string_view dirsText, const std::string& home);

// Creates `path` and every missing folder above it, new ones with `mode`
// (less the umask). Success when the folder exists afterwards, else a
// failure with a negative errno code (-ENOTDIR when a file stands in the way).
CStatus MakeFolderChain(const std::string& path, mode_t mode);
